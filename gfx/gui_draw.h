#pragma once
// Draws the GUI's draw lists with GL.
//
// A list marked with keepListPixels (the screens' backgrounds and pictures, the scrolling groups)
// is drawn from a copy of the pixels it left on an earlier frame for as long as nothing that
// paints its area changes: the list itself, whatever earlier lists draw into its area, the colour
// of the clear beneath, the framebuffer and the textures. On a software GL driver the word
// buttons of a long found list, or pictures blended over a 3840 x 2160 screen, cost more than the
// rest of the frame; a copy costs one quad. The copy is taken once the area has looked the same
// for two frames, so scrolling and hovering never pay for copies, and it holds the very bytes the
// lists drew, so the screen does not change by a single bit. A paste covers every pixel of its
// area, so what the lists before it (an earlier paste too) would draw beneath it is left out, on
// frames that take no copy: a letter typed under a 3840 x 2160 backdrop and found list pastes
// them once, not the backdrop twice over the found words' panel.

#include <cstdint>

struct ImDrawData;
struct ImDrawList;

// Marks a list of this frame to be kept; call while the GUI builds the frame. The lists beyond
// the first few marked are drawn as usual.
void keepListPixels(const ImDrawList* list);

// Draws the frame's draw data. clearedColour is the colour the frame was cleared with (packed as
// the GUI packs colours): it shows through translucent lists, so a kept copy depends on it, and
// the triangles the frame begins with that would only paint that colour again (a screen's
// background) are left out of the data. Pictures drawn at their size or larger are sampled from
// their full-size level alone. Every texture drawn other than the font atlas must be one of
// uploadTexture's (mipmapped). The data's commands may be cut into several, each clipped to part
// of its rectangle. Returns how many lists were drawn from kept pixels.
int drawGui(ImDrawData* data, uint32_t clearedColour);

// Moves every glyph of the frame's text onto whole framebuffer pixels. The fonts are baked at the
// framebuffer's scale, so a glyph placed on a whole pixel is drawn texel for texel; at a factor
// like 1.5 the layout's whole design units would put half the lines of text between two rows of
// pixels, blurred. Call on the rendered draw data before drawGui.
void snapTextToPixels(ImDrawData* data);

// True when the frame's draw data, over a clear of clearedColour, is exactly the last frame drawn:
// its pixels are on screen already and the frame need not be drawn (its marks are let go). Else
// false, and the frame is taken as the one drawn next. A screen that stays still costs the GUI's
// build alone, however large the framebuffer.
bool showsLastFrame(const ImDrawData* data, uint32_t clearedColour);
// The next frame is drawn even if it is the last one drawn: the window system lost the pixels
// shown (the window was exposed).
void redrawNextFrame();

// Drops every kept copy with its texture; the next frame is drawn whatever it is. Call with the GL
// context current after a texture is created or replaced (its name may be one a kept copy was drawn
// with) and before the context goes.
void forgetKeptPixels();
