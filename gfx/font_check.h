#pragma once
// The check a font file passes before the GUI's font baker sees it: the baker trusts every
// offset and count in the file and asserts on what it does not handle.

#include <cstddef>
#include <cstdint>

// True when the TrueType font in data (the first font of a collection) can be baked for the code
// points of ranges (pairs of first and last, ending with 0) without reading outside data or
// tripping the baker's assertions: the tables it reads lie inside data, the character map and
// every outline it reaches are well formed, at least one code point has a glyph, composite glyphs
// nest a few levels at most, and no outline reaches far beyond the line height (which would make
// baking take minutes). Outlines in CFF (OpenType "OTTO" files) are not checked, so not accepted.
bool fontIsUsable(const unsigned char* data, size_t size, const uint16_t* ranges);
