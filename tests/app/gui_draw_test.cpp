// drawGui under the real window (see with_xvfb.sh) leaves out work that cannot change a pixel:
// the frame it draws is the one the GUI's own renderer draws from the same lists, bit for bit.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GLFW/glfw3.h>
#include <backends/imgui_impl_opengl2.h>
#include <imgui.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <vector>

#include "app/app.h"
#include "gfx/gui_draw.h"
#include "gfx/image.h"
#include "ui/ui.h"

namespace {

constexpr int kWidth = 640, kHeight = 360, kPictureSize = 128;

struct Frame {
    std::vector<uint8_t> pixels;
    unsigned int elements = 0;  // the indices left to draw
};

class GuiDraw : public ::testing::Test {
protected:
    void SetUp() override {
        ui.windowWidth = kWidth;
        ui.windowHeight = kHeight;
        shell.ui = &ui;
        ASSERT_NE(createWindow(&shell, "test", kWidth, kHeight, 'x'), nullptr);
    }
    void TearDown() override { shutdownWindow(&shell); }

    // One frame: the GUI built by build, cleared with the colour the frame before gave, then
    // drawn through drawGui or straight through the GUI's renderer. The next frame clears with
    // nextClear.
    Frame draw(const std::function<void()>& build, uint32_t nextClear, bool throughDrawGui) {
        pollInput(&shell);
        build();
        const uint32_t cleared = clearFrame(&shell, nextClear);
        ImGui::Render();
        ImDrawData* data = ImGui::GetDrawData();
        Frame frame;
        if (throughDrawGui)
            drawGui(data, cleared);
        else
            ImGui_ImplOpenGL2_RenderDrawData(data);
        for (int i = 0; i < data->CmdListsCount; ++i)
            for (const ImDrawCmd& cmd : data->CmdLists[i]->CmdBuffer)
                frame.elements += cmd.ElemCount;
        frame.pixels.resize(static_cast<size_t>(kWidth) * kHeight * 4);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, frame.pixels.data());
        glfwSwapBuffers(shell.window);
        return frame;
    }

    Ui ui;
    App shell;
};

// Detail down to single texels, and translucent texels, so that any other sampling shows.
GuiImage detailedPicture() {
    unsigned char* rgba = static_cast<unsigned char*>(std::malloc(kPictureSize * kPictureSize * 4));
    for (int y = 0; y < kPictureSize; ++y)
        for (int x = 0; x < kPictureSize; ++x) {
            unsigned char* texel = rgba + (y * kPictureSize + x) * 4;
            texel[0] = static_cast<unsigned char>(x * 37 + y * 11);
            texel[1] = static_cast<unsigned char>((x ^ y) * 8);
            texel[2] = static_cast<unsigned char>(y * 29);
            texel[3] = static_cast<unsigned char>(255 - (x + y) % 96);
        }
    return uploadTexture(rgba, kPictureSize, kPictureSize);
}

GLint minFilterOf(GuiImage picture) {
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(reinterpret_cast<uintptr_t>(picture.handle)));
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    return filter;
}

// The picture at each size (design units, off whole pixels), side by side.
std::function<void()> pictures(GuiImage picture, std::vector<float> sizes) {
    return [picture, sizes] {
        float left = 10.3f;
        for (float size : sizes) {
            ImGui::GetForegroundDrawList()->AddImage(picture.handle, ImVec2(left, 20.6f),
                                                     ImVec2(left + size, 20.6f + size));
            left += size + 10;
        }
    };
}

TEST_F(GuiDraw, PicturesAtTheirSizeOrLargerSkipTheMipmapsWithoutChangingAPixel) {
    const GuiImage picture = detailedPicture();
    ASSERT_NE(picture.handle, nullptr);
    EXPECT_EQ(minFilterOf(picture), GL_LINEAR_MIPMAP_NEAREST);
    const uint32_t black = 0xFF000000;
    draw(pictures(picture, {}), black, true);  // the clear colour applies from the next frame

    // Twice as large, as large, and a little smaller (each texel still 0.8 pixels).
    for (float size : {256.0f, 128.0f, 102.4f}) {
        SCOPED_TRACE(size);
        const Frame drawn = draw(pictures(picture, {size}), black, true);
        EXPECT_EQ(minFilterOf(picture), GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
        EXPECT_TRUE(draw(pictures(picture, {size}), black, false).pixels == drawn.pixels);
    }

    // Half the size, alone or beside a full-size copy: from the mipmaps.
    draw(pictures(picture, {64}), black, true);
    EXPECT_EQ(minFilterOf(picture), GL_LINEAR_MIPMAP_NEAREST);
    draw(pictures(picture, {128}), black, true);
    draw(pictures(picture, {128, 64}), black, true);
    EXPECT_EQ(minFilterOf(picture), GL_LINEAR_MIPMAP_NEAREST);
}

// A screen like the game's: a window of the given background with a button on it.
std::function<void()> screen(uint32_t background) {
    return [background] {
        ImGui::SetNextWindowPos(ImVec2(0, 0));
        ImGui::SetNextWindowSize(ImVec2(kWidth, kHeight));
        ImGui::PushStyleColor(ImGuiCol_WindowBg, background);
        ImGui::Begin("screen", nullptr, ImGuiWindowFlags_NoDecoration);
        ImGui::Button("button", ImVec2(200, 60));
        ImGui::End();
        ImGui::PopStyleColor();
    };
}

TEST_F(GuiDraw, AScreenBackgroundOfTheClearsColourIsLeftToTheClear) {
    const uint32_t blue = IM_COL32(40, 60, 200, 255), green = IM_COL32(30, 160, 60, 255);
    draw(screen(blue), blue, true);  // from here on the clear is blue

    // Cleared blue: the blue background's two triangles are left out, the pixels are the same.
    const Frame plain = draw(screen(blue), blue, false);
    const Frame drawn = draw(screen(blue), blue, true);
    EXPECT_EQ(drawn.elements, plain.elements - 6);
    EXPECT_TRUE(drawn.pixels == plain.pixels);

    // Cleared blue, a green background (the frame a theme changes): drawn.
    const Frame changed = draw(screen(green), green, true);
    EXPECT_EQ(changed.elements, plain.elements);
    EXPECT_TRUE(changed.pixels != plain.pixels);

    // A translucent background over a clear of its very colour (the game's themes): left out.
    const uint32_t seeThrough = IM_COL32(30, 160, 60, 80);
    draw(screen(seeThrough), seeThrough, true);
    const Frame translucent = draw(screen(seeThrough), seeThrough, false);
    const Frame clearedOnly = draw(screen(seeThrough), seeThrough, true);
    EXPECT_EQ(clearedOnly.elements, translucent.elements - 6);
    EXPECT_TRUE(clearedOnly.pixels == translucent.pixels);
}

}  // namespace

std::vector<uint8_t> frontPixels() {
    std::vector<uint8_t> pixels(static_cast<size_t>(kWidth) * kHeight * 4);
    glReadBuffer(GL_FRONT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

TEST_F(GuiDraw, AStillFrameIsNotDrawnAgainUntilSomethingOnItChanges) {
    const uint32_t blue = IM_COL32(40, 60, 200, 255), green = IM_COL32(30, 160, 60, 255);
    const auto frame = [this](const std::function<void()>& build, uint32_t nextClear) {
        pollInput(&shell);
        build();
        const bool drawn = drawGuiFrame(&shell, nextClear);
        if (drawn) glfwSwapBuffers(shell.window);
        return drawn;
    };
    EXPECT_TRUE(frame(screen(blue), blue));
    EXPECT_TRUE(frame(screen(blue), blue));  // the first frame's clear was another colour
    const std::vector<uint8_t> shown = frontPixels();
    EXPECT_FALSE(frame(screen(blue), blue));
    EXPECT_TRUE(shell.frameShownAgain);
    EXPECT_TRUE(frontPixels() == shown);  // still on screen

    // A still frame that sets another clear colour is drawn with it next time.
    EXPECT_FALSE(frame(screen(blue), green));
    EXPECT_TRUE(frame(screen(blue), green));
    EXPECT_FALSE(frame(screen(blue), green));
    EXPECT_TRUE(frame(screen(green), green));  // the screen changed

    // The window system lost the pixels, or a texture was replaced: drawn again.
    redrawNextFrame();
    EXPECT_TRUE(frame(screen(green), green));
    EXPECT_FALSE(frame(screen(green), green));
    detailedPicture();
    EXPECT_TRUE(frame(screen(green), green));
    EXPECT_FALSE(frame(screen(green), green));
}
