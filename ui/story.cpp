// The story: one page per frame, its picture composition and its text, and the button that
// turns the page and, after the last one, goes to the game.
#include "store/config.h"
#include "store/language.h"
#include "ui/decor.h"
#include "ui/kit.h"
#include "ui/screen_parts.h"
#include "ui/screens.h"
#include "ui/theme.h"

void drawStoryScreen(App* app) {
    const float H = static_cast<float>(windowHeight);
    if (beginScreen(windowWidth, windowHeight)) {
        RowLayout& rows = screenLayout;
        const char* chapter = storyChapter ? storyChapter : "";
        const char* imageKey = storyString(config.store, chapter, storyPage, "image");
        const char* pageText = storyText(config.store, langStore, chapter, storyPage);
        const int leftPad = storyInt(config.store, chapter, storyPage, "leftPad");
        const int rightPad = storyInt(config.store, chapter, storyPage, "rightPad");

        drawScreenDecor(app, imageKey, windowWidth, windowHeight);
        rows.ratioRow(H - 110, storyColumnRatios(windowWidth, leftPad, rightPad));
        rows.skip();
        labelWrap(rows.next(), pageText);

        rows.dynamicRow(70, 3);
        rows.skip();
        if (button(rows.next(), text("storyNext"))) {
            if (storyPage < storyLength(config.store, chapter) - 1)
                storyPage += 1;
            else
                currentScreen = ScreenInGame;
        }
        rows.skip();
    }
    endScreen();
}
