#pragma once
// The two game fonts, baked from TrueType files into the GUI's font atlas.

#include <imgui.h>

#include <cstddef>
#include <cstdint>
#include <future>
#include <string>
#include <vector>

#include "gfx/glyph_ranges.h"
#include "util/joined_thread.h"

// True when the bytes of a font file pass fontIsUsable (gfx/font_check.h) for ranges and bake on
// their own at the pixel height, which must be above 0 and at most 256.
bool fontCanBeBaked(const unsigned char* data, size_t size, float pixelHeight,
                    const uint16_t* ranges);

// Bakes the font file at path at the pixel height (1x1 oversampling; times the factor of
// scaleFonts) into the GUI's font atlas and makes it the current font. A missing file, or one that
// fontCanBeBaked refuses, returns null and changes nothing: the GUI keeps the fonts it had. Call
// between frames, with the window's GL context current.
ImFont* loadFont(const char* path, float pixelHeight, const uint16_t* ranges);

// loadFont's first half, for loading several fonts with one bake: adds the font to the atlas (the
// GUI's, or one baked ahead), or returns null and changes nothing. The fonts added are drawn after
// bakeFonts.
ImFont* addFont(ImFontAtlas* atlas, const char* path, float pixelHeight, const uint16_t* ranges);
// Bakes the GUI's atlas with every font added, into its texture. Call between frames, with the
// window's GL context current.
void bakeFonts();

// Bakes every font of the GUI's atlas again at its height times factor, and has the GUI measure
// and place its text at the height it was loaded with: the layout keeps its design units while
// each glyph meets the screen pixel for pixel. Nothing happens when the fonts are baked at that
// factor already. Call between frames, with the window's GL context current.
void scaleFonts(float factor);

// The GUI's atlas is gone (its context destroyed): the next one starts unscaled.
void forgetFontScale();

// Makes the font the GUI's current one, for the rest of this frame and the following frames.
// Does nothing for a null font or without a GUI context.
void setFont(ImFont* font);

// A font file to bake, at a pixel height in design units.
struct FontFile {
    std::string path;
    float pixelHeight = 0;
};

// The GUI's atlas baked on a second core while the window is made: the built-in font, then each
// file's font (null where addFont refused it), baked at the factor the window is expected to
// have. The GUI is made with this atlas (createWindow), which must outlive it; bakeFonts then
// uploads it. Gone before its bake ends (a start that ends early), it waits for the bake.
struct FontsAhead {
    ImFontAtlas atlas;
    std::vector<ImFont*> fonts;
    std::future<void> baked;  // ready once atlas and fonts are
    FontsAhead() = default;
    FontsAhead(const FontsAhead&) = delete;
    FontsAhead& operator=(const FontsAhead&) = delete;
    ~FontsAhead();
};

// Queues the bake of the files into fonts->atlas on the worker thread, after what it is doing
// (JoinedThread::then); no GUI context may be made until fonts->baked is ready. Without a thread
// the bake is done at once.
void bakeFontsAhead(FontsAhead* fonts, float factor, std::vector<FontFile> files,
                    const uint16_t* ranges, JoinedThread* worker);
