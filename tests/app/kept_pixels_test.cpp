// A group's kept pixels under the real window (see with_xvfb.sh): a frame drawn from them is the
// frame drawn in full, bit for bit, and whatever paints the group's area ends the keeping.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GLFW/glfw3.h>
#include <imgui.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "app/app.h"
#include "gfx/gui_draw.h"
#include "ui/screens.h"
#include "ui/ui.h"

namespace {

constexpr int kWidth = 640, kHeight = 360;

struct Scene {
    uint32_t clearColour = 0xFF203040;
    float markX = 500;          // a translucent square drawn by the screen before the group
    const char* word = "word";  // the group's buttons read word0, word1, ...
    bool backdrop = false;      // a kept gradient beneath everything, as the screens' pictures
};

struct Frame {
    int pasted;
    std::vector<uint8_t> pixels;
};

// One frame like the game's: a translucent screen window and a bordered group of buttons whose
// pixels are kept. The group covers x 20..320, y 40..240.
Frame drawFrame(App* shell, const Scene& scene) {
    pollInput(shell);
    if (scene.backdrop) {
        ImDrawList* backdrop = ImGui::GetBackgroundDrawList();
        backdrop->AddRectFilledMultiColor(ImVec2(0, 0), ImVec2(kWidth, kHeight),
                                          IM_COL32(200, 40, 40, 255), IM_COL32(40, 200, 40, 255),
                                          IM_COL32(40, 40, 200, 255), IM_COL32(200, 200, 40, 255));
        keepListPixels(backdrop);
    }
    ImGui::SetNextWindowPos(ImVec2(0, 0));
    ImGui::SetNextWindowSize(ImVec2(kWidth, kHeight));
    ImGui::PushStyleColor(ImGuiCol_WindowBg, IM_COL32(60, 70, 80, 215));
    ImGui::Begin("screen", nullptr, ImGuiWindowFlags_NoDecoration);
    ImGui::GetWindowDrawList()->AddRectFilled(
        ImVec2(scene.markX, 60), ImVec2(scene.markX + 40, 100), IM_COL32(255, 0, 255, 128), 8);
    ImGui::SetCursorScreenPos(ImVec2(20, 40));
    ImGui::BeginChild("group", ImVec2(300, 200), true);
    keepListPixels(ImGui::GetWindowDrawList());
    for (int i = 0; i < 40; ++i) {
        char label[32];
        std::snprintf(label, sizeof label, "%s%d", scene.word, i);
        if (i % 4) ImGui::SameLine();
        ImGui::Button(label, ImVec2(60, 30));
    }
    ImGui::EndChild();
    ImGui::End();
    ImGui::PopStyleColor();

    const uint32_t cleared = clearFrame(shell, scene.clearColour);
    ImGui::Render();
    placeDesign(shell, ImGui::GetDrawData());
    Frame frame{drawGui(ImGui::GetDrawData(), cleared),
                std::vector<uint8_t>(static_cast<size_t>(shell->fbWidth) * shell->fbHeight * 4)};
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, shell->fbWidth, shell->fbHeight, GL_RGBA, GL_UNSIGNED_BYTE,
                 frame.pixels.data());
    glfwSwapBuffers(shell->window);
    return frame;
}

// Draws the scene until the group (and the backdrop) come from their kept pixels; the frames
// drawn before too.
std::vector<Frame> drawUntilPasted(App* shell, const Scene& scene) {
    std::vector<Frame> frames;
    for (int i = 0; i < 4; ++i) {
        frames.push_back(drawFrame(shell, scene));
        if (frames.back().pasted == (scene.backdrop ? 2 : 1)) break;
    }
    return frames;
}

class KeptPixels : public ::testing::Test {
protected:
    // A window of width x height for the design of kWidth x kHeight.
    bool open(int width, int height) {
        ui.windowWidth = kWidth;
        ui.windowHeight = kHeight;
        shell.ui = &ui;
        return createWindow(&shell, "test", width, height, 'x') != nullptr;
    }
    void TearDown() override {
        if (shell.window) shutdownWindow(&shell);
    }

    Ui ui;
    App shell;
};

TEST_F(KeptPixels, AFrameFromKeptPixelsIsTheFullFrameAndChangesUnderTheGroupRedrawIt) {
    ASSERT_TRUE(open(kWidth, kHeight));  // the design drawn unscaled
    Scene scene;
    // The first frame clears with GL's own colour; from the second on, the scene's.
    drawFrame(&shell, scene);

    // Drawn in full, copied on the second alike frame, pasted from the third.
    std::vector<Frame> frames = drawUntilPasted(&shell, scene);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].pasted + frames[1].pasted, 0);
    EXPECT_EQ(frames[2].pasted, 1);
    EXPECT_TRUE(frames[2].pixels == frames[0].pixels);
    const std::vector<uint8_t> first = frames[0].pixels;

    // A change outside the group's area leaves the copy in use.
    scene.markX = 450;
    Frame moved = drawFrame(&shell, scene);
    EXPECT_EQ(moved.pasted, 1);
    EXPECT_FALSE(moved.pixels == first);

    // Each change that paints the area is drawn in full, then kept again, bit for bit.
    const auto expectRedrawnAndKept = [&](const char* change) {
        SCOPED_TRACE(change);
        std::vector<Frame> redrawn = drawUntilPasted(&shell, scene);
        ASSERT_EQ(redrawn.size(), 3u);
        EXPECT_EQ(redrawn[0].pasted, 0);
        EXPECT_FALSE(redrawn[0].pixels == first);
        EXPECT_TRUE(redrawn[2].pixels == redrawn[0].pixels);
    };
    scene.markX = 300;  // the screen's square reaches under the group
    expectRedrawnAndKept("the screen paints under the group");
    scene.markX = 500;
    scene.word = "other";
    expectRedrawnAndKept("the group's own buttons");
    scene.word = "word";
    // The clear colour takes a frame to apply: the frame that sets it still clears with the old.
    scene.clearColour = 0xFF402010;
    drawFrame(&shell, scene);
    expectRedrawnAndKept("the clear beneath the translucent screen");

    // A new or replaced texture may reuse a name the group drew with.
    forgetKeptPixels();
    EXPECT_EQ(drawFrame(&shell, scene).pasted, 0);
}

// A paste covers what the lists before it would draw beneath it, an earlier paste too: they are
// left out. At a factor of 1.5 the edges of what is left fall between design units.
TEST_F(KeptPixels, PastesLeaveOutWhatTheyCoverAndTheFrameIsTheFullFrame) {
    ASSERT_TRUE(open(kWidth * 3 / 2, kHeight * 3 / 2));
    Scene scene;
    scene.backdrop = true;
    scene.markX = 300;  // the screen's square reaches under the group
    drawFrame(&shell, scene);
    EXPECT_EQ(shell.view.factor, 1.5f);

    std::vector<Frame> frames = drawUntilPasted(&shell, scene);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[2].pasted, 2);  // the backdrop and the group
    EXPECT_TRUE(frames[2].pixels == frames[0].pixels);

    // The square moves off the group: the group is drawn over the pasted backdrop, then kept.
    scene.markX = 450;
    frames = drawUntilPasted(&shell, scene);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].pasted, 1);
    EXPECT_EQ(frames[2].pasted, 2);
    forgetKeptPixels();
    const Frame full = drawFrame(&shell, scene);
    EXPECT_EQ(full.pasted, 0);
    EXPECT_TRUE(frames[0].pixels == full.pixels);
    EXPECT_TRUE(frames[2].pixels == full.pixels);
}

}  // namespace
