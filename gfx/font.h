#pragma once
// The two game fonts, baked from TrueType files into the GUI's font atlas.

#include <cstdint>

struct App;
struct ImFont;

// Code-point ranges baked into both fonts: pairs of first and last, ending with 0.
extern const uint16_t gameGlyphRanges[];

extern ImFont *smallFont;  // null when its file is missing
extern ImFont *mainFont;

// Bakes the TTF at path at the pixel height (1x1 oversampling) and makes it the
// GUI's current font. A missing file returns null and changes nothing.
// ranges null means the GUI library's default ranges.
ImFont *loadFont(App *app, const char *path, float pixelHeight, const uint16_t *ranges);
