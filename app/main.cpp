#include <cstdio>
#include <filesystem>
#include <system_error>

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
static ImFont* addGameFont(const char* file, int32_t size) {
    char path[kPathBufferSize];
    joinPath(path, dataFolder.c_str(), "font/", file);
    return addFont(path, static_cast<float>(size), gameGlyphRanges);
}

int main(int argc, char** argv) {
    App app;
    Game game;
    app.game = &game;
    watchCloseSignals();
    if (!chooseGameFolders(programFolder())) return kExitBadConfig;
    // A fresh install may not have its save folder yet.
    std::error_code ignored;
    std::filesystem::create_directory(saveFolder, ignored);

    if (!loadConfig(&app, &config, game)) {
        std::printf("Wrong config file, can't start the game\n");
        return kExitBadConfig;
    }
    // The opening screen's pictures are decoded on a second core while the window is made.
    decodeAhead(&imageAssets, openingScreenImages());
    char mode = windowModeFromArgs(config.settings.windowMode, argc, argv);
    if (!createWindow(&app, ui.windowTitle, ui.windowWidth, ui.windowHeight, mode))
        return kExitNoWindow;
    watchDisplayLoss(saveBeforeDisplayLoss, &game);
    applyTheme(game, 0);
    const Settings& settings = config.settings;
    smallFont = addGameFont(settings.smallFont, settings.smallFontSize);
    mainFont = addGameFont(settings.font, settings.fontSize);
    bakeFonts();
    // The main font is the GUI's font when the loop starts.
    setFont(mainFont ? mainFont : smallFont);
    setAchievementsFolder(saveFolder.c_str());
    if (InitSteamWq(settings.steamId) < 0) return kExitNoStorefront;
    selectLanguageByName(game, GetCurrentLanguageWq());

    runFrameLoop(&app, frameStep, &app);

    freeAssets(&imageAssets, &soundAssets);
    shutdownWindow(&app);
    ShutdownSteamWq();
    return kExitOk;
}
