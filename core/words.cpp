#include "core/words.h"

#include <ctime>

#include "core/game.h"
#include "core/level.h"
#include "core/save.h"
#include "core/tray.h"
#include "store/config.h"
#include "store/keystore.h"
#include "store/language.h"
#include "util/utf8.h"

namespace {

const int32_t kAutosaveIntervalSeconds = 60;
const int32_t kScrollToEnd = 99999;

// A word found before and typed again: remember when, for the highlight.
void markRepeat(Game& game, const char* word) {
    HashOutcome outcome = HashOutcome::Present;
    uint32_t slot = hashPut(game.repeatTimes, word, &outcome);
    if (outcome != HashOutcome::Present && slot != game.repeatTimes.capacity)
        game.repeatTimes.values[slot] = static_cast<int32_t>(std::time(nullptr));
}

uint32_t nextCodePoint(const char** text) {
    uint32_t cp = 0;
    *text += decodeUtf8(*text, &cp);
    return cp;
}

// The letter the language's "fold" section writes cp as, or cp itself.
uint32_t foldedLetter(const KeyStore* langStore, uint32_t cp) {
    char utf8[5] = {0};
    encodeUtf8(cp, utf8);
    const char* folded = langStore ? getSectionString(langStore, "fold", utf8) : nullptr;
    if (!folded) return cp;
    uint32_t to = 0;
    decodeUtf8(folded, &to);
    return to;
}

bool sameFoldedWord(const KeyStore* langStore, const char* a, const char* b) {
    while (*a && *b) {
        uint32_t x = nextCodePoint(&a), y = nextCodePoint(&b);
        if (x != y && foldedLetter(langStore, x) != foldedLetter(langStore, y)) return false;
    }
    return *a == *b;
}

WordStep takeTypedWord(Game& game) {
    if (game.levelWords.capacity == 0) return {};
    uint32_t slot = findLevelWord(game, typedWord(&game.letterTray));
    if (slot == game.levelWords.capacity)
        return {};  // not a word (yet): the player may go on typing
    const char* word = game.levelWords.keys[slot];

    WordStep step;
    if (isWordFound(&game.foundList, word)) {
        markRepeat(game, word);
        step.outcome = WordOutcome::Repeat;
        return step;
    }

    step.outcome = WordOutcome::NewWord;
    game.progress.wordsFound += 1;
    game.progress.lettersFound += utf8Length(word);
    step.saveDue = appendFoundWord(game, word);
    unlockLevels(game);
    clearTypedWord(&game.letterTray);

    // The dark chapter turns the dark theme on, its end turns it off again.
    if (game.progress.storyStage <= StoryStage::Step1 &&
        game.progress.wordsFound > game.config->settings.blackWords) {
        step.turn = beginChapter(game, "blackStart", StoryStage::BlackStart);
        step.turn.theme = 1;
    }
    if (game.progress.storyStage <= StoryStage::BlackStart &&
        game.progress.wordsFound > game.config->settings.blackFinish) {
        const char* passed = step.turn.chapter;
        step.turn = beginChapter(game, "blackEnd", StoryStage::BlackEnd);
        step.turn.passed = passed;
        step.turn.theme = 0;
    }
    return step;
}

}  // namespace

uint32_t findLevelWord(Game& game, const char* text) {
    uint32_t slot = hashGet(game.levelWords, text);
    if (slot != game.levelWords.capacity || !game.langStore ||
        !findNode(game.langStore->root, {"fold"}))
        return slot;
    for (slot = 0; slot < game.levelWords.capacity; slot++)
        if (hashExists(game.levelWords, slot) &&
            sameFoldedWord(game.langStore.get(), game.levelWords.keys[slot], text))
            break;
    return slot;
}

void appendRestoredWord(Game& game, const char* word) {
    appendToFoundList(&game.foundList, word);
    game.levelFoundCount += 1;
    game.foundListScroll = kScrollToEnd;
}

bool appendFoundWord(Game& game, const char* word) {
    appendRestoredWord(game, word);
    int32_t now = static_cast<int32_t>(std::time(nullptr));
    if (now - game.lastAutosaveTime <= kAutosaveIntervalSeconds) return false;
    game.lastAutosaveTime = now;
    return true;
}

WordStep checkWord(Game& game) {
    return game.wordEntry == WordEntry::AsTyped ? takeTypedWord(game) : WordStep();
}

WordStep submitWord(Game& game) {
    const char* typed = typedWord(&game.letterTray);
    if (game.levelWords.capacity == 0 || !*typed) return {};
    if (findLevelWord(game, typed) != game.levelWords.capacity) return takeTypedWord(game);
    WordStep step;
    uint32_t slot = hashGet(game.levelBonusWords, typed);
    if (slot == game.levelBonusWords.capacity) {
        game.refusalTime = static_cast<int32_t>(std::time(nullptr));
        step.outcome = WordOutcome::Refused;
        return step;
    }
    const char* word = game.levelBonusWords.keys[slot];
    if (isWordFound(&game.bonusList, word)) {
        markRepeat(game, word);
        step.outcome = WordOutcome::Repeat;
        return step;
    }
    appendToFoundList(&game.bonusList, word);
    game.bonusTotal += 1;
    clearTypedWord(&game.letterTray);
    step.outcome = WordOutcome::NewBonus;
    return step;
}

int bonusHints(Game& game) {
    const int32_t perHint = game.config->settings.bonusWordsPerHint;
    return game.bonusTotal / (perHint > 0 ? perHint : Settings().bonusWordsPerHint);
}
