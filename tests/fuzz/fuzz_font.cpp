// Hostile bytes as a font file in data/font/: the game's check and its trial bake in an atlas of
// its own. The GUI library bakes with the prebuilt TrueType library, so for every font the check
// lets through, the same library is also run here from its header, built with the sanitizers, the
// way the GUI library bakes: glyph lookup, metrics, box and bitmap of every glyph of the game's
// ranges.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "gfx/font.h"

#define STBTT_STATIC
#define STB_TRUETYPE_IMPLEMENTATION
#define STBTT_assert(x) ((x) ? (void)0 : abort())  // a failed assertion is a finding
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb/stb_truetype.h>
#pragma GCC diagnostic pop

namespace {

constexpr float kPixelHeight = 18;

void bakeEveryGlyph(const uint8_t* data) {
    stbtt_fontinfo info;
    if (!stbtt_InitFont(&info, data, stbtt_GetFontOffsetForIndex(data, 0)))
        abort();  // the check passed a font the baker cannot open
    float scale = stbtt_ScaleForPixelHeight(&info, kPixelHeight);
    std::vector<unsigned char> bitmap;
    for (const uint16_t* range = gameGlyphRanges; range[0]; range += 2) {
        for (int codePoint = range[0]; codePoint <= range[1]; ++codePoint) {
            int glyph = stbtt_FindGlyphIndex(&info, codePoint);
            if (glyph == 0) continue;
            int advance = 0, bearing = 0, x0 = 0, y0 = 0, x1 = 0, y1 = 0;
            stbtt_GetGlyphHMetrics(&info, glyph, &advance, &bearing);
            stbtt_GetGlyphBitmapBoxSubpixel(&info, glyph, scale, scale, 0, 0, &x0, &y0, &x1, &y1);
            int width = x1 - x0, height = y1 - y0;
            if (width < 0 || height < 0 || width > 1024 || height > 1024)
                abort();  // the check lets no glyph reach this far
            bitmap.assign(static_cast<size_t>(width) * height + 1, 0);
            stbtt_MakeGlyphBitmapSubpixel(&info, bitmap.data(), width, height, width, scale, scale,
                                          0, 0, glyph);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (fontCanBeBaked(data, size, kPixelHeight, gameGlyphRanges)) bakeEveryGlyph(data);
    return 0;
}
