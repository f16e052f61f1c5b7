// The real window under Xvfb (a 1920x1080 screen, see with_xvfb.sh).
#include <gtest/gtest.h>

#include <GLFW/glfw3.h>
#include <cstdint>

#include "app/app.h"
#include "ui/screens.h"
#include "ui/ui.h"

namespace {

TEST(Monitor, HeightFollowsTheMonitorAspect) {
    Ui ui;
    App shell;
    shell.ui = &ui;
    int width = 0, height = 0;
    ASSERT_EQ(primaryMonitorSize(&shell, &width, &height), 1);
    EXPECT_EQ(width, 1920);
    EXPECT_EQ(height, 1080);

    ui.windowWidth = 1280;
    ui.windowHeight = 500;
    adjustHeightToMonitor(&shell);
    EXPECT_EQ(ui.windowHeight, 720);

    ui.windowWidth = 1000;  // 562.5 is cut to 562
    adjustHeightToMonitor(&shell);
    EXPECT_EQ(ui.windowHeight, 562);

    ui.windowWidth = 2000000000;  // far beyond 32 bits before the division
    adjustHeightToMonitor(&shell);
    EXPECT_EQ(ui.windowHeight, 1125000000);
}

uint32_t backPixel() {
    uint8_t rgba[4] = {};
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return rgba[0] | rgba[1] << 8 | rgba[2] << 16 | uint32_t{rgba[3]} << 24;
}

TEST(Window, WindowedAtTheGivenSizeAndEachClearUsesThePreviousColour) {
    Ui ui;
    App shell;
    shell.ui = &ui;
    ASSERT_NE(createWindow(&shell, "test", 640, 360, 'x'), nullptr);
    EXPECT_EQ(shell.initMarker, kAppInitMarker);
    int width = 0, height = 0;
    glfwGetWindowSize(shell.window, &width, &height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 360);
    EXPECT_EQ(glfwGetWindowMonitor(shell.window), nullptr);

    const uint32_t red = 0xFF0000FF, blue = 0xFFFF0000, grey = 0x80808080;
    clearFrame(&shell, red);
    EXPECT_EQ(backPixel(), 0u);  // the first clear is transparent black
    clearFrame(&shell, blue);
    EXPECT_EQ(backPixel(), red);
    clearFrame(&shell, grey);
    EXPECT_EQ(backPixel(), blue);

    // A whole frame: poll, render the (empty) GUI, swap.
    InputEvent event = pollInput(&shell);
    EXPECT_EQ(event.type, InputType::None);
    EXPECT_EQ(event.code, kInputNoKey);
    endFrame(&shell, red);

    glfwSetWindowShouldClose(shell.window, GLFW_TRUE);
    event = pollInput(&shell);
    EXPECT_EQ(event.type, InputType::Close);
    EXPECT_EQ(event.code, kInputNoKey);
    endFrame(&shell, red);
    shutdownWindow(&shell);
}

TEST(FrameLoop, RunsUntilStoppedAndAtLeastOnce) {
    Ui ui;
    App shell;
    shell.ui = &ui;
    struct Counter {
        App* shell;
        int calls;
        int stopAt;
    } counter{&shell, 0, 3};
    runFrameLoop(
        &shell,
        [](void* arg) {
            auto* c = static_cast<Counter*>(arg);
            if (++c->calls == c->stopAt) stopFrameLoop(c->shell);
        },
        &counter);
    EXPECT_EQ(counter.calls, 3);
    EXPECT_EQ(shell.running, 0);

    counter = {&shell, 0, 1};
    runFrameLoop(
        &shell,
        [](void* arg) {
            auto* c = static_cast<Counter*>(arg);
            ++c->calls;
            stopFrameLoop(c->shell);
        },
        &counter);
    EXPECT_EQ(counter.calls, 1);
}

}  // namespace
