#include "core/level.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "core/save.h"
#include "core/tray.h"
#include "core/words.h"
#include "store/config.h"
#include "store/files.h"
#include "store/keystore.h"
#include "store/language.h"

Progress progress;
int32_t levelNumber = 1;
int32_t levelStartTime = 0;
int32_t lastLevelSaveTime = 0;
const char* hintWord = nullptr;
const char* hintDescription = nullptr;

namespace {

// The word the last hint on this level revealed; showing it again while it is not found is free.
const char* lastRevealedWord = nullptr;

// Member "game" of the root: one member per level, named by its letter row.
const KeyNode* levelList(const KeyStore* store) {
    return store ? nodeMember(store->root, "game") : nullptr;
}

// The words a level file holds as text, or none when it is missing or is not a word list. The game
// never writes an empty file or anything but an array: such a file is not its own to replace.
KeyStore* readLevelFile(const char* path) {
    std::optional<std::vector<char>> bytes = readSaveFile(path);
    if (!bytes) return nullptr;
    KeyStore* saved = bytes->empty() ? nullptr : parseKeyStore(bytes->data(), bytes->size());
    if (!saved || saved->root->type != NODE_ARRAY) {
        markSaveFileUnusable(path);
        if (saved) freeKeyStore(saved);
        return nullptr;
    }
    return saved;
}

// The unescaped words of a word list node, as a set pointing into the node's store.
void putWords(StringSet& set, const KeyNode* list) {
    for (uint64_t k = 0; list && k < list->childCount; k++) {
        const char* word = nodeText(nodeChild(list, k));
        // The level file holds found words unescaped, and no row letter types these anyway.
        if (word && !std::strpbrk(word, "\"\\")) {
            int outcome = HASH_PRESENT;
            hashPut(set, word, &outcome);
        }
    }
}

// Words found earlier on this row, from its level file. The found list points at
// the level's own word strings, so the parsed file is not kept.
void restoreFoundWords(const LetterTray* tray) {
    char path[LEVEL_PATH_BYTES];
    levelSavePath(path, tray);
    KeyStore* saved = readLevelFile(path);
    if (!saved) return;
    const KeyNode* root = saved->root;
    for (uint64_t k = 0; k < root->childCount; k++) {
        const char* word = nodeText(nodeChild(root, k));
        if (!word) continue;
        // Files saved before a word was shown with its marks hold it plain (идет for идёт).
        uint32_t slot = findLevelWord(word);
        if (slot != levelWords.capacity) {
            if (!isWordFound(&foundList, levelWords.keys[slot]))
                appendRestoredWord(&foundList, levelWords.keys[slot]);
            continue;
        }
        // Bonus words follow the level's own; a game that knows none skips them.
        slot = hashGet(levelBonusWords, word);
        if (slot != levelBonusWords.capacity &&
            !isWordFound(&bonusList, levelBonusWords.keys[slot]))
            appendToFoundList(&bonusList, levelBonusWords.keys[slot]);
    }
    freeKeyStore(saved);
}

}  // namespace

void resetCore() {
    progress = Progress();
    progress.volume = 100;
    levelNumber = 1;
    levelStartTime = 0;
    lastLevelSaveTime = 0;
    hintWord = nullptr;
    hintDescription = nullptr;
    lastRevealedWord = nullptr;
    levelWords = StringSet();
    wordEntry = WORDS_AS_TYPED;
    levelBonusWords = StringSet();
    clearFoundList(&bonusList);
    bonusTotal = 0;
    refusalTime = 0;
    clearFoundList(&foundList);
    repeatTimes = StringIntMap();
    levelFoundCount = 0;
    foundListScroll = 0;
    lastAutosaveTime = static_cast<int32_t>(std::time(nullptr));
    initLetterTray(&letterTray);
    forgetUnusableSaveFiles();
}

int loadLevel(KeyStore* store, LetterTray* tray, int i) {
    levelNumber = i + 1;
    const KeyNode* levels = levelList(store);
    if (!levels || i < 0 || static_cast<uint64_t>(i) >= levels->childCount) return 0;
    const KeyNode* level = nodeChild(levels, i);
    // A row the tray cannot hold is refused; the installed level stays.
    if (!level->key || !setLevelLetters(tray, level->key)) return 0;

    levelWords = StringSet();
    levelBonusWords = StringSet();
    lastRevealedWord = nullptr;
    levelFoundCount = 0;
    clearFoundList(&foundList);
    clearFoundList(&bonusList);
    putWords(levelWords, level);
    putWords(levelBonusWords, nodeMember(nodeMember(store->root, "bonus"), level->key));
    restoreFoundWords(tray);

    levelStartTime = static_cast<int32_t>(std::time(nullptr));
    lastLevelSaveTime = levelStartTime;
    return 1;
}

int32_t countSavedBonusWords(const KeyStore* store) {
    const KeyNode* levels = levelList(store);
    const KeyNode* bonus = store ? nodeMember(store->root, "bonus") : nullptr;
    int32_t count = 0;
    for (uint64_t i = 0; levels && bonus && i < levels->childCount; i++) {
        const char* row = nodeChild(levels, i)->key;
        char path[LEVEL_PATH_BYTES];
        if (!row || !levelSavePathOf(path, row) || !fileExists(path)) continue;
        KeyStore* saved = readLevelFile(path);
        if (!saved) continue;
        StringSet words;
        putWords(words, nodeMember(bonus, row));
        StringSet counted;
        for (uint64_t k = 0; k < saved->root->childCount; k++) {
            const char* word = nodeText(nodeChild(saved->root, k));
            int outcome = HASH_PRESENT;
            if (word && hashGet(words, word) != words.capacity) {
                hashPut(counted, word, &outcome);
                if (outcome != HASH_PRESENT) count++;
            }
        }
        freeKeyStore(saved);
    }
    return count;
}

int wordsToUnlock() {
    double percent = config.settings.nextLevelPerc;
    return static_cast<int>(std::ceil(percent * levelWords.size / 100.0));
}

void unlockLevels() {
    // Once enough words are found the next level is open (on a new record this one too), as
    // many steps as it takes: the call comes once per word, not once per frame.
    if (levelFoundCount >= wordsToUnlock() && progress.levelsOpen <= progress.levelIndex + 1)
        progress.levelsOpen = progress.levelIndex + 2;
    int levelsCount = getSectionInt(langStore, "stat", "levelsCount");
    if (levelsCount < 0) levelsCount = 0;
    if (progress.levelsOpen > static_cast<uint32_t>(levelsCount))
        progress.levelsOpen = static_cast<uint32_t>(levelsCount);
}

bool levelChosen() {
    return levelNumber != static_cast<int64_t>(progress.levelIndex) + 1;
}

StoryTurn changeLevel() {
    if (!levelChosen()) return {};
    uint32_t previous = progress.levelIndex;
    progress.levelIndex = static_cast<uint32_t>(levelNumber - 1);
    if (!loadLevel(langStore, &letterTray, levelNumber - 1)) {
        // The chosen level cannot be installed: stay where the player was.
        progress.levelIndex = previous;
        levelNumber = static_cast<int32_t>(previous) + 1;
        return {};
    }
    unlockLevels();
    if (progress.levelIndex == 1 && progress.storyStage < StoryStage::Step1)
        return beginChapter("step1", StoryStage::Step1);
    return {};
}

int hintAvailable() {
    if (levelFoundCount >= static_cast<int64_t>(levelWords.size)) return 0;
    uint32_t wordsPerHint = static_cast<uint32_t>(config.settings.nextHintWords);
    return progress.hintsUsed * wordsPerHint <
           static_cast<uint32_t>(progress.wordsFound) +
               static_cast<uint32_t>(config.settings.hintCheatCount) +
               static_cast<uint32_t>(bonusHints()) * wordsPerHint;
}

int revealHint() {
    for (uint32_t slot = 0; slot < levelWords.capacity; slot++) {
        if (!hashExists(levelWords, slot) || isWordFound(&foundList, levelWords.keys[slot]))
            continue;
        hintWord = levelWords.keys[slot];
        hintDescription = wordDescription(langStore, hintWord);
        // The first word not found is the one revealed last as long as that is not found.
        if (hintWord != lastRevealedWord) progress.hintsUsed += 1;
        lastRevealedWord = hintWord;
        return 1;
    }
    return 0;
}

StoryTurn beginChapter(const char* chapter, StoryStage stage) {
    progress.storyStage = stage;
    return {chapter, -1};
}

const char* levelAchievement(uint32_t levelIndex, char (&name)[16]) {
    static const uint32_t rewardedLevels[] = {10, 50, 100, 150, 200, 250, 350};
    for (uint32_t level : rewardedLevels) {
        if (level == levelIndex) {
            std::snprintf(name, sizeof name, "lvl%u", level);
            return name;
        }
    }
    return nullptr;
}

KeyStore* loadLanguageData(const char* path) {
    KeyStore* store = loadKeyStore(path);
    if (!store) return nullptr;
    // Data with no first level to install would leave the previous language's level in play.
    int32_t previousLevelNumber = levelNumber;
    if (!loadLevel(store, &letterTray, 0)) {
        levelNumber = previousLevelNumber;
        freeKeyStore(store);
        return nullptr;
    }
    // The installed level now points into the new store; the repeat map and the hint, which
    // point into the store they came from, start empty, so the replaced store has no reader left.
    repeatTimes = StringIntMap();
    hintWord = nullptr;
    hintDescription = nullptr;
    if (langStore) freeKeyStore(langStore);
    langStore = store;
    progress.levelIndex = 0;
    return langStore;
}
