// The story: one page per frame, its picture composition and its text, and the button that
// turns the page and, after the last one, goes to the game.
#include "core/game.h"
#include "store/config.h"
#include "store/language.h"
#include "ui/decor.h"
#include "ui/kit.h"
#include "ui/screen_parts.h"
#include "ui/screens.h"
#include "ui/theme.h"
#include "ui/ui.h"

void drawStoryScreen(Ui& ui, const Game& game) {
    const float H = static_cast<float>(ui.windowHeight);
    if (beginScreen(ui, ui.windowWidth, ui.windowHeight)) {
        RowLayout& rows = ui.screenLayout;
        const char* chapter = ui.storyChapter ? ui.storyChapter : "";
        const char* imageKey = storyString(ui.assets.config->store, chapter, ui.storyPage, "image");
        const char* pageText =
            storyText(ui.assets.config->store, game.langStore.get(), chapter, ui.storyPage);
        const int leftPad = storyInt(ui.assets.config->store, chapter, ui.storyPage, "leftPad");
        const int rightPad = storyInt(ui.assets.config->store, chapter, ui.storyPage, "rightPad");

        drawScreenDecor(ui, imageKey, ui.windowWidth, ui.windowHeight);
        rows.ratioRow(H - 110, storyColumnRatios(ui.windowWidth, leftPad, rightPad));
        rows.skip();
        labelWrap(rows.next(), pageText);

        rows.dynamicRow(70, 3);
        rows.skip();
        if (button(ui, rows.next(), text(game, "storyNext"))) {
            if (ui.storyPage < storyLength(ui.assets.config->store, chapter) - 1)
                ui.storyPage += 1;
            else
                ui.currentScreen = Screen::InGame;
        }
        rows.skip();
    }
    endScreen();
}
