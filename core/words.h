#pragma once
// The word check that runs after every letter taken, and the found lists it fills (the state is
// the Game record's, core/game.h).

#include <cstdint>

#include "core/level.h"
#include "util/found_list.h"
#include "util/string_hash.h"

struct Game;

// Seconds a repeated word stays highlighted in the found list.
constexpr int kRepeatHighlightSeconds = 3;

// When a typed level word is taken: after every letter (the default), or only on Enter, so that a
// word that begins with a shorter level word can be typed whole.
// Its number is what options.dat holds.
enum class WordEntry : int32_t { AsTyped = 0, OnEnter = 1 };

// What a word check did, for the screens to answer: a sound, a save, a page of the story.
enum class WordOutcome { Nothing, NewWord, NewBonus, Repeat, Refused };
struct WordStep {
    WordOutcome outcome = WordOutcome::Nothing;
    StoryTurn turn;        // the chapter a new word begins, the theme it turns
    bool saveDue = false;  // a new word came more than 60 seconds after the last autosave
};

// The word check after every letter taken: in WordEntry::AsTyped it looks the typed word up in the
// level, counts a new word (which may begin a chapter of the story) and flags a repeat; in
// WordEntry::OnEnter it does nothing.
WordStep checkWord(Game& game);

// Seconds a refused text is shown as refused.
constexpr int kRefusalSeconds = 1;

// The word check on Enter, in either mode: a level word as checkWord takes it in
// WordEntry::AsTyped; else a new bonus word is listed apart (it opens nothing and leaves the
// level's count alone) and a repeated one flagged; any other text is refused and kept.
WordStep submitWord(Game& game);

// Bonus words found so far pay this many hints ("bonusWordsPerHint", 5 when unset).
int bonusHints(Game& game);

// The slot in levelWords of the level word that text spells, or levelWords.capacity. Letters the
// language's "fold" section writes as others (ё as е) match either way, so a word shown as the
// dictionary spells it is found from the row's plain letters.
uint32_t findLevelWord(Game& game, const char* text);

// Appends word to the level's found list (a pointer kept as is); true, and the autosave time
// moved to now, when the last autosave is more than 60 seconds old and the caller is to save.
bool appendFoundWord(Game& game, const char* word);
// The same without the autosave, for words restored from a level file.
void appendRestoredWord(Game& game, const char* word);
