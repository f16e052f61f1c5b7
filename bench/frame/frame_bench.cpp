// Frame cost of the busiest screen: the in-game screen with 200 found words and a row of 30
// letters, beside the main menu of the same run. A frame is timed from the GUI's new frame to
// the GL submission of its draw lists (the swap is left out), on the main thread's CPU clock and
// on the wall clock, and on the wall clock until its pixels are drawn (glFinish: a software
// driver rasterises there, on its own threads); the median of 500 frames is printed for each
// screen, and their ratio. The
// in-game screen is measured twice: as it is drawn while the player types or waits (the found
// list drawn from its kept pixels) and as it is drawn while the list changes every frame.
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
    double buildCpuMs;  // the GUI's own work, before the GL driver sees the draw lists
    int vertices;
    int drawCalls;
    double drawnMs;  // wall clock until the driver has drawn the frame's pixels
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

Timing frame(bool listChanges) {
    double cpu0 = seconds(CLOCK_THREAD_CPUTIME_ID), wall0 = seconds(CLOCK_MONOTONIC);
    glfwPollEvents();
    startGuiFrame(&app);
    drawScreens(ui, game);
    const uint32_t cleared = clearFrame(&app, ImGui::GetColorU32(ImGuiCol_WindowBg));
    ImGui::Render();
    placeDesign(&app, ImGui::GetDrawData());
    double built = seconds(CLOCK_THREAD_CPUTIME_ID);
    if (listChanges) forgetKeptPixels();
    drawGui(ImGui::GetDrawData(), cleared);
    glFlush();
    Timing t{(seconds(CLOCK_THREAD_CPUTIME_ID) - cpu0) * 1e3,
             (seconds(CLOCK_MONOTONIC) - wall0) * 1e3,
             (built - cpu0) * 1e3,
             ImGui::GetDrawData()->TotalVtxCount,
             drawCalls(ImGui::GetDrawData()),
             0};
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
                     [](Timing a, Timing b) { return a.buildCpuMs < b.buildCpuMs; });
    result.buildCpuMs = middle->buildCpuMs;
    std::nth_element(frames.begin(), middle, frames.end(),
                     [](Timing a, Timing b) { return a.drawnMs < b.drawnMs; });
    result.drawnMs = middle->drawnMs;
    return result;
}

Timing measure(Screen screen, const char* name, const char* dumpPrefix, bool listChanges = false) {
    const int warmUp = 20, frames = 500;
    std::vector<Timing> times;
    for (int i = 0; i < warmUp + frames; ++i) {
        ui.currentScreen = screen;
        Timing t = frame(listChanges);
        if (i >= warmUp) times.push_back(t);
        if (dumpPrefix && i == warmUp + frames - 1) dump(std::string(dumpPrefix) + name + ".ppm");
        glfwSwapBuffers(app.window);
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

    Timing menu = measure(Screen::MainMenu, "main_menu", dumpPrefix);
    std::vector<std::string> words;
    installBusyLevel(words);
    game.progress.levelIndex = 0;
    game.progress.levelsOpen = 1;
    Timing game = measure(Screen::InGame, "in_game", dumpPrefix);
    Timing changing = measure(Screen::InGame, "in_game_redrawn", dumpPrefix, true);

    std::printf("%d x %d\n", width, height);
    std::printf(
        "frame (GUI build + GL submission, median of 500)   CPU ms   wall ms  GUI build CPU ms  "
        "vertices  draw calls  drawn wall ms\n");
    const auto row = [](const char* name, const Timing& t) {
        std::printf("%-50s%7.3f  %7.3f  %16.3f  %8d  %10d  %13.3f\n", name, t.cpuMs, t.wallMs,
                    t.buildCpuMs, t.vertices, t.drawCalls, t.drawnMs);
    };
    row("main menu", menu);
    row("in-game, 200 found words, 30 letters", game);
    std::printf("%-50s%7.2f  %7.2f  %16.2f  %8s  %10s  %13.2f\n", "ratio in-game / main menu",
                game.cpuMs / menu.cpuMs, game.wallMs / menu.wallMs,
                game.buildCpuMs / menu.buildCpuMs, "", "", game.drawnMs / menu.drawnMs);
    row("in-game, found list redrawn every frame", changing);
    std::printf("goal: in-game CPU under 1 ms and at most 2x the main menu\n");
    shutdownWindow(&app);
    return 0;
}
