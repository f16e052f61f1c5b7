// Frame cost of the busiest screen: the in-game screen with 200 found words and a row of 30
// letters, beside the main menu of the same run. A frame is timed from the GUI's new frame to
// the GL submission of its draw lists (the swap is left out), on the main thread's CPU clock and
// on the wall clock, and on the wall clock until its pixels are drawn (glFinish: a software
// driver rasterises there, on its own threads); the median of 500 frames is printed for each
// screen, and their ratio. Each screen is measured still, as the game draws it while the player
// waits (the frame on screen is not drawn again), and drawn every frame, as when the player
// types (the backdrop and the found list pasted from their kept pixels); the in-game screen also
// with its found list changing every frame (nothing pasted).
//
// usage: bench_frame [RUN_DIR] [--dump-prefix PATH] [--window WxH]   (needs an X display, e.g.
// Xvfb) With --dump-prefix, the last frame of each screen is also written as PATH<screen>.ppm.
// --window draws the 1280 x 720 design into a window of that size (3840x2160: three times).
#include <GL/gl.h>
#include <GLFW/glfw3.h>
#include <imgui.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "app/app.h"
#include "audio/sounds.h"
#include "core/game.h"
#include "core/level.h"
#include "core/tray.h"
#include "core/words.h"
#include "gfx/font.h"
#include "gfx/gui_draw.h"
#include "gfx/image.h"
#include "store/config.h"
#include "store/files.h"
#include "store/keystore.h"
#include "store/language.h"
#include "ui/play.h"
#include "ui/screens.h"
#include "ui/theme.h"
#include "ui/ui.h"

namespace {

// The bench plays the real frame: a window and a game of its own, with main's records.
App app;
Config config;
ImageAssets images;
SoundAssets sounds;
MusicPlayer music;
Ui ui;
Game game;

struct Timing {
    double cpuMs;
    double wallMs;
    int vertices;
    int drawCalls;
    double drawnMs;  // wall clock until the driver has drawn the frame's pixels
    bool drawn;      // false: the frame was the one on screen, not drawn again
};

double seconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

int drawCalls(const ImDrawData* data) {
    int calls = 0;
    for (int i = 0; i < data->CmdListsCount; ++i) calls += data->CmdLists[i]->CmdBuffer.Size;
    return calls;
}

// How much of a frame is drawn again.
enum class Redraw {
    WhenChanged,  // as the game draws: a frame that is the one on screen is not drawn again
    Frame,        // every frame, as when a letter is typed; the kept pixels pasted
    Everything,   // every frame, nothing pasted: as when the found list changes
};

Timing frame(Redraw redraw) {
    double cpu0 = seconds(CLOCK_THREAD_CPUTIME_ID), wall0 = seconds(CLOCK_MONOTONIC);
    glfwPollEvents();
    startGuiFrame(&app);
    drawScreens(ui, game);
    if (redraw == Redraw::Frame) redrawNextFrame();
    if (redraw == Redraw::Everything) forgetKeptPixels();
    const bool drawn = drawGuiFrame(&app, ImGui::GetColorU32(ImGuiCol_WindowBg));
    glFlush();
    Timing t{(seconds(CLOCK_THREAD_CPUTIME_ID) - cpu0) * 1e3,
             (seconds(CLOCK_MONOTONIC) - wall0) * 1e3,
             ImGui::GetDrawData()->TotalVtxCount,
             drawn ? drawCalls(ImGui::GetDrawData()) : 0,
             0,
             drawn};
    glFinish();
    t.drawnMs = (seconds(CLOCK_MONOTONIC) - wall0) * 1e3;
    return t;
}

void dump(const std::string& path) {
    int width = 0, height = 0;
    glfwGetFramebufferSize(app.window, &width, &height);
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fprintf(f, "P6\n%d %d\n255\n", width, height);
    for (int y = height - 1; y >= 0; --y)
        std::fwrite(&pixels[static_cast<size_t>(y) * width * 3], 1, static_cast<size_t>(width) * 3,
                    f);
    std::fclose(f);
}

Timing median(std::vector<Timing> frames) {
    auto middle = frames.begin() + frames.size() / 2;
    std::nth_element(frames.begin(), middle, frames.end(),
                     [](Timing a, Timing b) { return a.cpuMs < b.cpuMs; });
    Timing result = *middle;
    std::nth_element(frames.begin(), middle, frames.end(),
                     [](Timing a, Timing b) { return a.wallMs < b.wallMs; });
    result.wallMs = middle->wallMs;
    std::nth_element(frames.begin(), middle, frames.end(),
                     [](Timing a, Timing b) { return a.drawnMs < b.drawnMs; });
    result.drawnMs = middle->drawnMs;
    std::nth_element(frames.begin(), middle, frames.end(),
                     [](Timing a, Timing b) { return a.drawn < b.drawn; });
    result.drawn = middle->drawn;
    return result;
}

Timing measure(Screen screen, const char* name, const char* dumpPrefix, Redraw redraw) {
    const int warmUp = 20, frames = 500;
    std::vector<Timing> times;
    for (int i = 0; i < warmUp + frames; ++i) {
        ui.currentScreen = screen;
        Timing t = frame(redraw);
        if (i >= warmUp) times.push_back(t);
        if (dumpPrefix && i == warmUp + frames - 1) dump(std::string(dumpPrefix) + name + ".ppm");
        if (t.drawn) glfwSwapBuffers(app.window);
    }
    return median(times);
}

// A level of 30 letters with 200 words, all of them found.
void installBusyLevel(std::vector<std::string>& words) {
    const char* row = "abcdefghijklmnopqrstuvwxyzabcd";
    setLevelLetters(&game.letterTray, row);
    game.levelWords = StringSet{};
    clearFoundList(&game.foundList);
    for (int i = 0; i < 200; ++i) {
        std::string word;
        for (int n = i; word.size() < 3 || n > 0; n /= 26) word += static_cast<char>('a' + n % 26);
        words.push_back(word + std::to_string(i % 10));
    }
    HashOutcome outcome = HashOutcome::Present;
    for (const std::string& w : words) {
        hashPut(game.levelWords, w.c_str(), &outcome);
        appendToFoundList(&game.foundList, w.c_str());
    }
    game.foundListScroll = 99999;
    game.levelFoundCount = 200;
    game.levelStartTime = static_cast<int32_t>(std::time(nullptr));
}

}  // namespace

int main(int argc, char** argv) {
    const char* runDir = WG_RUN_DIR;
    app.game = &game;
    app.ui = &ui;
    ui.assets = {&config, &images, nullptr, nullptr, &sounds, &music};
    const char* dumpPrefix = nullptr;
    int width = 1280, height = 720;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--dump-prefix") == 0 && i + 1 < argc)
            dumpPrefix = argv[++i];
        else if (std::strcmp(argv[i], "--window") == 0 && i + 1 < argc)
            std::sscanf(argv[++i], "%dx%d", &width, &height);
        else
            runDir = argv[i];
    }
    if (chdir(runDir) != 0) {
        std::fprintf(stderr, "no run directory %s\n", runDir);
        return 1;
    }
    initLetterTray(&game.letterTray);
    if (!loadConfig(&app, &config, game)) {
        std::fprintf(stderr, "no data/game.dat in %s\n", runDir);
        return 1;
    }
    ui.windowWidth = 1280;
    ui.windowHeight = 720;
    if (!createWindow(&app, "frame bench", width, height, 'x')) return 1;
    glfwSwapInterval(0);  // as fast as the frames go; the swap is not timed anyway
    applyTheme(ui, game, 0);
    char path[kPathBufferSize];
    const Settings& settings = config.settings;
    joinPath(path, "data/font/", settings.smallFont);
    ui.assets.smallFont =
        loadFont(path, static_cast<float>(settings.smallFontSize), gameGlyphRanges);
    joinPath(path, "data/font/", settings.font);
    ui.assets.mainFont = loadFont(path, static_cast<float>(settings.fontSize), gameGlyphRanges);
    if (!selectLanguage(ui, game, 0)) {
        std::fprintf(stderr, "no language data in %s/data\n", runDir);
        return 1;
    }
    game.progress.storyStage = StoryStage::None;

    Timing menuStill = measure(Screen::MainMenu, "main_menu_still", nullptr, Redraw::WhenChanged);
    Timing menu = measure(Screen::MainMenu, "main_menu", dumpPrefix, Redraw::Frame);
    std::vector<std::string> words;
    installBusyLevel(words);
    game.progress.levelIndex = 0;
    game.progress.levelsOpen = 1;
    Timing gameStill = measure(Screen::InGame, "in_game_still", nullptr, Redraw::WhenChanged);
    Timing game = measure(Screen::InGame, "in_game", dumpPrefix, Redraw::Frame);
    Timing changing = measure(Screen::InGame, "in_game_redrawn", dumpPrefix, Redraw::Everything);

    std::printf("%d x %d\n", width, height);
    std::printf(
        "frame (GUI build to GL submission, median of 500)           CPU ms   wall ms  vertices  "
        "draw calls  drawn wall ms\n");
    const auto row = [](const char* name, const Timing& t) {
        std::printf("%-60s%7.3f  %7.3f  %8d  %10d  %13.3f\n", name, t.cpuMs, t.wallMs, t.vertices,
                    t.drawCalls, t.drawnMs);
    };
    const auto ratio = [](const char* name, const Timing& a, const Timing& b) {
        std::printf("%-60s%7.2f  %7.2f  %8s  %10s  %13.2f\n", name, a.cpuMs / b.cpuMs,
                    a.wallMs / b.wallMs, "", "", a.drawnMs / b.drawnMs);
    };
    row("main menu, still (the frame on screen is not drawn again)", menuStill);
    row("main menu, drawn every frame", menu);
    row("in-game, 200 found words, 30 letters, still", gameStill);
    row("in-game, drawn every frame (as when a letter is typed)", game);
    ratio("ratio in-game / main menu, drawn every frame", game, menu);
    row("in-game, found list redrawn every frame", changing);
    if (menuStill.drawn || gameStill.drawn)
        std::printf("a still screen was drawn again: its frames differ from each other\n");
    std::printf("goal: in-game CPU under 1 ms and at most 2x the main menu\n");
    shutdownWindow(&app);
    return 0;
}
