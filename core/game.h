// The game in play, all that core keeps: the language with its data and progress, the level with
// its row, words and found lists, the hint, the story's last hint, the save clocks and what its
// saves could not write yet. One record, so that a reset is a fresh one (resetCore).
#pragma once

#include <cstdint>

#include "core/level.h"
#include "core/save.h"
#include "core/tray.h"
#include "core/words.h"
#include "store/config.h"
#include "store/keystore.h"
#include "util/found_list.h"
#include "util/string_hash.h"

struct Game {
    const Config* config = nullptr;  // what the game is played by, owned by main (resetCore)
    // The selected language: its index in the configuration's "lang" array and its data; 0 and
    // null before the first selection.
    int32_t currentLanguage = 0;
    OwnedKeyStore langStore;
    int32_t languageCount = 0;  // "lang" entries of the configuration
    Progress progress{};
    LetterTray letterTray{};
    int32_t levelNumber = 1;         // the level selector's 1-based value
    int32_t levelStartTime = 0;      // wall-clock second the level was loaded (level timer)
    int32_t lastLevelSaveTime = 0;   // wall-clock second up to which this level's time is counted
    const char* hintWord = nullptr;  // the word shown by the word description screen
    const char* hintDescription = nullptr;
    // The word the last hint on this level revealed; showing it again while it is not found is
    // free.
    const char* lastRevealedWord = nullptr;

    StringSet levelWords;         // keys point into langStore
    FoundList foundList;          // finding order; pointers, never copies
    StringIntMap repeatTimes;     // found words typed again → wall-clock second of the repeat
    int32_t levelFoundCount = 0;  // entries appended since the level was loaded
    int32_t foundListScroll = 0;  // scroll offset of the found-word panel; 99999 after an append
    int32_t lastAutosaveTime = 0;
    // Real words of the row that the level does not list (keys point into langStore), the ones
    // found on this level in finding order, and how many the language's level files hold in all.
    StringSet levelBonusWords;
    FoundList bonusList;
    int32_t bonusTotal = 0;
    int32_t refusalTime = 0;  // wall-clock second Enter last refused a text; 0 when never
    WordEntry wordEntry = WordEntry::AsTyped;
    SaveQueue saves;  // files its saves could not write yet, and files that could not be used
};
