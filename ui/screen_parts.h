#pragma once
// Pieces the screens share: texts, icons, the decoration of the theme, the closing block, and
// the geometry that depends on the window size.

#include <vector>

#include "gfx/image.h"
#include "ui/layout.h"

struct App;

// The current language's text for key ("(NULL)" when it has none).
const char* text(const char* key);
// The image named by member key of the configuration's "icons" section.
GuiImage icon(const char* key);
// The picture of "lang" entry i ("pic").
GuiImage languageImage(int i);
// The decoration key for the current theme: dark for themes 1, 3 and 5.
const char* themedDecoration(const char* light, const char* dark);

// The last row of a menu screen: the back button alone in the middle third. True when pressed;
// it then has played the window-close sound.
bool backButtonRow(RowLayout& rows);

// Height of the gap above the language list that roughly centres it (never negative).
int languageListGap(int windowHeight, int languages);
// Width ratios of the story's two columns: the left margin and the text.
std::vector<float> storyColumnRatios(int windowWidth, int leftPad, int rightPad);
