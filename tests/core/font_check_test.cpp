// The check fonts pass before the GUI's baker sees them, on real fonts, damaged copies of them
// and small fonts made here with one fault each.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "gfx/font.h"
#include "gfx/font_check.h"

namespace {

const char* const FONT_DIR = "/usr/share/fonts/truetype/dejavu/";

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool usable(const std::string& font) {
    return fontIsUsable(reinterpret_cast<const unsigned char*>(font.data()), font.size(),
                        gameGlyphRanges);
}

bool bakes(const std::string& font, float pixelHeight) {
    return fontCanBeBaked(reinterpret_cast<const unsigned char*>(font.data()), font.size(),
                          pixelHeight, gameGlyphRanges);
}

std::string u16(int value) {
    return {static_cast<char>((value >> 8) & 0xFF), static_cast<char>(value & 0xFF)};
}
std::string u32(uint32_t value) {
    return u16(static_cast<int>(value >> 16)) + u16(static_cast<int>(value & 0xFFFF));
}

// A square of the given size: one contour of four on-curve points.
std::string square(int size) {
    return u16(1) + u16(0) + u16(0) + u16(size) + u16(size) + u16(3) + u16(0) +
           std::string(4, '\x01') + u16(0) + u16(size) + u16(0) + u16(-size) + u16(0) + u16(0) +
           u16(size) + u16(0);
}

// A TrueType font whose 'A' is a plain square (glyph 1) and whose 'B' is the given glyph (2).
std::map<std::string, std::string> fontTables(const std::string& glyphOfB) {
    std::vector<std::string> glyphs = {"", square(500), glyphOfB};
    std::string glyf, loca = u32(0);
    for (const std::string& glyph : glyphs) {
        glyf += glyph;
        loca += u32(static_cast<uint32_t>(glyf.size()));
    }
    std::string head(54, '\0');
    head.replace(18, 2, u16(1000));
    head.replace(50, 2, u16(1));  // long offsets in loca
    std::string hhea(36, '\0');
    hhea.replace(4, 4, u16(800) + u16(-200));
    hhea.replace(34, 2, u16(static_cast<int>(glyphs.size())));
    std::string hmtx;
    for (size_t i = 0; i < glyphs.size(); ++i) hmtx += u16(600) + u16(0);
    // Format 4: 'A'..'B' to glyphs 1..2, then the closing segment.
    std::string map = u16(4) + u16(32) + u16(0) + u16(4) + u16(4) + u16(1) + u16(0) + u16('B') +
                      u16(0xFFFF) + u16(0) + u16('A') + u16(0xFFFF) + u16(1 - 'A') + u16(1) +
                      u16(0) + u16(0);
    std::string cmap = u16(0) + u16(1) + u16(3) + u16(1) + u32(12) + map;
    return {{"cmap", cmap},
            {"glyf", glyf},
            {"head", head},
            {"hhea", hhea},
            {"hmtx", hmtx},
            {"loca", loca},
            {"maxp", u32(0x5000) + u16(static_cast<int>(glyphs.size()))}};
}

std::string fontFile(const std::map<std::string, std::string>& tables) {
    std::string directory =
        u32(0x00010000) + u16(static_cast<int>(tables.size())) + u16(0) + u16(0) + u16(0);
    std::string body;
    uint32_t offset = 12 + 16 * static_cast<uint32_t>(tables.size());
    for (const auto& [tag, table] : tables) {
        directory += tag + u32(0) + u32(offset + static_cast<uint32_t>(body.size())) +
                     u32(static_cast<uint32_t>(table.size()));
        body += table + std::string((4 - table.size() % 4) % 4, '\0');
    }
    return directory + body;
}

}  // namespace

TEST(FontCheck, RealFontsBakeAtGameSizesOnly) {
    for (const char* name :
         {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSerif.ttf", "DejaVuSansMono.ttf"}) {
        std::string font = fileBytes(std::string(FONT_DIR) + name);
        ASSERT_FALSE(font.empty()) << name;
        EXPECT_TRUE(bakes(font, 18)) << name;
        EXPECT_TRUE(bakes(font, 26)) << name;
    }
    std::string font = fileBytes(std::string(FONT_DIR) + "DejaVuSans.ttf");
    for (float pixelHeight : {0.0f, -18.0f, 257.0f})
        EXPECT_FALSE(bakes(font, pixelHeight)) << pixelHeight;
    EXPECT_TRUE(bakes(fontFile(fontTables(square(700))), 18));
}

TEST(FontCheck, RefusesCutOffOrDamagedFiles) {
    std::string font = fileBytes(std::string(FONT_DIR) + "DejaVuSans.ttf");
    for (size_t length :
         {size_t{4}, size_t{12}, size_t{400}, size_t{65536}, font.size() / 2, font.size() - 1})
        EXPECT_FALSE(usable(font.substr(0, length))) << "cut at " << length;
    EXPECT_FALSE(usable(std::string("\0\1\0\0", 4) + std::string(8192, '\x5A')));
    EXPECT_FALSE(usable(std::string("OTTO") + font.substr(4)));  // CFF outlines are not checked

    // A table record that reaches past the end of the file.
    std::string damaged = font;
    size_t record = damaged.find("glyf");
    ASSERT_NE(record, std::string::npos);
    damaged.replace(record + 12, 4, u32(static_cast<uint32_t>(font.size())));
    EXPECT_FALSE(usable(damaged));
    // A table at offset 0 is a missing table to the baker, which then guesses the glyph count.
    damaged = font;
    record = damaged.find("maxp");
    ASSERT_NE(record, std::string::npos);
    damaged.replace(record + 8, 4, u32(0));
    EXPECT_FALSE(usable(damaged));
}

TEST(FontCheck, RefusesOutlinesTheBakerCannotDraw) {
    // A composite glyph made of itself would recurse without end.
    std::string itself =
        u16(-1) + u16(0) + u16(0) + u16(500) + u16(500) + u16(0x0002) + u16(2) + u16(0);
    EXPECT_FALSE(usable(fontFile(fontTables(itself))));
    // The same composite made of the square is fine.
    std::string ofSquare =
        u16(-1) + u16(0) + u16(0) + u16(500) + u16(500) + u16(0x0002) + u16(1) + u16(0);
    EXPECT_TRUE(usable(fontFile(fontTables(ofSquare))));
    // A contour of one off-curve point makes the baker read past its points.
    std::string lonePoint = u16(1) + u16(0) + u16(0) + u16(0) + u16(0) + u16(0) + u16(0) +
                            std::string(1, '\0') + u16(0) + u16(0);
    EXPECT_FALSE(usable(fontFile(fontTables(lonePoint))));
    // Coordinates that run out before the points do.
    EXPECT_FALSE(usable(fontFile(fontTables(square(500).substr(0, 30)))));
    // A glyph ten times the line height would take the baker minutes at a large size.
    EXPECT_FALSE(usable(fontFile(fontTables(square(10000)))));

    auto tables = fontTables(square(500));
    tables["cmap"].replace(12, 2, u16(2));  // a map format the baker asserts on
    EXPECT_FALSE(usable(fontFile(tables)));
    tables = fontTables(square(500));
    tables["cmap"].replace(12 + 10, 2, u16(0xFFFF));  // 65535 search steps for every letter
    EXPECT_FALSE(usable(fontFile(tables)));
    tables = fontTables(square(500));
    tables["hhea"].replace(4, 4, u16(0) + u16(0));  // no line height to scale by
    EXPECT_FALSE(usable(fontFile(tables)));
    tables = fontTables(square(500));
    tables["hmtx"].resize(4);  // metrics for glyph 0 only
    EXPECT_FALSE(usable(fontFile(tables)));
}
