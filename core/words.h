#pragma once
// The current level's word set, the words found in it, and the word check that
// runs after every letter taken.

#include <cstdint>

#include "core/level.h"
#include "util/found_list.h"
#include "util/string_hash.h"

extern StringSet levelWords;      // keys point into langStore
extern FoundList foundList;       // finding order; pointers, never copies
extern StringIntMap repeatTimes;  // found words typed again → wall-clock second of the repeat
extern int32_t levelFoundCount;   // entries appended since the level was loaded
extern int32_t foundListScroll;   // scroll offset of the found-word panel; 99999 after an append
extern int32_t lastAutosaveTime;

// Seconds a repeated word stays highlighted in the found list.
constexpr int kRepeatHighlightSeconds = 3;

// Looks the typed word up in the level; counts a new word (which may begin a chapter of the
// story), flags a repeat.
StoryTurn checkWord();

// Appends word (a pointer kept as is) and saves when the last autosave is more
// than 60 seconds old.
void appendFoundWord(FoundList* list, const char* word);
// The same without the autosave, for words restored from a level file.
void appendRestoredWord(FoundList* list, const char* word);
