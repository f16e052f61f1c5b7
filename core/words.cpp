#include "core/words.h"

#include <ctime>

#include "audio/sounds.h"
#include "core/level.h"
#include "core/save.h"
#include "core/tray.h"
#include "store/config.h"
#include "store/keystore.h"

StringSet levelWords;
FoundList foundList;
StringIntMap repeatTimes;
int32_t levelFoundCount = 0;
int32_t foundListScroll = 0;
int32_t lastAutosaveTime = 0;

namespace {

const int32_t kAutosaveIntervalSeconds = 60;
const int32_t kScrollToEnd = 99999;

// A word found before and typed again: remember when, for the highlight.
void markRepeat(const char* word) {
    int outcome = HASH_PRESENT;
    uint32_t slot = hashPut(repeatTimes, word, &outcome);
    if (outcome != HASH_PRESENT && slot != repeatTimes.capacity)
        repeatTimes.values[slot] = (int32_t)std::time(nullptr);
}

}  // namespace

void appendRestoredWord(FoundList* list, const char* word) {
    appendToFoundList(list, word);
    levelFoundCount += 1;
    foundListScroll = kScrollToEnd;
}

void appendFoundWord(FoundList* list, const char* word) {
    appendRestoredWord(list, word);
    int32_t now = (int32_t)std::time(nullptr);
    if (now - lastAutosaveTime > kAutosaveIntervalSeconds) {
        lastAutosaveTime = now;
        saveProgress(&letterTray);
    }
}

StoryTurn checkWord() {
    if (levelWords.capacity == 0) return {};
    uint32_t slot = hashGet(levelWords, typedWord(&letterTray));
    if (slot == levelWords.capacity) return {};  // not a word (yet): the player may go on typing
    const char* word = levelWords.keys[slot];

    if (isWordFound(&foundList, word)) {
        markRepeat(word);
        playSound(SOUND_WORD_REJECT);
        return {};
    }

    playSound(SOUND_WORD_OK);
    // Counted before the append, so that an autosave it triggers already holds the word.
    progress.wordsFound += 1;
    progress.lettersFound += utf8Length(word);
    appendFoundWord(&foundList, word);
    clearTypedWord(&letterTray);

    // The dark chapter turns the dark theme on, its end turns it off again.
    StoryTurn turn;
    if (progress.storyStage <= 2 && progress.wordsFound > getInt(config, "blackWords")) {
        turn = beginChapter("blackStart", 3);
        turn.theme = 1;
    }
    if (progress.storyStage <= 3 && progress.wordsFound > getInt(config, "blackFinish")) {
        turn = beginChapter("blackEnd", 4);
        turn.theme = 0;
    }
    return turn;
}
