// make_glyphs: the intro's glyph sheet, 128 x 128 pixels of 16 x 8 cells of 8 x 16 pixels,
// characters from 32 (space) upwards, white on black, rendered from a TrueType font.
//   make_glyphs FONT.ttf OUTPUT.bmp
#include <algorithm>
#include <cstdio>
#include <vector>

#include "stb/stb_truetype.h"
#include "tools/intro/bitmap.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_glyphs FONT.ttf OUTPUT.bmp\n");
        return 2;
    }
    std::vector<unsigned char> font;
    if (std::FILE* file = std::fopen(argv[1], "rb")) {
        unsigned char buffer[65536];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            font.insert(font.end(), buffer, buffer + n);
        std::fclose(file);
    }
    stbtt_fontinfo info;
    if (font.empty() ||
        !stbtt_InitFont(&info, font.data(), stbtt_GetFontOffsetForIndex(font.data(), 0))) {
        std::fprintf(stderr, "make_glyphs: cannot read the font %s\n", argv[1]);
        return 1;
    }
    // The intro samples each cell a little to the right of and below its corner, so every glyph
    // keeps the first two columns and the top two rows of its cell empty.
    float scale = stbtt_ScaleForMappingEmToPixels(&info, 10.5f);
    int ascent;
    stbtt_GetFontVMetrics(&info, &ascent, nullptr, nullptr);
    int baseline = static_cast<int>(ascent * scale + 0.5f) + 2;
    constexpr int LEFT = 2;

    Picture sheet(128, 128);
    for (int ch = 33; ch < 127; ++ch) {
        int cellX = (ch % 16) * 8, cellY = ((ch - 32) / 16) * 16;
        int x0, y0, x1, y1;
        stbtt_GetCodepointBitmapBox(&info, ch, scale, scale, &x0, &y0, &x1, &y1);
        int w = x1 - x0, h = y1 - y0;
        if (w <= 0 || h <= 0) continue;
        std::vector<unsigned char> glyph(static_cast<size_t>(w) * h);
        stbtt_MakeCodepointBitmap(&info, glyph.data(), w, h, w, scale, scale, ch);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                int px = cellX + LEFT + x + std::max(x0, 0), py = cellY + baseline + y0 + y;
                if (px < cellX || px >= cellX + 8 || py < cellY || py >= cellY + 16) continue;
                float v = glyph[static_cast<size_t>(y) * w + x] / 255.0f;
                sheet.at(px, py) = Rgb{v, v, v};
            }
        }
    }
    if (!writeBmp(argv[2], sheet)) {
        std::fprintf(stderr, "make_glyphs: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
