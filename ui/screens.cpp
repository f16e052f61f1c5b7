#include "ui/screens.h"

#include "audio/sounds.h"
#include "core/game.h"
#include "core/level.h"
#include "gfx/image.h"
#include "store/config.h"
#include "store/keystore.h"
#include "store/language.h"
#include "ui/kit.h"
#include "ui/screen_parts.h"
#include "ui/theme.h"
#include "ui/ui.h"

void resetUi(Ui& ui) {
    Ui fresh;
    fresh.assets = ui.assets;
    ui = std::move(fresh);
}

// The fixed order lets a screen that switches to a later one in this order hand over within the
// same frame (the game to the main menu or statistics, the word description to the game, the
// language choice to the main menu).
bool drawScreens(Ui& ui, Game& game) {
    beginScreensFrame(ui);
    if (ui.currentScreen == Screen::WordInfo) drawWordInfoScreen(ui, game);
    if (ui.currentScreen == Screen::About) drawAboutScreen(ui, game);
    if (ui.currentScreen == Screen::InGame) drawInGameScreen(ui, game);
    if (ui.currentScreen == Screen::Language) drawLanguageScreen(ui, game);
    if (ui.currentScreen == Screen::Options) drawOptionsScreen(ui, game);
    if (ui.currentScreen == Screen::Story) drawStoryScreen(ui, game);
    bool quit = false;
    if (ui.currentScreen == Screen::MainMenu) quit = drawMainMenuScreen(ui, game);
    if (ui.currentScreen == Screen::Statistics) drawStatisticsScreen(ui, game);
    finishScreensFrame(ui);
    return quit;
}

void handleEscapeKey(Ui& ui) {
    if (isTypingInField(ui)) return;  // the field drops what was typed
    switch (ui.currentScreen) {
    case Screen::Language: break;  // a language must be chosen first
    case Screen::Statistics:
    case Screen::WordInfo: ui.currentScreen = Screen::InGame; break;
    default: ui.currentScreen = Screen::MainMenu; break;
    }
}

const char* text(const Game& game, const char* key) {
    return localizedText(game.langStore.get(), key);
}

GuiImage icon(Ui& ui, const char* key) {
    return getImage(ui.assets.images, getSectionString(ui.assets.config->store, "icons", key));
}

GuiImage languageImage(Ui& ui, int i) {
    return getImage(ui.assets.images, getLangString(ui.assets.config->store, i, "pic"));
}

const char* themedDecoration(Ui& ui, const char* light, const char* dark) {
    return isDarkTheme(ui.theme) ? dark : light;
}

bool keysTypeWords(Ui& ui) {
    return ui.currentScreen == Screen::InGame && !isTypingInField(ui);
}

bool backButtonRow(Ui& ui, const Game& game, RowLayout& rows) {
    rows.dynamicRow(70, 3);
    rows.skip();
    bool pressed = button(ui, rows.next(), text(game, "backButton"));
    rows.skip();
    if (pressed) playSound(ui.assets.sounds, SoundSlot::WindowClose);
    return pressed;
}

int languageListGap(int screenHeight, int languages) {
    int gap = (screenHeight - 80 * languages) / 2;
    return gap > 0 ? gap : 0;
}

std::vector<float> storyColumnRatios(int screenWidth, int leftPad, int rightPad) {
    int textWidth = screenWidth - 10 - leftPad - rightPad;
    return {static_cast<float>(leftPad) / screenWidth, static_cast<float>(textWidth) / screenWidth};
}
