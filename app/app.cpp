#include "app/app.h"

#include <cctype>

#include "audio/sounds.h"
#include "core/game.h"
#include "core/level.h"
#include "gfx/image.h"
#include "store/config.h"
#include "store/folders.h"
#include "store/keystore.h"
#include "store/language.h"
#include "ui/screens.h"
#include "ui/theme.h"
#include "ui/ui.h"

static char modeFromLetter(char letter) {
    return std::tolower(static_cast<unsigned char>(letter)) == 'f' ? 'f' : 'x';
}

char windowModeFromArgs(const char* configured, int argc, const char* const* argv) {
    char mode = configured ? modeFromLetter(configured[0]) : 'x';
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (arg[0] == '-' || arg[0] == '/') mode = modeFromLetter(arg[1]);
    }
    return mode;
}

void loadAssets(const Config& config, ImageAssets* images, SoundAssets* sounds,
                MusicPlayer* music) {
    images->dataFolder = sounds->dataFolder = music->dataFolder = config.folders.data;
    loadImageAssets(images);
}

void freeAssets(ImageAssets* images, SoundAssets* sounds) {
    freeSoundAssets(sounds);
    freeImageAssets(images);
}

bool loadConfig(App* app, Config* loaded, Game& game) {
    Ui& ui = *app->ui;
    KeyStore* store = readConfig(loaded->folders);
    if (!store) return false;
    std::vector<std::string> problems;
    loaded->store = store;
    loaded->settings =
        readSettings(store, dataPath(loaded->folders, "game.dat").c_str(), &problems);
    for (const std::string& problem : problems) logError("%s", problem.c_str());

    resetUi(ui);
    resetCore(game, *loaded);

    ui.windowWidth = loaded->settings.width;
    ui.windowHeight = loaded->settings.height;
    ui.windowTitle = loaded->settings.title;
    adjustHeightToMonitor(app);

    const UiAssets& assets = ui.assets;
    loadAssets(*loaded, assets.images, assets.sounds, assets.music);
    return true;
}
