#pragma once
// Pieces the screens share: texts, icons, the decoration of the theme, the closing block, and
// the geometry that depends on the window size.

#include <ctime>
#include <vector>

#include "gfx/image.h"
#include "ui/layout.h"

struct Game;
struct Ui;

// Where the in-game screen's hover hint goes: a point of the bar beside the icons, clear of every
// control.
struct HintPlace {
    ImVec2 position;
    ImVec2 pivot;  // which point of the hint lands on position (0..1 of its size)
};

// What the in-game screen keeps between frames (a field of the Ui record, ui/ui.h).
struct InGameState {
    // The selector's arrows follow the value of the previous frame, as they are part of the style.
    bool selectorLeftArrow = false;
    bool selectorRightArrow = true;
    // The repeated word last scrolled into view, by its repeat time: each repeat is brought into
    // view once, and the player may scroll away from it.
    const char* repeatShownWord = nullptr;
    time_t repeatShownTime = 0;
    HintPlace hintPlace;
};

// The current language's text for key ("(NULL)" when it has none).
const char* text(const Game& game, const char* key);
// The image named by member key of the configuration's "icons" section.
GuiImage icon(Ui& ui, const char* key);
// The picture of "lang" entry i ("pic").
GuiImage languageImage(Ui& ui, int i);
// The decoration key for the current theme: dark for themes 1, 3 and 5.
const char* themedDecoration(Ui& ui, const char* light, const char* dark);

// The last row of a menu screen: the back button alone in the middle third. True when pressed;
// it then has played the window-close sound.
bool backButtonRow(Ui& ui, const Game& game, RowLayout& rows);

// Height of the gap above the language list that roughly centres it (never negative).
int languageListGap(int screenHeight, int languages);
// Width ratios of the story's two columns: the left margin and the text.
std::vector<float> storyColumnRatios(int screenWidth, int leftPad, int rightPad);
