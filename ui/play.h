#pragma once
// The steps of play as the player meets them: each runs the game's own step, then shows what it
// began (the screen, the story chapter, the theme), in that order.

#include <cstdint>

#include "core/level.h"

struct Game;
struct Ui;

// Shows a chapter the step began on the story screen, from its first page, and grants the
// chapter's achievement; then applies the theme the story turned to.
void showStoryTurn(Ui& ui, Game& game, StoryTurn turn);

// The word check after every letter taken (checkWord), then what it began.
void checkTypedWord(Ui& ui, Game& game);
// Reveals a hint on the word description screen; 1 when a word was revealed.
bool showHint(Ui& ui, Game& game);
// Begins a chapter of the story and tells it.
void startChapter(Ui& ui, Game& game, const char* chapter, StoryStage stage);
// The level selector's step after the selector widget (changeLevel), then what it began; a level
// installed grants its achievement (levelAchievement), as selecting the language does.
void selectLevel(Ui& ui, Game& game);

// A typed key character through the language's "charmap" (when it maps c) to the
// row; runs the word check when a letter was taken. 1 when taken.
bool typeKeyCharacter(Ui& ui, Game& game, char c);

// A key pressed on the in-game screen, with the one code point of text it made (0 for none or
// several): the letter beyond ASCII it types, else its one-byte name through the language's
// "charmap", to the row and the word check; then Delete, Backspace and F1.
void handleTrayKey(Ui& ui, Game& game, int glfwKey, uint32_t text);

// Makes "lang" entry i current: saves the progress of the language being left,
// loads the entry's data file, its progress record, theme, music volume and level,
// and lands on the main menu. When the data file is missing, does not parse or
// has no first level that can be installed, the previous language stays current
// and the language screen is shown again.
// Returns 1 when entry i is now current, else 0.
bool selectLanguage(Ui& ui, Game& game, int i);

// Start-up selection by the storefront's language name: every entry whose "long"
// name equals it is selected in turn, so the last match remains. Returns the
// number of matching entries.
int selectLanguageByName(Ui& ui, Game& game, const char* longName);
