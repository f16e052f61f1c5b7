#pragma once
// The code points the game's fonts bake, shared with the content tools that keep every text
// drawable.

#include <cstdint>

// Pairs of first and last code point, ending with 0.
inline constexpr uint16_t gameGlyphRanges[] = {
    0x0020, 0x00FF,  // Basic Latin and Latin-1
    0x0100, 0x017F,  // Latin Extended-A
    0x0400, 0x052F,  // Cyrillic and Cyrillic Supplement
    0x2010, 0x2027,  // hyphens, dashes, quotation marks, bullet, ellipsis
    0x2039, 0x203A,  // single angle quotation marks
    0x2DE0, 0x2DFF,  // Cyrillic Extended-A
    0xA640, 0xA69F,  // Cyrillic Extended-B
    0,
};
