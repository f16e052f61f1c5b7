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

Screen currentScreen = ScreenLanguage;
int windowWidth = 0;
int windowHeight = 0;
const char* windowTitle = nullptr;
const char* hintText = nullptr;
const char* storyChapter = nullptr;
int storyPage = 0;

void resetUi() {
    currentScreen = ScreenLanguage;
    hintText = nullptr;
    storyChapter = nullptr;
    storyPage = 0;
}

// The fixed order lets a screen that switches to a later one in this order hand over within the
// same frame (the game to the main menu or statistics, the word description to the game, the
// language choice to the main menu).
int drawScreens(App* app) {
    beginScreensFrame();
    if (currentScreen == ScreenWordInfo) drawWordInfoScreen(app);
    if (currentScreen == ScreenAbout) drawAboutScreen(app);
    if (currentScreen == ScreenInGame) drawInGameScreen(app);
    if (currentScreen == ScreenLanguage) drawLanguageScreen(app);
    if (currentScreen == ScreenOptions) drawOptionsScreen(app);
    if (currentScreen == ScreenStory) drawStoryScreen(app);
    int quit = 0;
    if (currentScreen == ScreenMainMenu) quit = drawMainMenuScreen(app);
    if (currentScreen == ScreenStatistics) drawStatisticsScreen(app);
    finishScreensFrame();
    return quit;
}

void handleEscapeKey() {
    if (isTypingInField()) return;  // the field drops what was typed
    switch (currentScreen) {
    case ScreenLanguage: break;  // a language must be chosen first
    case ScreenStatistics:
    case ScreenWordInfo: currentScreen = ScreenInGame; break;
    default: currentScreen = ScreenMainMenu; break;
    }
}

const char* text(const char* key) {
    return localizedText(key);
}

GuiImage icon(const char* key) {
    return getImage(&imageAssets, getSectionString(config.store, "icons", key));
}

GuiImage languageImage(int i) {
    return getImage(&imageAssets, getLangString(config.store, i, "pic"));
}

const char* themedDecoration(const char* light, const char* dark) {
    return isDarkTheme(game.progress.theme) ? dark : light;
}

bool keysTypeWords() {
    return currentScreen == ScreenInGame && !isTypingInField();
}

bool backButtonRow(RowLayout& rows) {
    rows.dynamicRow(70, 3);
    rows.skip();
    bool pressed = button(rows.next(), text("backButton"));
    rows.skip();
    if (pressed) playSound(SOUND_WINDOW_CLOSE);
    return pressed;
}

int languageListGap(int windowHeight, int languages) {
    int gap = (windowHeight - 80 * languages) / 2;
    return gap > 0 ? gap : 0;
}

std::vector<float> storyColumnRatios(int windowWidth, int leftPad, int rightPad) {
    int textWidth = windowWidth - 10 - leftPad - rightPad;
    return {static_cast<float>(leftPad) / windowWidth, static_cast<float>(textWidth) / windowWidth};
}
