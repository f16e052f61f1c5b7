#include "app/app.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <iterator>

#include <GLFW/glfw3.h>
#include <imgui.h>
#include <backends/imgui_impl_glfw.h>
#include <backends/imgui_impl_opengl2.h>

#include "gfx/font.h"
#include "gfx/gui_draw.h"
#include "ui/screens.h"
#include "ui/ui.h"

// Escape first, then the keys that can type, erase or take a hint, in polling order.
static const int watchedKeys[] = {
    GLFW_KEY_ESCAPE,
    GLFW_KEY_SPACE,
    GLFW_KEY_BACKSPACE,
    GLFW_KEY_DELETE,
    GLFW_KEY_TAB,
    GLFW_KEY_LEFT_CONTROL,
    GLFW_KEY_LEFT_SHIFT,
    GLFW_KEY_LEFT_ALT,
    GLFW_KEY_LEFT_SUPER,
    GLFW_KEY_LEFT_BRACKET,
    GLFW_KEY_RIGHT_BRACKET,
    GLFW_KEY_SEMICOLON,
    GLFW_KEY_APOSTROPHE,
    GLFW_KEY_COMMA,
    GLFW_KEY_PERIOD,
    GLFW_KEY_GRAVE_ACCENT,
    GLFW_KEY_SLASH,
    GLFW_KEY_BACKSLASH,
    GLFW_KEY_INSERT,
    GLFW_KEY_HOME,
    GLFW_KEY_END,
    GLFW_KEY_PAGE_UP,
    GLFW_KEY_PAGE_DOWN,
    GLFW_KEY_A,
    GLFW_KEY_B,
    GLFW_KEY_C,
    GLFW_KEY_D,
    GLFW_KEY_E,
    GLFW_KEY_F,
    GLFW_KEY_G,
    GLFW_KEY_H,
    GLFW_KEY_I,
    GLFW_KEY_J,
    GLFW_KEY_K,
    GLFW_KEY_L,
    GLFW_KEY_M,
    GLFW_KEY_N,
    GLFW_KEY_O,
    GLFW_KEY_P,
    GLFW_KEY_Q,
    GLFW_KEY_R,
    GLFW_KEY_S,
    GLFW_KEY_T,
    GLFW_KEY_U,
    GLFW_KEY_V,
    GLFW_KEY_W,
    GLFW_KEY_X,
    GLFW_KEY_Y,
    GLFW_KEY_Z,
    GLFW_KEY_0,
    GLFW_KEY_1,
    GLFW_KEY_2,
    GLFW_KEY_3,
    GLFW_KEY_4,
    GLFW_KEY_5,
    GLFW_KEY_6,
    GLFW_KEY_7,
    GLFW_KEY_8,
    GLFW_KEY_9,
    GLFW_KEY_F1,
    GLFW_KEY_F2,
    GLFW_KEY_F3,
    GLFW_KEY_F4,
    GLFW_KEY_F5,
    GLFW_KEY_F6,
    GLFW_KEY_F7,
    GLFW_KEY_F8,
    GLFW_KEY_F9,
    GLFW_KEY_F10,
    GLFW_KEY_F11,
    GLFW_KEY_F12,
    GLFW_KEY_ENTER,
    GLFW_KEY_KP_ENTER,
};
static_assert(sizeof watchedKeys / sizeof watchedKeys[0] == 73, "73 watched keys");

void runFrameLoop(App* app, FrameFunction fn, void* arg) {
    app->running = 1;
    do {
        fn(arg);
    } while (app->running);
}

void stopFrameLoop(App* app) {
    app->running = 0;
}

InputEvent nextKeyEvent(KeyQueue* queue, InputType type) {
    KeyPress press;
    while (keyQueueTake(queue, &press)) {
        bool watched = std::find(std::begin(watchedKeys), std::end(watchedKeys), press.key) !=
                       std::end(watchedKeys);
        // Keys beyond the watched ones type only where the layout puts a letter on them (ß on
        // the minus key of a German keyboard).
        if (watched || lowerNonAsciiLetter(press.text))
            return {InputType::Key, press.key, press.text};
    }
    return {type, kInputNoKey, 0};
}

void startGuiFrame(App* app) {
    Ui& ui = *app->ui;
    // The windowing back end measures the window and its framebuffer and reads the mouse, in
    // window coordinates.
    ImGui_ImplGlfw_NewFrame();
    ImGuiIO& io = ImGui::GetIO();
    const ImVec2 toPixels = io.DisplayFramebufferScale;
    app->fbWidth = static_cast<int>(std::lround(io.DisplaySize.x * toPixels.x));
    app->fbHeight = static_cast<int>(std::lround(io.DisplaySize.y * toPixels.y));
    const float designWidth = static_cast<float>(ui.windowWidth),
                designHeight = static_cast<float>(ui.windowHeight);
    // A minimised window keeps the scale it had.
    if (app->fbWidth > 0 && app->fbHeight > 0)
        app->view = fitDesign(designWidth, designHeight, app->fbWidth, app->fbHeight);
    scaleFonts(app->view.factor);
    ImGui_ImplOpenGL2_NewFrame();

    io.DisplaySize = ImVec2(designWidth, designHeight);
    io.DisplayFramebufferScale = ImVec2(app->view.factor, app->view.factor);
    if (io.MousePos.x != -FLT_MAX) {
        const ViewPoint pixel{io.MousePos.x * toPixels.x, io.MousePos.y * toPixels.y};
        const ViewPoint design = framebufferToDesign(app->view, pixel);
        io.MousePos = ImVec2(design.x, design.y);
    }
    ImGui::NewFrame();
}

// How long a still screen waits for input between frames: a 60 Hz display's frame.
constexpr double kStillFrameSeconds = 1.0 / 60;

InputEvent pollInput(App* app) {
    if (app->frameShownAgain && app->keyPresses.count == 0)
        glfwWaitEventsTimeout(kStillFrameSeconds);
    else
        glfwPollEvents();
    followDesktopScale(app);
    startGuiFrame(app);

    InputType type = glfwWindowShouldClose(app->window) ? InputType::Close : InputType::None;
    return nextKeyEvent(&app->keyPresses, type);
}

static void setNextClearColour(App* app, uint32_t colour) {
    app->clearColour = colour;
    glClearColor((colour & 0xFF) / 255.0f, ((colour >> 8) & 0xFF) / 255.0f,
                 ((colour >> 16) & 0xFF) / 255.0f, ((colour >> 24) & 0xFF) / 255.0f);
}

uint32_t clearFrame(App* app, uint32_t colour) {
    // The colour set here is used by the next frame's clear. (Asking GL for its clear colour
    // would make a software driver wait for the frame before.)
    const uint32_t cleared = app->clearColour;
    glClear(GL_COLOR_BUFFER_BIT);
    setNextClearColour(app, colour);
    return cleared;
}

void placeDesign(App* app, ImDrawData* data) {
    const int fbWidth = app->fbWidth, fbHeight = app->fbHeight;
    if (fbWidth <= 0 || fbHeight <= 0) return;
    const ViewScale& view = app->view;
    const float factor = view.factor;
    data->DisplayPos = ImVec2(-view.offsetX / factor, -view.offsetY / factor);
    data->FramebufferScale = ImVec2(factor, factor);
    // The back end takes the framebuffer's size as (int)(size * factor): never a pixel short.
    ImVec2 size(fbWidth / factor, fbHeight / factor);
    while (static_cast<int>(size.x * factor) < fbWidth) size.x = std::nextafter(size.x, FLT_MAX);
    while (static_cast<int>(size.y * factor) < fbHeight) size.y = std::nextafter(size.y, FLT_MAX);
    data->DisplaySize = size;
    if (factor != 1) snapTextToPixels(data);
}

bool drawGuiFrame(App* app, uint32_t colour) {
    ImGui::Render();
    ImDrawData* data = ImGui::GetDrawData();
    placeDesign(app, data);
    app->frameShownAgain = showsLastFrame(data, app->clearColour);
    if (app->frameShownAgain) {
        setNextClearColour(app, colour);
        return false;
    }
    const uint32_t cleared = clearFrame(app, colour);
    drawGui(data, cleared);
    return true;
}

void endFrame(App* app, uint32_t colour) {
    if (drawGuiFrame(app, colour)) glfwSwapBuffers(app->window);
}
