// Fonts, textures and the image cache in a real GL context (run inside Xvfb).
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <cstdint>
#include <filesystem>
#include <imgui.h>
#include <stb_image_write.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/app.h"
#include "audio/sounds.h"
#include "core_fixture.h"
#include "gfx/font.h"
#include "gfx/image.h"

namespace {

const char* const FONT_FILE = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

std::string png(int width, int height) {
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4, 0x80);
    std::string bytes;
    stbi_write_png_to_func(
        [](void* out, void* data, int size) {
            (static_cast<std::string*>(out))
                ->append(static_cast<const char*>(data), static_cast<size_t>(size));
        },
        &bytes, width, height, 4, pixels.data(), width * 4);
    return bytes;
}

// One member of an old binary cpio archive, little-endian header.
std::string cpioMember(const std::string& name, const std::string& data) {
    auto word = [](uint32_t value) {
        return std::string{static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
    };
    std::string header = word(070707);
    for (int k = 0; k < 9; k++) header += word(0);
    header += word(static_cast<uint32_t>(name.size()) + 1) +
              word(static_cast<uint32_t>(data.size()) >> 16) + word(data.size() & 0xFFFF);
    std::string member = header + name + '\0';
    if ((name.size() + 1) % 2) member += '\0';
    member += data;
    if (data.size() % 2) member += '\0';
    return member;
}

int textureWidth(GuiImage image, int level = 0) {
    GLint width = 0;
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>((uintptr_t)image.handle));
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
    return width;
}

class GfxTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        window.ui = &ui;
        ASSERT_NE(createWindow(&window, "gfx", 64, 64, 'x'), nullptr);
        std::filesystem::create_directories("data/images");
        images.imageCache = &cache;
    }
    void TearDown() override {
        images.imageCache = nullptr;
        shutdownWindow(&window);
        CoreTest::TearDown();
    }

    App window;
    StringImageMap cache;
};

TEST_F(GfxTest, LooseFileComesBeforeTheArchiveAndEachNameLoadsOnce) {
    std::string archive = cpioMember("a.png", png(4, 4)) + cpioMember("b.png", png(8, 8)) +
                          cpioMember("bad.png", "not a picture");
    images.imagesArchive = archive.data();
    images.imagesArchiveSize = static_cast<uint32_t>(archive.size());
    writeFile("data/images/a.png", png(2, 2));

    GuiImage loose = getImage(&images, "a.png");
    ASSERT_NE(loose.handle, nullptr);
    EXPECT_EQ(textureWidth(loose), 2);
    GuiImage packed = getImage(&images, "b.png");
    EXPECT_EQ(textureWidth(packed), 8);
    EXPECT_EQ(textureWidth(packed, 1), 4);  // mipmaps were generated
    EXPECT_EQ(getImage(&images, "a.png").handle, loose.handle);

    // Failures give the empty image and are cached too, so they are never retried.
    EXPECT_EQ(getImage(&images, "bad.png").handle, nullptr);
    EXPECT_EQ(getImage(&images, "missing.png").handle, nullptr);
    writeFile("data/images/missing.png", png(2, 2));
    EXPECT_EQ(getImage(&images, "missing.png").handle, nullptr);
    EXPECT_EQ(cache.size, 4u);
}

TEST_F(GfxTest, PicturesDecodedAheadAreTheOnesDrawn) {
    std::string archive = cpioMember("a.png", png(4, 4)) + cpioMember("b.png", png(8, 8)) +
                          cpioMember("c.png", png(16, 16));
    images.imagesArchive = archive.data();
    images.imagesArchiveSize = static_cast<uint32_t>(archive.size());
    writeFile("data/images/a.png", png(2, 2));

    decodeAhead(&images, {"a.png", "b.png", "missing.png"});
    images.decoder.join();
    ASSERT_EQ(images.decodedAhead.size(), 3u);
    EXPECT_EQ(images.decodedAhead[1].mipmaps.size(), 3u);    // 4, 2 and 1 wide, made there too
    EXPECT_EQ(textureWidth(getImage(&images, "a.png")), 2);  // the loose file, as when drawn
    GuiImage packed = getImage(&images, "b.png");
    EXPECT_EQ(textureWidth(packed), 8);
    EXPECT_EQ(textureWidth(packed, 3), 1);  // every mipmap level down to one texel
    EXPECT_EQ(getImage(&images, "missing.png").handle, nullptr);
    EXPECT_EQ(textureWidth(getImage(&images, "c.png")), 16);  // not asked for ahead
    EXPECT_TRUE(images.decodedAhead.empty());

    decodeAhead(&images, {"c.png"});
    dropDecodedAhead(&images);
    EXPECT_TRUE(images.decodedAhead.empty());
    EXPECT_FALSE(images.decoder.thread.joinable());
}

TEST_F(GfxTest, TheArchiveReadOnTheDecodingThreadServesTheDecodingAheadAndTheDrawing) {
    writeFile("data/images.dat", cpioMember("a.png", png(4, 4)) + cpioMember("b.png", png(8, 8)));
    images.imageCache = nullptr;  // loadImageAssets makes its own
    loadImageAssets(&images);
    decodeAhead(&images, {"a.png"});
    EXPECT_EQ(textureWidth(getImage(&images, "a.png")), 4);
    EXPECT_EQ(textureWidth(getImage(&images, "b.png")), 8);
    EXPECT_EQ(images.imageCache->size, 2u);

    loadImageAssets(&images);  // the same archive again, nothing drawn from it yet
    EXPECT_EQ(textureWidth(getImage(&images, "b.png")), 8);
    freeImageAssets(&images);
}

TEST_F(GfxTest, BothFontsKeepTheirGlyphsAndTheLastIsCurrent) {
    ImFont* before = ImGui::GetIO().FontDefault;
    EXPECT_EQ(loadFont("data/font/missing.ttf", 20, gameGlyphRanges), nullptr);
    writeFile("data/notafont.ttf", "garbage bytes");
    EXPECT_EQ(loadFont("data/notafont.ttf", 20, gameGlyphRanges), nullptr);
    EXPECT_EQ(ImGui::GetIO().FontDefault, before);

    ImFont* small = loadFont(FONT_FILE, 16, gameGlyphRanges);
    ImFont* main = loadFont(FONT_FILE, 30, gameGlyphRanges);
    ASSERT_NE(small, nullptr);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(ImGui::GetIO().FontDefault, main);
    for (ImFont* font : {small, main}) {
        EXPECT_NE(font->FindGlyphNoFallback(0x0416), nullptr);  // Cyrillic
        EXPECT_NE(font->FindGlyphNoFallback(0x00E9), nullptr);
        EXPECT_EQ(font->FindGlyphNoFallback(0x03B1), nullptr);  // Greek is not baked
    }
    EXPECT_NE(ImGui::GetIO().Fonts->TexID, nullptr);
}

TEST_F(GfxTest, AFontThatCannotBeUsedLeavesTheFontsBeforeIt) {
    ImFont* small = loadFont(FONT_FILE, 16, gameGlyphRanges);
    ASSERT_NE(small, nullptr);
    std::string font = readFile(FONT_FILE);
    writeFile("data/cut.ttf", font.substr(0, font.size() / 3));
    writeFile("data/noise.ttf", std::string("\0\1\0\0", 4) + std::string(4096, '\x7F'));
    EXPECT_EQ(loadFont("data/cut.ttf", 30, gameGlyphRanges), nullptr);
    EXPECT_EQ(loadFont("data/noise.ttf", 30, gameGlyphRanges), nullptr);
    EXPECT_EQ(loadFont(FONT_FILE, 0, gameGlyphRanges), nullptr);

    EXPECT_EQ(ImGui::GetIO().FontDefault, small);
    EXPECT_EQ(ImGui::GetIO().Fonts->Fonts.Size, 2);  // the built-in font and the small one
    EXPECT_NE(small->FindGlyphNoFallback('A'), nullptr);
    EXPECT_NE(ImGui::GetIO().Fonts->TexID, nullptr);
}

}  // namespace

TEST(HalvedImage, EachTexelIsTheRoundedMeanOfTheTwoByTwoItCovers) {
    auto texel = [](unsigned char r, unsigned char g, unsigned char b, unsigned char a) {
        return std::vector<unsigned char>{r, g, b, a};
    };
    auto row = [](std::initializer_list<std::vector<unsigned char>> texels) {
        std::vector<unsigned char> bytes;
        for (const auto& t : texels) bytes.insert(bytes.end(), t.begin(), t.end());
        return bytes;
    };
    // 3 x 2: the odd last column is left out.
    std::vector<unsigned char> picture =
        row({texel(0, 10, 255, 255), texel(1, 20, 255, 0), texel(99, 99, 99, 99),
             texel(2, 30, 0, 255), texel(2, 41, 0, 0), texel(99, 99, 99, 99)});
    EXPECT_EQ(halvedImage(picture.data(), 3, 2), texel(1, 25, 128, 128));
    // A side of one stays one: 2 x 1 averages the pair with itself, 1 x 1 is itself.
    std::vector<unsigned char> pair = row({texel(10, 0, 0, 0), texel(21, 0, 0, 0)});
    EXPECT_EQ(halvedImage(pair.data(), 2, 1), texel(16, 0, 0, 0));
    EXPECT_EQ(halvedImage(pair.data(), 1, 1), texel(10, 0, 0, 0));
    // 1 x 5 gives 1 x 2 from rows 0-1 and 2-3.
    std::vector<unsigned char> column =
        row({texel(4, 0, 0, 0), texel(8, 0, 0, 0), texel(40, 0, 0, 0), texel(80, 0, 0, 0),
             texel(255, 0, 0, 0)});
    EXPECT_EQ(halvedImage(column.data(), 1, 5), row({texel(6, 0, 0, 0), texel(60, 0, 0, 0)}));
}
