#include <cstdio>
#include <filesystem>
#include <system_error>

#include <imgui.h>

#include "app/app.h"
#include "audio/sounds.h"
#include "core/game.h"
#include "core/level.h"
#include "device/display_watch.h"
#include "gfx/font.h"
#include "gfx/image.h"
#include "platform/close_signals.h"
#include "platform/steam_wq.h"
#include "platform/user_folders.h"
#include "store/config.h"
#include "store/files.h"
#include "store/folders.h"
#include "store/keystore.h"
#include "ui/decor.h"
#include "ui/play.h"
#include "ui/screens.h"
#include "ui/theme.h"
#include "ui/ui.h"

// The program's exit codes.
constexpr int kExitOk = 0;
constexpr int kExitNoWindow = -5;
constexpr int kExitBadConfig = -7;
constexpr int kExitNoStorefront = -10;

// font/<file> in the data folder at size pixels.
static FontFile gameFont(const Folders& folders, const char* file, int32_t size) {
    char path[kPathBufferSize];
    joinPath(path, folders.data.c_str(), "font/", file);
    return {path, static_cast<float>(size)};
}

int main(int argc, char** argv) {
    // Every record the game plays with, owned here for the whole run.
    Config config;
    Game game;
    ImageAssets images;
    SoundAssets sounds;
    MusicPlayer music;
    Ui ui;
    ui.assets = {&config, &images, nullptr, nullptr, &sounds, &music};
    App app;
    app.game = &game;
    app.ui = &ui;
    watchCloseSignals();
    if (!chooseGameFolders(programFolder(), &config.folders)) return kExitBadConfig;
    // A fresh install may not have its save folder yet.
    std::error_code ignored;
    std::filesystem::create_directory(config.folders.save, ignored);

    if (!loadConfig(&app, &config, game)) {
        std::printf("Wrong config file, can't start the game\n");
        return kExitBadConfig;
    }
    // The fonts are baked, then the opening screen's pictures decoded, on a second core while the
    // window is made, after the images archive's reading: on one thread, since two beside the
    // window's making slow it more than they gain.
    const Settings& settings = config.settings;
    const char mode = windowModeFromArgs(settings.windowMode, argc, argv);
    FontsAhead fonts;
    bakeFontsAhead(&fonts, expectedViewFactor(&app, ui.windowWidth, ui.windowHeight, mode),
                   {gameFont(config.folders, settings.smallFont, settings.smallFontSize),
                    gameFont(config.folders, settings.font, settings.fontSize)},
                   gameGlyphRanges, &images.decoder);
    decodeAhead(&images, openingScreenImages(config));
    if (!createWindow(&app, ui.windowTitle, ui.windowWidth, ui.windowHeight, mode, &fonts))
        return kExitNoWindow;
    watchDisplayLoss(saveBeforeDisplayLoss, &game);
    applyTheme(ui, game, 0);
    ui.assets.smallFont = fonts.fonts[0];
    ui.assets.mainFont = fonts.fonts[1];
    // The main font is the GUI's font when the loop starts.
    setFont(ui.assets.mainFont ? ui.assets.mainFont : ui.assets.smallFont);
    setAchievementsFolder(config.folders.save.c_str());
    if (InitSteamWq(settings.steamId) < 0) return kExitNoStorefront;
    selectLanguageByName(ui, game, GetCurrentLanguageWq());
    // Each frame clears with the colour given the frame before; the first is given the theme's
    // background here, so that no frame shows GL's black (in the bands beside the design) and
    // every frame can leave the screen's background to the clear (drawGui).
    clearFrame(&app, ImGui::GetColorU32(ImGuiCol_WindowBg));

    runFrameLoop(&app, frameStep, &app);

    freeAssets(&images, &sounds);
    shutdownWindow(&app);
    ShutdownSteamWq();
    freeKeyStore(config.store);
    return kExitOk;
}
