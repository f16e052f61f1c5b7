#include <cstdio>
#include <filesystem>
#include <system_error>

#include "app/app.h"
#include "audio/sounds.h"
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

enum ExitCode {
    EXIT_OK = 0,
    EXIT_NO_WINDOW = -5,
    EXIT_BAD_CONFIG = -7,
    EXIT_NO_STOREFRONT = -10,
};

// font/<file named by fileKey> in the data folder at the pixel height under sizeKey.
static ImFont* addGameFont(const char* fileKey, const char* sizeKey) {
    const char* file = getString(config, fileKey);
    char path[kPathBufferSize];
    joinPath(path, dataFolder.c_str(), "font/", file ? file : "");
    return addFont(path, static_cast<float>(getInt(config, sizeKey)), gameGlyphRanges);
}

int main(int argc, char** argv) {
    watchCloseSignals();
    if (!chooseGameFolders(programFolder())) return EXIT_BAD_CONFIG;
    // A fresh install may not have its save folder yet.
    std::error_code ignored;
    std::filesystem::create_directory(saveFolder, ignored);

    config = loadConfig(&app);
    if (!config) {
        std::printf("Wrong config file, can't start the game\n");
        return EXIT_BAD_CONFIG;
    }
    // The opening screen's pictures are decoded on a second core while the window is made.
    decodeAhead(&imageAssets, openingScreenImages());
    char mode = windowModeFromArgs(getString(config, "windowMode"), argc, argv);
    if (!createWindow(&app, windowTitle, windowWidth, windowHeight, mode)) return EXIT_NO_WINDOW;
    watchDisplayLoss(saveBeforeDisplayLoss);
    applyTheme(&app, 0);
    smallFont = addGameFont("smallFont", "smallFontSize");
    mainFont = addGameFont("font", "fontSize");
    bakeFonts();
    // The main font is the GUI's font when the loop starts.
    setFont(mainFont ? mainFont : smallFont);
    hintCheatCount = getInt(config, "hintCheatCount");
    setAchievementsFolder(saveFolder.c_str());
    if (InitSteamWq(getInt(config, "SteamID")) < 0) return EXIT_NO_STOREFRONT;
    selectLanguageByName(&app, GetCurrentLanguageWq());

    runFrameLoop(&app, frameStep, &app);

    freeAssets(&imageAssets, &soundAssets);
    shutdownWindow(&app);
    ShutdownSteamWq();
    return EXIT_OK;
}
