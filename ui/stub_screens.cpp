// Temporary bodies until the screens are drawn.
#include "ui/screens.h"
#include "ui/kit.h"
#include "app/app.h"
void drawInGameScreen(App*) { beginScreen(windowWidth, windowHeight); endScreen(); }
int drawMainMenuScreen(App*) { beginScreen(windowWidth, windowHeight); endScreen(); return 0; }
void drawOptionsScreen(App*) { beginScreen(windowWidth, windowHeight); endScreen(); }
void drawLanguageScreen(App*) { beginScreen(windowWidth, windowHeight); endScreen(); }
void drawAboutScreen(App*) { beginScreen(windowWidth, windowHeight); endScreen(); }
void drawWordInfoScreen(App*) { beginScreen(windowWidth, windowHeight); endScreen(); }
int drawStatisticsScreen(App*) { beginScreen(windowWidth, windowHeight); endScreen(); return 1; }
void drawStoryScreen(App*) { beginScreen(windowWidth, windowHeight); endScreen(); }
