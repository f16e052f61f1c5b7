#include "app/app.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <limits>

#include <GLFW/glfw3.h>
#include <imgui.h>
#include <backends/imgui_impl_glfw.h>
#include <backends/imgui_impl_opengl2.h>

#include "gfx/font.h"
#include "gfx/gui_draw.h"
#include "ui/screens.h"
#include "ui/ui.h"

void printGlfwError(int code, const char* text) {
    std::printf("Error %d: %s\n", code, text);
}

void logError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputc('\n', stderr);
}

bool primaryMonitorSize(App* app, int* width, int* height) {
    // Start-up asks for the monitor before the window exists.
    if (app->initMarker != kAppInitMarker && !glfwInit()) return false;
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    if (!monitor) return false;
    const GLFWvidmode* mode = glfwGetVideoMode(monitor);
    if (!mode || mode->width <= 0 || mode->height <= 0) return false;
    *width = mode->width;
    *height = mode->height;
    return true;
}

void adjustHeightToMonitor(App* app) {
    Ui& ui = *app->ui;
    int monitorWidth = 0;
    int monitorHeight = 0;
    if (!primaryMonitorSize(app, &monitorWidth, &monitorHeight)) return;
    // 64-bit product: a huge configured width must not overflow.
    ui.windowHeight = static_cast<int>(int64_t{ui.windowWidth} * monitorHeight / monitorWidth);
}

void scaledWindowSize(int width, int height, float contentScale, int workWidth, int workHeight,
                      int* windowedWidth, int* windowedHeight) {
    double scale = contentScale > 1 ? contentScale : 1;
    if (workWidth > 0 && workHeight > 0) {
        const double fits = std::min(static_cast<double>(workWidth) / width,
                                     static_cast<double>(workHeight) / height);
        scale = std::max(1.0, std::min(scale, fits));
    }
    const double largest = std::numeric_limits<int>::max();
    *windowedWidth = static_cast<int>(std::min(largest, std::round(width * scale)));
    *windowedHeight = static_cast<int>(std::min(largest, std::round(height * scale)));
}

// The desktop's scale for the primary monitor (1 on a desktop that is not scaled), and the size
// of a window of width x height at it.
static float desktopScale(int width, int height, int* windowedWidth, int* windowedHeight) {
    float scale = 1;
    int workWidth = 0, workHeight = 0;
    if (GLFWmonitor* monitor = glfwGetPrimaryMonitor()) {
        float ignored = 0;
        glfwGetMonitorContentScale(monitor, &scale, &ignored);
        int x = 0, y = 0;
        glfwGetMonitorWorkarea(monitor, &x, &y, &workWidth, &workHeight);
    }
    if (!(scale > 0)) scale = 1;
    scaledWindowSize(width, height, scale, workWidth, workHeight, windowedWidth, windowedHeight);
    return scale;
}

void followDesktopScale(App* app) {
    Ui& ui = *app->ui;
    if (!app->window || glfwGetWindowMonitor(app->window)) return;
    float scale = 1, ignored = 0;
    glfwGetWindowContentScale(app->window, &scale, &ignored);
    if (!(scale > 0) || scale == app->contentScale) return;
    // The windowing library does not say which monitor a window is on: the primary monitor's work
    // area bounds it.
    int workWidth = 0, workHeight = 0, x = 0, y = 0;
    if (GLFWmonitor* monitor = glfwGetPrimaryMonitor())
        glfwGetMonitorWorkarea(monitor, &x, &y, &workWidth, &workHeight);
    int width = 0, height = 0;
    scaledWindowSize(ui.windowWidth, ui.windowHeight, scale, workWidth, workHeight, &width,
                     &height);
    app->contentScale = scale;
    glfwSetWindowSizeLimits(app->window, width, height, width, height);
    glfwSetWindowSize(app->window, width, height);
}

float expectedViewFactor(App* app, int width, int height, char mode) {
    int fbWidth = width, fbHeight = height;
    if (mode == 'f') {
        int modeCount = 0;
        const GLFWvidmode* modes = nullptr;
        if (GLFWmonitor* monitor = glfwGetPrimaryMonitor())
            modes = glfwGetVideoModes(monitor, &modeCount);
        const bool modeFits = std::any_of(modes, modes + modeCount, [&](const GLFWvidmode& m) {
            return m.width == width && m.height == height;
        });
        if (!modeFits && !primaryMonitorSize(app, &fbWidth, &fbHeight)) return 1;
    } else {
        desktopScale(width, height, &fbWidth, &fbHeight);
    }
    return fitDesign(static_cast<float>(width), static_cast<float>(height), fbWidth, fbHeight)
        .factor;
}

ImGuiContext* createWindow(App* app, const char* title, int width, int height, char mode,
                           FontsAhead* fonts) {
    Ui& ui = *app->ui;
    glfwSetErrorCallback(printGlfwError);
    if (!glfwInit()) {
        logError("[GFLW] failed to init!");
        return nullptr;
    }
    if (width <= 0 || height <= 0) {
        // The windowing library asserts on a negative size; it is a window that cannot be made.
        app->window = nullptr;
    } else if (mode == 'f') {
        app->window = glfwCreateWindow(width, height, title, glfwGetPrimaryMonitor(), nullptr);
    } else {
        int scaledWidth = width, scaledHeight = height;
        app->contentScale = desktopScale(width, height, &scaledWidth, &scaledHeight);
        app->window = glfwCreateWindow(scaledWidth, scaledHeight, title, nullptr, nullptr);
        if (app->window)
            glfwSetWindowSizeLimits(app->window, scaledWidth, scaledHeight, scaledWidth,
                                    scaledHeight);
    }
    if (!app->window) {
        logError("[GLFW] Window was not created!");
        return nullptr;
    }
    glfwMakeContextCurrent(app->window);
    // A frame is drawn only when it changes; the window system asks again for pixels it lost.
    glfwSetWindowRefreshCallback(app->window, [](GLFWwindow*) { redrawNextFrame(); });
    // Before the GUI's back end, which passes every key and character on to the game's queue.
    queueKeyPresses(app->window, &app->keyPresses);

    // The bake ahead uses the GUI's allocator, which counts into the current context.
    if (fonts) fonts->baked.wait();
    app->gui = ImGui::CreateContext(fonts ? &fonts->atlas : nullptr);
    ImGui::GetIO().IniFilename = nullptr;  // no imgui.ini beside the game
    ImGui_ImplGlfw_InitForOpenGL(app->window, true);
    ImGui_ImplOpenGL2_Init();
    if (fonts) {
        bakeFonts();
    } else {
        // The built-in font serves until the game fonts are loaded.
        ImGui::GetIO().Fonts->AddFontDefault();
        ImGui_ImplOpenGL2_CreateFontsTexture();
    }
    // Fonts loaded later are baked once, at the scale of the first frame; those baked ahead at
    // the expected scale are baked again only when the window came out otherwise.
    int fbWidth = 0, fbHeight = 0;
    glfwGetFramebufferSize(app->window, &fbWidth, &fbHeight);
    app->view = fitDesign(static_cast<float>(ui.windowWidth), static_cast<float>(ui.windowHeight),
                          fbWidth, fbHeight);
    scaleFonts(app->view.factor);

    glEnable(GL_TEXTURE_2D);
    glfwSwapInterval(1);
    app->initMarker = kAppInitMarker;
    return app->gui;
}

void shutdownWindow(App* app) {
    forgetKeptPixels();
    ImGui_ImplOpenGL2_Shutdown();
    ImGui_ImplGlfw_Shutdown();
    ImGui::DestroyContext(app->gui);
    forgetFontScale();
    app->gui = nullptr;
    glfwTerminate();
    app->window = nullptr;
}
