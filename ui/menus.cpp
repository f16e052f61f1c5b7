// The screens around the game: main menu, options, language choice, about, word description.
#include <string>

#include "audio/sounds.h"
#include "core/game.h"
#include "core/level.h"
#include "core/save.h"
#include "core/tray.h"
#include "core/words.h"
#include "gfx/font.h"
#include "store/config.h"
#include "store/keystore.h"
#include "store/language.h"
#include "ui/decor.h"
#include "ui/kit.h"
#include "ui/play.h"
#include "ui/screen_parts.h"
#include "ui/screens.h"
#include "ui/theme.h"
#include "ui/ui.h"

bool drawMainMenuScreen(Ui& ui, Game& game) {
    const float H = static_cast<float>(ui.windowHeight);
    bool quit = false;
    if (beginScreen(ui, ui.windowWidth, ui.windowHeight)) {
        RowLayout& rows = ui.screenLayout;
        drawScreenDecor(ui, themedDecoration(ui, "mainMenu", "mainMenuDark"), ui.windowWidth,
                        ui.windowHeight);
        rows.staticRow(H - 340, 30, 1);
        rows.staticRow(70, 330, 1);
        if (game.progress.storyStage != StoryStage::None) {
            if (button(ui, rows.next(), text(game, "Continue"))) ui.currentScreen = Screen::InGame;
        } else if (button(ui, rows.next(), text(game, "NewGame"))) {
            startChapter(ui, game, "study", StoryStage::Study);
        }
        if (button(ui, rows.next(), text(game, "Options"))) ui.currentScreen = Screen::Options;
        if (button(ui, rows.next(), text(game, "About"))) ui.currentScreen = Screen::About;
        if (button(ui, rows.next(), text(game, "Exit"))) {
            saveProgress(game);
            quit = true;
        }
    }
    endScreen();
    return quit;
}

namespace {

void drawThemeChoice(Ui& ui, Game& game, RowLayout& rows) {
    rows.skip();
    label(rows.next(), text(game, "prefTheme"), TextAlign::Right);
    ImRect combo = rows.next();
    int shown =
        game.progress.theme >= 0 && game.progress.theme < kThemeCount ? game.progress.theme : 1;
    if (beginColorCombo(ui, "theme", combo, themeSwatches[shown], ImVec2(combo.GetWidth(), 330))) {
        RowLayout& swatches = popupLayout(ui);
        swatches.dynamicRow(50, 1);
        for (int i = 0; i < kThemeCount; ++i) {
            ImGui::PushID(i);
            if (colorButton(ui, "swatch", swatches.next(), themeSwatches[i])) {
                closeColorCombo();
                applyTheme(ui, game, i);
            }
            ImGui::PopID();
        }
        endColorCombo();
    }
    rows.skip();
}

void drawVolumeChoice(Ui& ui, Game& game, RowLayout& rows) {
    rows.skip();
    label(rows.next(), text(game, "prefVolume"), TextAlign::Right);
    sliderInt(ui, rows.next(), 0, &game.progress.volume, 100);
    // The music follows the slider at once; the value is saved with the next progress save.
    if (getMusicVolume(ui.assets.music) != game.progress.volume)
        setMusicVolume(ui.assets.music, game.progress.volume);
    rows.skip();
}

void drawLanguageChoice(Ui& ui, const Game& game, RowLayout& rows) {
    rows.skip();
    label(rows.next(), text(game, "prefLang"), TextAlign::Right);
    if (imageLabelButton(ui, "language", rows.next(), languageImage(ui, game.currentLanguage),
                         getLangString(ui.assets.config->store, game.currentLanguage, "natSm"),
                         TextAlign::Right))
        ui.currentScreen = Screen::Language;
    rows.skip();
}

void drawWordEntryChoice(Ui& ui, Game& game, RowLayout& rows) {
    rows.skip();
    label(rows.next(), text(game, "prefWordEntry"), TextAlign::Right);
    bool onEnter = game.wordEntry == WordEntry::OnEnter;
    if (button(ui, rows.next(), text(game, onEnter ? "wordEntryEnter" : "wordEntryTyped"))) {
        playSound(ui.assets.sounds, SoundSlot::ButtonClick);
        game.wordEntry = onEnter ? WordEntry::AsTyped : WordEntry::OnEnter;
        saveOptions(game);
    }
    rows.skip();
}

}  // namespace

void drawOptionsScreen(Ui& ui, Game& game) {
    if (beginScreen(ui, ui.windowWidth, ui.windowHeight)) {
        RowLayout& rows = ui.screenLayout;
        drawScreenDecor(ui, themedDecoration(ui, "langSelect", "langSelectDark"), ui.windowWidth,
                        ui.windowHeight);
        rows.staticRow(200, 15, 1);
        rows.ratioRow(70, {0.05f, 0.35f, 0.35f, 0.25f});
        drawThemeChoice(ui, game, rows);
        drawVolumeChoice(ui, game, rows);
        drawLanguageChoice(ui, game, rows);
        drawWordEntryChoice(ui, game, rows);
        if (backButtonRow(ui, game, rows)) ui.currentScreen = Screen::MainMenu;
    }
    endScreen();
}

void drawLanguageScreen(Ui& ui, Game& game) {
    if (beginScreen(ui, ui.windowWidth, ui.windowHeight)) {
        RowLayout& rows = ui.screenLayout;
        drawScreenDecor(ui, themedDecoration(ui, "langSelect", "langSelectDark"), ui.windowWidth,
                        ui.windowHeight);
        rows.staticRow(static_cast<float>(languageListGap(ui.windowHeight, game.languageCount)), 15,
                       1);
        rows.ratioRow(70, {0.2f, 0.6f, 0.2f});
        for (int i = 0; i < game.languageCount; ++i) {
            rows.skip();
            ImGui::PushID(i);
            if (imageLabelButton(ui, "language", rows.next(), languageImage(ui, i),
                                 getLangString(ui.assets.config->store, i, "native"),
                                 TextAlign::Centered))
                selectLanguage(ui, game, i);
            ImGui::PopID();
            rows.skip();
        }
    }
    endScreen();
}

void drawAboutScreen(Ui& ui, const Game& game) {
    const float W = static_cast<float>(ui.windowWidth), H = static_cast<float>(ui.windowHeight);
    if (beginScreen(ui, ui.windowWidth, ui.windowHeight)) {
        RowLayout& rows = ui.screenLayout;
        drawScreenDecor(ui, themedDecoration(ui, "about", "aboutDark"), ui.windowWidth,
                        ui.windowHeight);
        rows.dynamicRow(140, 1);
        rows.staticRow(H - 250, W - 40, 1);
        std::string about =
            std::string(text(game, "AboutText")) + "\n\n" + text(game, "AboutWordEntry");
        // A text longer than the page is set in the small font rather than cut off.
        ImRect page = rows.next();
        bool fits = ImGui::CalcTextSize(about.c_str(), nullptr, false, page.GetWidth()).y <=
                    page.GetHeight();
        if (!fits) setFont(ui.assets.smallFont);
        labelWrap(page, about.c_str());
        if (!fits) setFont(ui.assets.mainFont);
        if (backButtonRow(ui, game, rows)) ui.currentScreen = Screen::MainMenu;
    }
    endScreen();
}

void drawWordInfoScreen(Ui& ui, Game& game) {
    const float W = static_cast<float>(ui.windowWidth), H = static_cast<float>(ui.windowHeight);
    if (beginScreen(ui, ui.windowWidth, ui.windowHeight)) {
        RowLayout& rows = ui.screenLayout;
        drawScreenDecor(ui, "help", ui.windowWidth, ui.windowHeight);
        rows.dynamicRow(70, 1);
        label(rows.next(), spelledWord(game.langStore.get(), game.hintWord), TextAlign::TopLeft);
        rows.staticRow(H - 180, W - 40, 1);
        labelWrap(rows.next(), game.hintDescription);
        if (backButtonRow(ui, game, rows)) ui.currentScreen = Screen::InGame;
    }
    endScreen();
}
