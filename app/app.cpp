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

void loadAssets(ImageAssets* images, SoundAssets* sounds, const KeyStore* config,
                MusicPlayer* music) {
    loadImageAssets(images);
    loadSoundAssets(sounds, config, music);
}

void freeAssets(ImageAssets* images, SoundAssets* sounds) {
    freeSoundAssets(sounds);
    freeImageAssets(images);
}

bool loadConfig(App* app, Config* loaded, Game& game) {
    KeyStore* store = readConfig();
    if (!store) return false;
    std::vector<std::string> problems;
    loaded->store = store;
    loaded->settings = readSettings(store, dataPath("game.dat").c_str(), &problems);
    for (const std::string& problem : problems) logError("%s", problem.c_str());

    resetStore(store);
    resetUi();
    resetCore(game);

    ui.windowWidth = loaded->settings.width;
    ui.windowHeight = loaded->settings.height;
    ui.windowTitle = loaded->settings.title;
    adjustHeightToMonitor(app);

    loadAssets(&imageAssets, &soundAssets, store, &musicPlayer);
    return true;
}
