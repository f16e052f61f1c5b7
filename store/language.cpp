#include "store/language.h"

#include <cstdlib>
#include <string>

#include "store/config.h"
#include "store/files.h"
#include "store/folders.h"
#include "store/keystore.h"

namespace {

const char* const MISSING_TEXT = "(NULL)";

const KeyNode* storyChapterNode(const KeyStore* storyStore, const char* chapter) {
    if (!storyStore || !storyStore->root) return nullptr;
    return findNode(storyStore->root, {"story", chapter});
}

}  // namespace

std::string languageDataPath(const Config& config, int i) {
    const char* big = getLangString(config.store, i, "dbig");
    if (big) {
        std::string path = dataPath(config.folders, big);
        if (fileExists(path.c_str())) return path;
    }
    return dataPath(config.folders, getLangString(config.store, i, "data"));
}

const char* localizedText(const KeyStore* langStore, const char* key) {
    const char* text = getSectionString(langStore, "localization", key);
    return text ? text : MISSING_TEXT;
}

const char* wordDescription(const KeyStore* store, const char* word) {
    return getSectionString(store, "descr", word);
}

const char* spelledWord(const KeyStore* store, const char* word) {
    const char* spelled = word ? getSectionString(store, "spelled", word) : nullptr;
    return spelled ? spelled : word;
}

int storyLength(const KeyStore* storyStore, const char* chapter) {
    const KeyNode* node = storyChapterNode(storyStore, chapter);
    return node ? static_cast<int>(node->childCount) : 0;
}

const char* storyString(const KeyStore* storyStore, const char* chapter, int i, const char* key) {
    if (i < 0) return nullptr;
    const KeyNode* page =
        nodeChild(storyChapterNode(storyStore, chapter), static_cast<uint64_t>(i));
    return nodeText(nodeMember(page, key));
}

int storyInt(const KeyStore* storyStore, const char* chapter, int i, const char* key) {
    const char* text = storyString(storyStore, chapter, i, key);
    return text ? std::atoi(text) : 0;
}

const char* storyText(const KeyStore* storyStore, const KeyStore* textStore, const char* chapter,
                      int i) {
    const char* name = storyString(storyStore, chapter, i, "text");
    if (!name) return nullptr;
    const char* text = getSectionString(textStore, "localization", name);
    return text ? text : MISSING_TEXT;
}
