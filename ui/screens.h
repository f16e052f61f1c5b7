#pragma once
// The eight screens of the game, the per-frame dispatcher and the Escape key.

struct Game;
struct Ui;

enum class Screen { InGame, Language, Options, Statistics, Story, MainMenu, WordInfo, About };

// A fresh Ui record (ui/ui.h): the language screen first, no story told yet, no hover hint.
void resetUi(Ui& ui);

// Draws the current screen (and the screen it hands over to within the frame).
// Returns 1 when the program is to quit, else 0.
bool drawScreens(Ui& ui, Game& game);

// What the Escape key does on the current screen: nothing on the language screen, back to the game
// from the statistics and word description screens, the main menu everywhere else. While a number
// is typed into a field, the field takes Escape instead.
void handleEscapeKey(Ui& ui);
// Whether keys other than Escape go to the typed word: on the in-game screen, unless a number is
// being typed into the level field.
bool keysTypeWords(Ui& ui);

void drawInGameScreen(Ui& ui, Game& game);
bool drawMainMenuScreen(Ui& ui, Game& game);
void drawOptionsScreen(Ui& ui, Game& game);
void drawLanguageScreen(Ui& ui, Game& game);
void drawAboutScreen(Ui& ui, const Game& game);
void drawWordInfoScreen(Ui& ui, Game& game);
void drawStatisticsScreen(Ui& ui, Game& game);
void drawStoryScreen(Ui& ui, const Game& game);
