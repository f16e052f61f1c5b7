// Pictures drawn by drawGui under the real window (see with_xvfb.sh): at their size or larger they
// are sampled without their mipmaps, and the frame is the one the mipmapped filter draws, bit for
// bit; drawn smaller anywhere in the frame, they are sampled from the mipmaps.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GLFW/glfw3.h>
#include <backends/imgui_impl_opengl2.h>
#include <imgui.h>

#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <vector>

#include "app/app.h"
#include "gfx/gui_draw.h"
#include "gfx/image.h"
#include "ui/ui.h"

namespace {

constexpr int kWidth = 640, kHeight = 360, kPictureSize = 128;

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

// One frame with the picture drawn at each size (design units, off whole pixels), through
// drawGui or straight through the GUI's renderer with the texture as it is; its pixels.
std::vector<uint8_t> drawPicture(App* shell, GuiImage picture, std::initializer_list<float> sizes,
                                 bool throughDrawGui) {
    pollInput(shell);
    float left = 10.3f;
    for (float size : sizes) {
        ImGui::GetForegroundDrawList()->AddImage(picture.handle, ImVec2(left, 20.6f),
                                                 ImVec2(left + size, 20.6f + size));
        left += size + 10;
    }
    clearFrame(shell, 0xFF000000);
    ImGui::Render();
    if (throughDrawGui)
        drawGui(ImGui::GetDrawData(), 0);
    else
        ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
    std::vector<uint8_t> pixels(static_cast<size_t>(kWidth) * kHeight * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glfwSwapBuffers(shell->window);
    return pixels;
}

TEST(ImageFilter, PicturesAtTheirSizeOrLargerSkipTheMipmapsWithoutChangingAPixel) {
    Ui ui;
    ui.windowWidth = kWidth;
    ui.windowHeight = kHeight;
    App shell;
    shell.ui = &ui;
    ASSERT_NE(createWindow(&shell, "test", kWidth, kHeight, 'x'), nullptr);
    const GuiImage picture = detailedPicture();
    ASSERT_NE(picture.handle, nullptr);
    EXPECT_EQ(minFilterOf(picture), GL_LINEAR_MIPMAP_NEAREST);
    drawPicture(&shell, picture, {}, true);  // the clear colour applies from the next frame

    // Twice as large, as large, and a little smaller (each texel still 0.8 pixels).
    for (float size : {256.0f, 128.0f, 102.4f}) {
        SCOPED_TRACE(size);
        const std::vector<uint8_t> drawn = drawPicture(&shell, picture, {size}, true);
        EXPECT_EQ(minFilterOf(picture), GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
        EXPECT_TRUE(drawPicture(&shell, picture, {size}, false) == drawn);
    }

    // Half the size, alone or beside a full-size copy: from the mipmaps.
    drawPicture(&shell, picture, {64}, true);
    EXPECT_EQ(minFilterOf(picture), GL_LINEAR_MIPMAP_NEAREST);
    drawPicture(&shell, picture, {128}, true);
    drawPicture(&shell, picture, {128, 64}, true);
    EXPECT_EQ(minFilterOf(picture), GL_LINEAR_MIPMAP_NEAREST);
    shutdownWindow(&shell);
}

}  // namespace
