#include "core/level.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "core/game.h"
#include "core/save.h"
#include "core/tray.h"
#include "core/words.h"
#include "store/config.h"
#include "store/files.h"
#include "store/keystore.h"
#include "store/language.h"

namespace {

// Member "game" of the root: one member per level, named by its letter row.
const KeyNode* levelList(const KeyStore* store) {
    return store ? nodeMember(store->root, "game") : nullptr;
}

// The words a level file holds as text, or none when it is missing or is not a word list. The game
// never writes an empty file or anything but an array: such a file is not its own to replace.
KeyStore* readLevelFile(SaveQueue& saves, const char* path) {
    std::optional<std::vector<char>> bytes = readSaveFile(saves, path);
    if (!bytes) return nullptr;
    KeyStore* saved = bytes->empty() ? nullptr : parseKeyStore(bytes->data(), bytes->size());
    if (!saved || saved->root->type != NODE_ARRAY) {
        markSaveFileUnusable(saves, path);
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
            HashOutcome outcome = HashOutcome::Present;
            hashPut(set, word, &outcome);
        }
    }
}

// Words found earlier on this row, from its level file. The found list points at
// the level's own word strings, so the parsed file is not kept.
void restoreFoundWords(Game& game) {
    char path[kLevelPathBytes];
    levelSavePath(path, game.config->folders, &game.letterTray);
    KeyStore* saved = readLevelFile(game.saves, path);
    if (!saved) return;
    const KeyNode* root = saved->root;
    for (uint64_t k = 0; k < root->childCount; k++) {
        const char* word = nodeText(nodeChild(root, k));
        if (!word) continue;
        // Files saved before a word was shown with its marks hold it plain (идет for идёт).
        uint32_t slot = findLevelWord(game, word);
        if (slot != game.levelWords.capacity) {
            if (!isWordFound(&game.foundList, game.levelWords.keys[slot]))
                appendRestoredWord(game, game.levelWords.keys[slot]);
            continue;
        }
        // Bonus words follow the level's own; a game that knows none skips them.
        slot = hashGet(game.levelBonusWords, word);
        if (slot != game.levelBonusWords.capacity &&
            !isWordFound(&game.bonusList, game.levelBonusWords.keys[slot]))
            appendToFoundList(&game.bonusList, game.levelBonusWords.keys[slot]);
    }
    freeKeyStore(saved);
}

}  // namespace

void resetCore(Game& game, const Config& config) {
    game = Game();
    game.config = &config;
    game.languageCount = countLanguages(config.store);
    game.progress.volume = 100;
    game.lastAutosaveTime = static_cast<int32_t>(std::time(nullptr));
    initLetterTray(&game.letterTray);
}

bool loadLevel(Game& game, KeyStore* store, int i) {
    game.levelNumber = i + 1;
    const KeyNode* levels = levelList(store);
    if (!levels || i < 0 || static_cast<uint64_t>(i) >= levels->childCount) return false;
    const KeyNode* level = nodeChild(levels, i);
    // A row the tray cannot hold is refused; the installed level stays.
    if (!level->key || !setLevelLetters(&game.letterTray, level->key)) return false;

    game.levelWords = StringSet();
    game.levelBonusWords = StringSet();
    game.lastRevealedWord = nullptr;
    game.levelFoundCount = 0;
    clearFoundList(&game.foundList);
    clearFoundList(&game.bonusList);
    putWords(game.levelWords, level);
    putWords(game.levelBonusWords, nodeMember(nodeMember(store->root, "bonus"), level->key));
    restoreFoundWords(game);

    game.levelStartTime = static_cast<int32_t>(std::time(nullptr));
    game.lastLevelSaveTime = game.levelStartTime;
    return true;
}

int32_t countSavedBonusWords(Game& game) {
    const KeyStore* store = game.langStore.get();
    const KeyNode* levels = levelList(store);
    const KeyNode* bonus = store ? nodeMember(store->root, "bonus") : nullptr;
    int32_t count = 0;
    for (uint64_t i = 0; levels && bonus && i < levels->childCount; i++) {
        const char* row = nodeChild(levels, i)->key;
        char path[kLevelPathBytes];
        if (!row || !levelSavePathOf(path, game.config->folders, row) || !fileExists(path))
            continue;
        KeyStore* saved = readLevelFile(game.saves, path);
        if (!saved) continue;
        StringSet words;
        putWords(words, nodeMember(bonus, row));
        StringSet counted;
        for (uint64_t k = 0; k < saved->root->childCount; k++) {
            const char* word = nodeText(nodeChild(saved->root, k));
            HashOutcome outcome = HashOutcome::Present;
            if (word && hashGet(words, word) != words.capacity) {
                hashPut(counted, word, &outcome);
                if (outcome != HashOutcome::Present) count++;
            }
        }
        freeKeyStore(saved);
    }
    return count;
}

int wordsToUnlock(Game& game) {
    double percent = game.config->settings.nextLevelPerc;
    return static_cast<int>(std::ceil(percent * game.levelWords.size / 100.0));
}

void unlockLevels(Game& game) {
    // Once enough words are found the next level is open (on a new record this one too), as
    // many steps as it takes: the call comes once per word, not once per frame.
    if (game.levelFoundCount >= wordsToUnlock(game) &&
        game.progress.levelsOpen <= game.progress.levelIndex + 1)
        game.progress.levelsOpen = game.progress.levelIndex + 2;
    int levelsCount = getSectionInt(game.langStore.get(), "stat", "levelsCount");
    if (levelsCount < 0) levelsCount = 0;
    if (game.progress.levelsOpen > static_cast<uint32_t>(levelsCount))
        game.progress.levelsOpen = static_cast<uint32_t>(levelsCount);
}

bool levelChosen(Game& game) {
    return game.levelNumber != static_cast<int64_t>(game.progress.levelIndex) + 1;
}

StoryTurn changeLevel(Game& game) {
    if (!levelChosen(game)) return {};
    uint32_t previous = game.progress.levelIndex;
    game.progress.levelIndex = static_cast<uint32_t>(game.levelNumber - 1);
    if (!loadLevel(game, game.langStore.get(), game.levelNumber - 1)) {
        // The chosen level cannot be installed: stay where the player was.
        game.progress.levelIndex = previous;
        game.levelNumber = static_cast<int32_t>(previous) + 1;
        return {};
    }
    unlockLevels(game);
    if (game.progress.levelIndex == 1 && game.progress.storyStage < StoryStage::Step1)
        return beginChapter(game, "step1", StoryStage::Step1);
    return {};
}

bool hintAvailable(Game& game) {
    if (game.levelFoundCount >= static_cast<int64_t>(game.levelWords.size)) return false;
    uint32_t wordsPerHint = static_cast<uint32_t>(game.config->settings.nextHintWords);
    return game.progress.hintsUsed * wordsPerHint <
           static_cast<uint32_t>(game.progress.wordsFound) +
               static_cast<uint32_t>(game.config->settings.hintCheatCount) +
               static_cast<uint32_t>(bonusHints(game)) * wordsPerHint;
}

bool revealHint(Game& game) {
    for (uint32_t slot = 0; slot < game.levelWords.capacity; slot++) {
        if (!hashExists(game.levelWords, slot) ||
            isWordFound(&game.foundList, game.levelWords.keys[slot]))
            continue;
        game.hintWord = game.levelWords.keys[slot];
        game.hintDescription = wordDescription(game.langStore.get(), game.hintWord);
        // The first word not found is the one revealed last as long as that is not found.
        if (game.hintWord != game.lastRevealedWord) game.progress.hintsUsed += 1;
        game.lastRevealedWord = game.hintWord;
        return true;
    }
    return false;
}

StoryTurn beginChapter(Game& game, const char* chapter, StoryStage stage) {
    game.progress.storyStage = stage;
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

KeyStore* loadLanguageData(Game& game, const char* path) {
    KeyStore* store = loadKeyStore(path);
    if (!store) return nullptr;
    // Data with no first level to install would leave the previous language's level in play.
    int32_t previousLevelNumber = game.levelNumber;
    if (!loadLevel(game, store, 0)) {
        game.levelNumber = previousLevelNumber;
        freeKeyStore(store);
        return nullptr;
    }
    // The installed level now points into the new store; the repeat map and the hint, which
    // point into the store they came from, start empty, so the replaced store has no reader left.
    game.repeatTimes = StringIntMap();
    game.hintWord = nullptr;
    game.hintDescription = nullptr;
    game.langStore.reset(store);
    game.progress.levelIndex = 0;
    return store;
}
