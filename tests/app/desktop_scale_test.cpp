// A window on a desktop scaled 200 % (Xft.dpi 192, set on the X server before the windowing
// library starts), run inside its own 3840x2160 Xvfb by CTest.
#include <gtest/gtest.h>

#include <imgui.h>

#include <GLFW/glfw3.h>
#include <cstdlib>
#include <string>

#include "app/app.h"
#include "gfx/font.h"
#include "ui/screens.h"
#include "ui/ui.h"

// The X resources of the display (Xlib's names clash with the game's, hence a file of its own).
bool setDisplayResources(const char* resources);

namespace {

// The glyph's height in the atlas, in texels.
float glyphTexels(const ImFontAtlas& atlas, ImFont* font, char c) {
    const ImFontGlyph* glyph = font->FindGlyphNoFallback((ImWchar)c);
    if (!glyph) return 0;
    return (glyph->V1 - glyph->V0) * atlas.TexHeight;
}

// The glyph's height in texels of the font file baked alone at the pixel height.
float unscaledGlyphTexels(const std::string& path, float pixelHeight, char c) {
    ImFontAtlas atlas;
    ImFont* font = atlas.AddFontFromFileTTF(path.c_str(), pixelHeight);
    if (!font || !atlas.Build()) return 0;
    return glyphTexels(atlas, font, c);
}

// A 1280 x 720 design on the desktop scaled 200 %.
class DesktopScale : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(setDisplayResources("Xft.dpi:\t192\n"));
        runDir = std::getenv("WG_RUN_DIR");
        ASSERT_NE(runDir, nullptr);
        ui.windowWidth = 1280;
        ui.windowHeight = 720;
        shell.ui = &ui;
    }

    Ui ui;
    App shell;
    const char* runDir = nullptr;
};

TEST_F(DesktopScale, WindowTwiceAsLargeWithGlyphsBakedTwiceAsTall) {
    ASSERT_NE(createWindow(&shell, "scaled", ui.windowWidth, ui.windowHeight, 'x'), nullptr);
    EXPECT_EQ(shell.contentScale, 2);
    int width = 0, height = 0;
    glfwGetWindowSize(shell.window, &width, &height);
    EXPECT_EQ(width, 2560);
    EXPECT_EQ(height, 1440);

    // The fonts are baked for the window's framebuffer, twice the design, from the start.
    EXPECT_EQ(shell.view.factor, 2);
    const std::string path = std::string(runDir) + "/data/font/DejaVuSans-Bold.ttf";
    ImFont* font = loadFont(path.c_str(), 26, gameGlyphRanges);
    ASSERT_NE(font, nullptr);
    const float unscaled = unscaledGlyphTexels(path, 26, 'H');
    ASSERT_GT(unscaled, 10);
    const ImFontAtlas& atlas = *ImGui::GetIO().Fonts;
    EXPECT_NEAR(glyphTexels(atlas, font, 'H'), 2 * unscaled, 1);
    pollInput(&shell);
    endFrame(&shell, 0);
    EXPECT_EQ(shell.view.factor, 2);
    EXPECT_NEAR(glyphTexels(atlas, font, 'H'), 2 * unscaled, 1);
    // Laid out at the height it was loaded with: the design does not change.
    EXPECT_FLOAT_EQ(font->FontSize * font->Scale, 26);
    // The mouse in the window's middle is the design's middle.
    glfwSetCursorPos(shell.window, 1280, 720);
    pollInput(&shell);
    EXPECT_NEAR(ImGui::GetIO().MousePos.x, 640, 0.5f);
    EXPECT_NEAR(ImGui::GetIO().MousePos.y, 360, 0.5f);
    endFrame(&shell, 0);
    // When the factor changes the fonts are baked again at the new one.
    ui.windowWidth = 2560;
    ui.windowHeight = 1440;
    pollInput(&shell);
    endFrame(&shell, 0);
    EXPECT_EQ(shell.view.factor, 1);
    EXPECT_NEAR(glyphTexels(atlas, font, 'H'), unscaled, 1);
    EXPECT_FLOAT_EQ(font->FontSize * font->Scale, 26);
    shutdownWindow(&shell);
}

TEST_F(DesktopScale, FontsBakedAheadAreBakedAtTheScaleTheWindowComesOutAt) {
    ASSERT_TRUE(glfwInit());
    // The screen has no 1280 x 720 mode: full screen draws the design three times as large.
    EXPECT_EQ(expectedViewFactor(&shell, 1280, 720, 'f'), 3);
    const float factor = expectedViewFactor(&shell, 1280, 720, 'x');
    EXPECT_EQ(factor, 2);

    const std::string path = std::string(runDir) + "/data/font/DejaVuSans-Bold.ttf";
    FontsAhead fonts;
    JoinedThread worker;
    bakeFontsAhead(&fonts, factor, {{path, 26}, {std::string(runDir) + "/data/font/none.ttf", 20}},
                   gameGlyphRanges, &worker);
    ASSERT_NE(createWindow(&shell, "scaled", 1280, 720, 'x', &fonts), nullptr);
    const ImFontAtlas& atlas = *ImGui::GetIO().Fonts;
    EXPECT_EQ(&atlas, &fonts.atlas);
    ASSERT_EQ(fonts.fonts.size(), 2u);
    EXPECT_EQ(fonts.fonts[1], nullptr);  // a missing file is refused, as addFont refuses it
    ImFont* font = fonts.fonts[0];
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(atlas.Fonts.Size, 2);  // the built-in font first, then the file's
    EXPECT_NE(atlas.TexID, nullptr);
    const float unscaled = unscaledGlyphTexels(path, 26, 'H');
    ASSERT_GT(unscaled, 10);
    EXPECT_NEAR(glyphTexels(atlas, font, 'H'), 2 * unscaled, 1);
    EXPECT_FLOAT_EQ(font->FontSize * font->Scale, 26);
    pollInput(&shell);
    endFrame(&shell, 0);
    EXPECT_EQ(shell.view.factor, 2);
    EXPECT_NEAR(glyphTexels(atlas, font, 'H'), 2 * unscaled, 1);
    shutdownWindow(&shell);
}

}  // namespace
