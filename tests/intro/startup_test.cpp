// The intro's start-up with its window and resources replaced by recorders, and its scroller.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "intro/resources.h"
#include "intro/scene.h"
#include "intro/startup.h"
#include "intro/window.h"
#include "tests/intro/test_module.h"

namespace {

struct Shown {
    std::string text, caption;
    MessageIcon icon;
};

std::vector<Shown> messages, questions;
std::vector<std::string> windows;
std::vector<uint8_t> tune;  // empty: the program has no tune resource

}  // namespace

ResourceData findResource(ResourceType type, int id) {
    if (type == ResourceType::RcData && id == MODULE_TUNE && !tune.empty())
        return {tune.data(), static_cast<uint32_t>(tune.size())};
    return {nullptr, 0};
}
bool createGlWindow(const char* title, int width, int height, int bits, bool fullscreen) {
    windows.push_back(std::string(title) + " " + std::to_string(width) + "x" +
                      std::to_string(height) + "x" + std::to_string(bits) +
                      (fullscreen ? " full screen" : " windowed"));
    return true;
}
void killGlWindow() {}
void swapGlWindow() {}
void showMessage(const char* text, const char* caption, MessageIcon icon) {
    messages.push_back({text, caption, icon});
}
bool askYesNo(const char* text, const char* caption, MessageIcon icon) {
    questions.push_back({text, caption, icon});
    return false;
}
float secondsSinceStart() {
    return 0;
}
unsigned loadBitmapTexture(int) {
    return 0;
}

namespace {

class IntroStartup : public ::testing::Test {
protected:
    void SetUp() override {
        messages.clear();
        questions.clear();
        windows.clear();
        tune.clear();
    }
};

TEST_F(IntroStartup, WithoutItsTuneTheIntroSaysSoAndEndsBeforeAskingAnything) {
    EXPECT_EQ(startIntro(), nullptr);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Error loading music");
    EXPECT_EQ(messages[0].caption, "ERROR");
    EXPECT_EQ(messages[0].icon, MessageIcon::Plain);
    EXPECT_TRUE(questions.empty());
    EXPECT_TRUE(windows.empty());
}

TEST_F(IntroStartup, WithItsTuneTheIntroAsksAboutFullScreenThenOpensTheWindowAnswered) {
    TestModule module;
    module.addPattern(4);
    tune = buildModule(module);
    XmSong* song = startIntro();
    ASSERT_NE(song, nullptr);
    EXPECT_TRUE(messages.empty());
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].text, "Have wankin fullscreen ?");
    EXPECT_EQ(questions[0].caption, "Start Full Screen?");
    EXPECT_EQ(questions[0].icon, MessageIcon::Information);
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(windows[0],
              "The Keeper of the Light - a tiny intro in 640 x 480 640x480x32 windowed");
    endIntro(song);
}

TEST(IntroScroller, MovesTwoPixelsAFrameAndStartsAgainAtTheRightEdgeOncePastItsEnd) {
    float x = 640;
    int frames = 0;
    do {
        float before = x;
        advanceScroller(x);
        ++frames;
        if (x != 640) {
            ASSERT_EQ(x, before - 2);
        }
        ASSERT_GE(x, -12699.0f);
    } while (x != 640 && frames < 100000);
    // 640 - 2 * 6670 = -12700 is the first position past the end: it becomes the right edge.
    EXPECT_EQ(frames, 6670);
}

}  // namespace
