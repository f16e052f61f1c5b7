#include "store/language.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/app.h"
#include "audio/sounds.h"
#include "core/level.h"
#include "core/save.h"
#include "core/tray.h"
#include "store/config.h"
#include "store/files.h"
#include "store/folders.h"
#include "store/keystore.h"
#include "ui/screens.h"
#include "ui/theme.h"

int32_t currentLanguage = 0;
int32_t languageCount = 0;
KeyStore *langStore = nullptr;

namespace {

const char *const MISSING_TEXT = "(NULL)";

// The "dbig" file when it exists, else the "data" file.
std::string languageDataPath(int i)
{
    const char *big = getLangString(config, i, "dbig");
    if (big) {
        std::string path = dataPath(big);
        if (fileExists(path.c_str()))
            return path;
    }
    return dataPath(getLangString(config, i, "data"));
}

const KeyNode *storyChapterNode(const KeyStore *storyStore, const char *chapter)
{
    if (!storyStore || !storyStore->root)
        return nullptr;
    return findNode(storyStore->root, {"story", chapter});
}

}  // namespace

KeyStore *loadLanguageData(const char *path)
{
    KeyStore *store = loadKeyStore(path);
    if (!store)
        return nullptr;
    // Data with no first level to install would leave the previous language's level in play.
    int32_t previousLevelNumber = levelNumber;
    if (!loadLevel(store, &letterTray, 0)) {
        levelNumber = previousLevelNumber;
        freeKeyStore(store);
        return nullptr;
    }
    // Earlier stores stay allocated for the life of the program: the installed
    // level, the repeat map and the hint may still point at their words.
    // (Never destroyed, so that they stay reachable at exit too.)
    static std::vector<KeyStore *> &earlierStores = *new std::vector<KeyStore *>;
    if (langStore)
        earlierStores.push_back(langStore);
    langStore = store;
    progress.levelIndex = 0;
    return langStore;
}

int selectLanguage(App *app, int i)
{
    if (i < 0 || i >= languageCount)
        return 0;
    // Play since the last save would be lost when the record is read back below.
    if (langStore)
        saveProgress(&letterTray);

    int previousLanguage = currentLanguage;
    currentScreen = ScreenMainMenu;
    currentLanguage = i;
    if (!loadLanguageData(languageDataPath(i).c_str())) {
        currentLanguage = previousLanguage;
        currentScreen = ScreenLanguage;
        return 0;
    }
    const char *save = getLangString(config, i, "save");
    readProgress(&progress, (std::string("save/") + (save ? save : "")).c_str());
    applyTheme(app, progress.theme);
    setMusicVolume(&musicPlayer, progress.volume);
    if (!loadLevel(langStore, &letterTray, (int)progress.levelIndex)) {
        // A stored level this data cannot install: play on from level 0, which
        // loadLanguageData installed, instead of under a wrong level number.
        progress.levelIndex = 0;
        levelNumber = 1;
    }
    return 1;
}

int selectLanguageByName(App *app, const char *longName)
{
    int matches = 0;
    for (int i = 0; i < languageCount; i++) {
        const char *name = getLangString(config, i, "long");
        if (name && std::strcmp(name, longName) == 0) {
            selectLanguage(app, i);
            matches++;
        }
    }
    return matches;
}

const char *localizedText(const char *key)
{
    const char *text = getSectionString(langStore, "localization", key);
    return text ? text : MISSING_TEXT;
}

const char *wordDescription(const KeyStore *store, const char *word)
{
    return getSectionString(store, "descr", word);
}

int storyLength(const KeyStore *storyStore, const char *chapter)
{
    const KeyNode *node = storyChapterNode(storyStore, chapter);
    return node ? (int)node->childCount : 0;
}

const char *storyString(const KeyStore *storyStore, const char *chapter, int i, const char *key)
{
    const KeyNode *node = storyChapterNode(storyStore, chapter);
    if (!node || i < 0 || (uint64_t)i >= node->childCount)
        return nullptr;
    const KeyNode *page = node->children[i];
    if ((page->type != NODE_ARRAY && page->type != NODE_OBJECT) || page->childCount == 0)
        return nullptr;
    for (uint64_t k = 0; k < page->childCount; k++) {
        const KeyNode *member = page->children[k];
        if (member->key && std::strcmp(member->key, key) == 0)
            return member->text;
    }
    return nullptr;
}

int storyInt(const KeyStore *storyStore, const char *chapter, int i, const char *key)
{
    const char *text = storyString(storyStore, chapter, i, key);
    return text ? std::atoi(text) : 0;
}

const char *storyText(const KeyStore *storyStore, const KeyStore *textStore, const char *chapter, int i)
{
    const char *name = storyString(storyStore, chapter, i, "text");
    if (!name)
        return nullptr;
    const char *text = getSectionString(textStore, "localization", name);
    return text ? text : MISSING_TEXT;
}

const char *formatDuration(int32_t s)
{
    static char buffer[32];
    int32_t days = s / 86400;
    int32_t hours = s / 3600 - 24 * days;
    int32_t minutes = s / 60 - 60 * (s / 3600);
    int32_t seconds = s % 60;
    if (days > 0)
        std::snprintf(buffer, sizeof buffer, "%d:%.2d:%.2d:%.2d", days, hours, minutes, seconds);
    else if (hours > 0)
        std::snprintf(buffer, sizeof buffer, "%d:%.2d:%.2d", hours, minutes, seconds);
    else if (minutes <= 0)
        std::snprintf(buffer, sizeof buffer, "%d", seconds);
    else
        std::snprintf(buffer, sizeof buffer, "%d:%.2d", minutes, seconds);
    return buffer;
}
