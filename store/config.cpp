#include "store/config.h"

#include <ctime>

#include "app/app.h"
#include "audio/sounds.h"
#include "core/words.h"
#include "store/folders.h"
#include "store/keystore.h"
#include "store/language.h"
#include "ui/screens.h"
#include "ui/theme.h"

KeyStore* config = nullptr;

KeyStore* loadConfig(App* app) {
    KeyStore* store = loadKeyStore(dataPath("game.dat").c_str());
    if (!store) return nullptr;
    // A lone word parses, but it is no configuration: refusing it here gives the player the
    // configuration message instead of a window that cannot be made 0 pixels wide.
    if (store->root->type != NODE_OBJECT) {
        freeKeyStore(store);
        return nullptr;
    }

    iconButtonStyle.rounding = 10;
    iconButtonStyle.padding = ImVec2(-12, -10);

    windowWidth = getInt(store, "width");
    windowHeight = getInt(store, "height");
    // No title is the empty title: the windowing library refuses a null one.
    windowTitle = getString(store, "title");
    if (!windowTitle) windowTitle = "";
    adjustHeightToMonitor(app);

    currentLanguage = 0;
    currentScreen = ScreenLanguage;
    languageCount = countLanguages(store);
    repeatTimes = StringIntMap{};
    langStore = nullptr;
    lastAutosaveTime = static_cast<int32_t>(std::time(nullptr));

    loadAssets(&assets, store, &musicPlayer);
    return store;
}
