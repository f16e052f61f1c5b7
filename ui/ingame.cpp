// The in-game screen: top bar, found words, the letter row and the bottom bar.
#include <ctime>

#include "app/app.h"
#include "audio/sounds.h"
#include "core/level.h"
#include "core/tray.h"
#include "core/words.h"
#include "gfx/font.h"
#include "store/language.h"
#include "ui/kit.h"
#include "ui/screen_parts.h"
#include "ui/screens.h"
#include "ui/theme.h"

namespace {

// The selector's arrows follow the value of the previous frame, as they are part of the style.
bool selectorLeftArrow = false;
bool selectorRightArrow = true;

// An icon button with its hover hint.
bool iconButton(const char* id, const ImRect& r, const char* iconKey, const char* hintKey) {
    bool pressed = imageButton(id, r, icon(iconKey), iconButtonStyle);
    if (isHovered(r)) hintText = text(hintKey);
    return pressed;
}

void drawTopBar(App* app, RowLayout& rows, float W) {
    rows.ratioRow(70, {70 / W, 70 / W, (W - 560) / W, 420 / W});
    if (iconButton("home", rows.next(), "home", "mainMenuHint")) {
        playSound(SOUND_STAT_CLICK);
        currentScreen = ScreenMainMenu;
    }
    if (iconButton("stat", rows.next(), "stat", "statNameHint")) {
        playSound(SOUND_STAT_CLICK);
        currentScreen = ScreenStatistics;
    }
    setFont(app, mainFont);
    label(rows.next(), letterTray.letterText, AlignCentered);

    unlockLevels();
    propertyInt(rows.next(), text("levelProperty"), 1, &levelNumber, (int)progress.levelsOpen, selectorLeftArrow,
                selectorRightArrow);
    selectLevel();
    selectorLeftArrow = levelNumber > 1;
    selectorRightArrow = levelNumber < (int)progress.levelsOpen;
}

void drawFoundWords(RowLayout& rows, float W, float H) {
    rows.staticRow(H - 260, W - 40, 2);
    if (beginGroup(windowTitle ? windowTitle : "found", rows.next(), &foundListScroll)) {
        RowLayout& words = groupLayout();
        words.staticRow(50, (float)(((int)W - 90) / 4), 4);
        const time_t now = std::time(nullptr);
        for (const char* word : foundList.words) {
            if (!word) continue;
            ImRect r = words.next();
            uint32_t slot = hashGet(repeatTimes, word);
            bool repeated = slot != repeatTimes.capacity;
            bool pressed;
            if (repeated && now - repeatTimes.values[slot] < REPEAT_HIGHLIGHT_SECONDS) {
                pressed = styledButton(r, word, highlightButtonStyle);
            } else {
                pressed = button(r, word);
                if (repeated) hashDelete(repeatTimes, slot);
            }
            if (pressed) {
                hintWord = word;
                hintDescription = wordDescription(langStore, word);
                currentScreen = ScreenWordInfo;
                playSound(SOUND_WORD_CLICK);
            }
        }
    }
    endGroup();
}

void drawLetterRow(App* app, RowLayout& rows, int count) {
    rows.dynamicRow(70, count);
    for (int i = 0; i < count; ++i) {
        char letter[7];
        uint32_t codePoint = 0;
        letterUtf8(&letterTray, i, letter, &codePoint);
        ImRect r = rows.next();
        if (isLetterUsed(&letterTray, i)) {
            label(r, letter, AlignCentered);
            continue;
        }
        ImGui::PushID(i);  // a row may hold the same letter twice
        if (button(r, letter)) {
            playSound(SOUND_BUTTON_CLICK);
            pushLetter(&letterTray, codePoint, i);
            checkTypedWord(app);
        }
        ImGui::PopID();
    }
}

void drawBottomBar(App* app, RowLayout& rows, float W) {
    rows.ratioRow(70, {70 / W, 420 / W, (W - 630) / W, 70 / W, 70 / W});
    ImRect hint = rows.next();
    if (hintAvailable()) {
        if (iconButton("help", hint, "helpEnabled", "helpEnabledHint")) showHint();
    } else {
        image(hint, icon("helpDisabled"));
        if (isHovered(hint)) hintText = text("helpDisabledHint");
    }
    setFont(app, mainFont);
    label(rows.next(), formatDuration((int32_t)(std::time(nullptr) - levelStartTime)), AlignLeft);
    label(rows.next(), typedWord(&letterTray), AlignCentered);
    if (iconButton("removeChar", rows.next(), "removeChar", "removeCharHint")) popLetter(&letterTray);
    if (iconButton("removeWord", rows.next(), "removeWord", "removeWordHint")) clearTypedWord(&letterTray);
}

// Hover hints help on the first ten levels only.
void drawHoverHint(App* app) {
    if (!hintText || progress.levelIndex > 9) return;
    ImVec4 background = ImGui::GetStyle().Colors[ImGuiCol_WindowBg];
    background.w = 240 / 255.0f;
    ImGui::PushStyleColor(ImGuiCol_PopupBg, background);
    setFont(app, smallFont);
    tooltip(hintText, ImVec2(10, 0));
    setFont(app, mainFont);
    ImGui::PopStyleColor();
}

}  // namespace

void drawInGameScreen(App* app) {
    const float W = (float)windowWidth, H = (float)windowHeight;
    if (beginScreen(windowWidth, windowHeight)) {
        const int count = letterCount(&letterTray);
        hintText = nullptr;
        drawScreenDecor(app, themedDecoration("inGame", "inGameDark"), windowWidth, windowHeight);
        drawTopBar(app, screenLayout, W);
        drawFoundWords(screenLayout, W, H);
        drawLetterRow(app, screenLayout, count);
        drawBottomBar(app, screenLayout, W);
        drawHoverHint(app);
    }
    endScreen();
}
