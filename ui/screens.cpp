#include "ui/screens.h"

int currentScreen = ScreenLanguage;
const char* hintText = nullptr;
const char* storyChapter = nullptr;
int storyPage = 0;

int drawScreens(App* app) {
    if (currentScreen == ScreenWordInfo) drawWordInfoScreen(app);
    if (currentScreen == ScreenAbout) drawAboutScreen(app);
    if (currentScreen == ScreenInGame) drawInGameScreen(app);
    if (currentScreen == ScreenLanguage) drawLanguageScreen(app);
    if (currentScreen == ScreenOptions) drawOptionsScreen(app);
    if (currentScreen == ScreenStory) drawStoryScreen(app);
    int quit = 0;
    if (currentScreen == ScreenMainMenu) quit = drawMainMenuScreen(app);
    if (currentScreen == ScreenStatistics) drawStatisticsScreen(app);
    return quit;
}

void handleEscapeKey() {
    switch (currentScreen) {
    case ScreenLanguage:
        break;
    case ScreenStatistics:
    case ScreenWordInfo:
        currentScreen = ScreenInGame;
        break;
    default:
        currentScreen = ScreenMainMenu;
        break;
    }
}
