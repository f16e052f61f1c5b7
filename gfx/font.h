#pragma once
// The two game fonts, baked from TrueType files into the GUI's font atlas.

#include <cstdint>

struct App;
struct ImFont;

// Code-point ranges baked into both fonts: pairs of first and last, ending with 0.
extern const uint16_t gameGlyphRanges[];

extern ImFont *smallFont;  // null when its file is missing
extern ImFont *mainFont;

// Bakes the font file at path at the pixel height (1x1 oversampling) into the GUI's
// font atlas and makes it the current font. A missing file, or one that is not a
// font, returns null and changes nothing. ranges null means the GUI library's
// default ranges. Call between frames, with the window's GL context current.
ImFont *loadFont(App *app, const char *path, float pixelHeight, const uint16_t *ranges);
