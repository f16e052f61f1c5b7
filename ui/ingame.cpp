// The in-game screen: top bar, found words, the letter row and the bottom bar.
#include <ctime>
#include <string>

#include "audio/sounds.h"
#include "core/game.h"
#include "core/level.h"
#include "core/save.h"
#include "core/tray.h"
#include "core/words.h"
#include "gfx/font.h"
#include "store/language.h"
#include "ui/decor.h"
#include "ui/format.h"
#include "ui/kit.h"
#include "ui/play.h"
#include "ui/screen_parts.h"
#include "ui/screens.h"
#include "ui/theme.h"
#include "ui/ui.h"

namespace {

// An icon button with its hover hint.
bool iconButton(Ui& ui, const Game& game, const char* id, const ImRect& r, const char* iconKey,
                const char* hintKey, HintPlace place) {
    bool pressed = imageButton(id, r, icon(ui, iconKey), ui.iconButtonStyle);
    if (isHovered(r)) {
        ui.hintText = text(game, hintKey);
        ui.inGame.hintPlace = place;
    }
    return pressed;
}

// A hint that starts at x, on the middle of the bar r, and reaches to the right.
HintPlace hintRightOf(float x, const ImRect& bar) {
    return {ImVec2(x, bar.GetCenter().y), ImVec2(0, 0.5f)};
}
// A hint that ends at x, on the middle of the bar r.
HintPlace hintLeftOf(float x, const ImRect& bar) {
    return {ImVec2(x, bar.GetCenter().y), ImVec2(1, 0.5f)};
}

void drawTopBar(Ui& ui, Game& game, RowLayout& rows, float W) {
    rows.ratioRow(70, {70 / W, 70 / W, (W - 560) / W, 420 / W});
    ImRect home = rows.next(), stat = rows.next();
    // Both hints go over the level's letters, right of the two icons (a label, not a control).
    const HintPlace beside = hintRightOf(stat.Max.x + RowLayout::kSpacing, stat);
    if (iconButton(ui, game, "home", home, "home", "mainMenuHint", beside)) {
        playSound(ui.assets.sounds, SoundSlot::StatClick);
        ui.currentScreen = Screen::MainMenu;
    }
    if (iconButton(ui, game, "stat", stat, "stat", "statNameHint", beside)) {
        playSound(ui.assets.sounds, SoundSlot::StatClick);
        ui.currentScreen = Screen::Statistics;
    }
    setFont(ui.assets.mainFont);
    label(rows.next(), game.letterTray.letterText, TextAlign::Centered);

    propertyInt(ui, rows.next(), text(game, "levelProperty"), 1, &game.levelNumber,
                static_cast<int>(game.progress.levelsOpen), ui.inGame.selectorLeftArrow,
                ui.inGame.selectorRightArrow);
    selectLevel(ui, game);
    ui.inGame.selectorLeftArrow = game.levelNumber > 1;
    ui.inGame.selectorRightArrow = game.levelNumber < static_cast<int>(game.progress.levelsOpen);
}

constexpr float kBonusLineHeight = 40;

// The bonus words of the level on a line of their own under the level's words, the newest
// first, as many as the line holds.
void drawBonusLine(Game& game, RowLayout& rows, float W) {
    rows.staticRow(kBonusLineHeight, W - 40, 1);
    ImRect r = rows.next();
    std::string line = std::string(text(game, "bonusWords")) + ":";
    for (size_t i = game.bonusList.words.size(); i-- > 0;) {
        std::string longer =
            line + (i + 1 == game.bonusList.words.size() ? " " : ", ") + game.bonusList.words[i];
        if (ImGui::CalcTextSize(longer.c_str()).x > r.GetWidth()) break;
        line = longer;
    }
    label(r, line.c_str(), TextAlign::Left);
}

void drawFoundWords(Ui& ui, Game& game, RowLayout& rows, float W, float H) {
    // The panel makes room for the bonus line only once there is a bonus word to show.
    const bool bonus = !game.bonusList.words.empty();
    rows.staticRow(H - 260 - (bonus ? kBonusLineHeight + RowLayout::kSpacing : 0), W - 40, 2);
    if (beginGroup(ui, ui.windowTitle ? ui.windowTitle : "found", rows.next(),
                   &game.foundListScroll)) {
        RowLayout& words = groupLayout(ui);
        words.staticRow(50, static_cast<float>((static_cast<int>(W) - 90) / 4), 4);
        const time_t now = std::time(nullptr);
        for (const char* word : game.foundList.words) {
            if (!word) continue;
            ImRect r = words.next();
            uint32_t slot = hashGet(game.repeatTimes, word);
            bool repeated = slot != game.repeatTimes.capacity;
            bool pressed;
            if (repeated && now - game.repeatTimes.values[slot] < kRepeatHighlightSeconds) {
                if (word != ui.inGame.repeatShownWord ||
                    game.repeatTimes.values[slot] != ui.inGame.repeatShownTime) {
                    scrollGroupToShow(ui, r);
                    ui.inGame.repeatShownWord = word;
                    ui.inGame.repeatShownTime = game.repeatTimes.values[slot];
                }
                pressed = styledButton(r, spelledWord(game.langStore.get(), word),
                                       ui.highlightButtonStyle);
            } else {
                pressed = button(ui, r, spelledWord(game.langStore.get(), word));
                if (repeated) hashDelete(game.repeatTimes, slot);
            }
            if (pressed) {
                game.hintWord = word;
                game.hintDescription = wordDescription(game.langStore.get(), word);
                ui.currentScreen = Screen::WordInfo;
                playSound(ui.assets.sounds, SoundSlot::WordClick);
            }
        }
    }
    endGroup(ui);
    if (bonus) drawBonusLine(game, rows, W);
}

void drawLetterRow(Ui& ui, Game& game, RowLayout& rows, int count) {
    rows.dynamicRow(70, count);
    // The row changes only when a letter is typed or pointed at.
    beginLayer("letters", rows.rowBounds());
    for (int i = 0; i < count; ++i) {
        char letter[7];
        uint32_t codePoint = 0;
        letterUtf8(&game.letterTray, i, letter, &codePoint);
        ImRect r = rows.next();
        if (isLetterUsed(&game.letterTray, i)) {
            label(r, letter, TextAlign::Centered);
            continue;
        }
        ImGui::PushID(i);  // a row may hold the same letter twice
        if (button(ui, r, letter)) {
            playSound(ui.assets.sounds, SoundSlot::ButtonClick);
            pushLetter(&game.letterTray, codePoint, i);
            checkTypedWord(ui, game);
        }
        ImGui::PopID();
    }
    endLayer();
}

void drawBottomBar(Ui& ui, Game& game, RowLayout& rows, float W) {
    rows.ratioRow(70, {70 / W, 420 / W, (W - 630) / W, 70 / W, 70 / W});
    ImRect hint = rows.next(), timer = rows.next(), typed = rows.next(), removeChar = rows.next();
    setFont(ui.assets.mainFont);
    const char* elapsed =
        formatDuration(static_cast<int32_t>(std::time(nullptr) - game.levelStartTime));
    // The hint icon's hint follows the level timer; the erase icons' hints end before them. Both
    // lie over the labels of the bar.
    const float gap = 2 * RowLayout::kSpacing;
    const HintPlace afterTimer =
        hintRightOf(timer.Min.x + ImGui::CalcTextSize(elapsed).x + gap, timer);
    const HintPlace beforeErase = hintLeftOf(removeChar.Min.x - gap, removeChar);
    if (hintAvailable(game)) {
        if (iconButton(ui, game, "help", hint, "helpEnabled", "helpEnabledHint", afterTimer))
            showHint(ui, game);
    } else {
        // Drawn where the enabled icon's button puts its picture, so the icon keeps its size.
        styledImage(hint, icon(ui, "helpDisabled"), ui.iconButtonStyle);
        if (isHovered(hint)) {
            ui.hintText = text(game, "helpDisabledHint");
            ui.inGame.hintPlace = afterTimer;
        }
    }
    label(timer, elapsed, TextAlign::Left);
    // A text Enter refused stays, marked for a moment.
    if (std::time(nullptr) - game.refusalTime <= kRefusalSeconds)
        styledButton(typed, typedWord(&game.letterTray), ui.highlightButtonStyle);
    else
        label(typed, typedWord(&game.letterTray), TextAlign::Centered);
    if (iconButton(ui, game, "removeChar", removeChar, "removeChar", "removeCharHint", beforeErase))
        popLetter(&game.letterTray);
    if (iconButton(ui, game, "removeWord", rows.next(), "removeWord", "removeWordHint",
                   beforeErase))
        clearTypedWord(&game.letterTray);
}

// Hover hints help on the first ten levels only. While the disk refuses saves the player is told
// so over the found words instead (one box per frame: a second would land in the first).
void drawHoverHint(Ui& ui, Game& game, float W) {
    static const char* const refusalKeys[] = {nullptr, "saveDiskFull", "saveReadOnly", "saveDenied",
                                              "saveDiskError"};
    const SaveRefusal refusal = saveRefusal(game.saves);
    setFont(ui.assets.smallFont);
    if (refusal != SaveRefusal::None)
        tooltip(text(game, refusalKeys[static_cast<int>(refusal)]), ImVec2(W / 2, 80),
                ImVec2(0.5f, 0));
    else if (ui.hintText && game.progress.levelIndex <= 9)
        tooltip(ui.hintText, ui.inGame.hintPlace.position, ui.inGame.hintPlace.pivot);
    setFont(ui.assets.mainFont);
}

}  // namespace

void drawInGameScreen(Ui& ui, Game& game) {
    const float W = static_cast<float>(ui.windowWidth), H = static_cast<float>(ui.windowHeight);
    if (beginScreen(ui, ui.windowWidth, ui.windowHeight)) {
        const int count = letterCount(&game.letterTray);
        ui.hintText = nullptr;
        drawScreenDecor(ui, themedDecoration(ui, "inGame", "inGameDark"), ui.windowWidth,
                        ui.windowHeight);
        drawTopBar(ui, game, ui.screenLayout, W);
        drawFoundWords(ui, game, ui.screenLayout, W, H);
        drawLetterRow(ui, game, ui.screenLayout, count);
        drawBottomBar(ui, game, ui.screenLayout, W);
        drawHoverHint(ui, game, W);
    }
    endScreen();
}
