// The statistics screen: the current level by word length (table and column chart) and the
// totals of the whole game.
#include <cstdio>

#include "app/app.h"
#include "audio/sounds.h"
#include "core/level.h"
#include "core/tray.h"
#include "core/words.h"
#include "gfx/font.h"
#include "store/keystore.h"
#include "store/language.h"
#include "ui/format.h"
#include "ui/kit.h"
#include "ui/screen_parts.h"
#include "ui/screens.h"
#include "ui/statistics.h"
#include "ui/theme.h"

int percentOf(long long part, long long whole) { return whole > 0 ? (int)(part * 100 / whole) : 0; }

void countWordLengths(WordLengthStats& stats) {
    stats = WordLengthStats{};
    for (uint32_t slot = 0; slot < levelWords.capacity; ++slot) {
        if (!hashExists(levelWords, slot)) continue;
        int length = utf8Length(levelWords.keys[slot]);
        if (length >= maxWordLength) continue;
        int& total = stats.total[length];
        if (++total > stats.maxCount) stats.maxCount = total;
    }
    for (const char* word : foundList.words) {
        int length = word ? utf8Length(word) : 0;
        if (length > 0 && length < maxWordLength) stats.found[length] += 1;
    }
    for (int length = 2; length < maxWordLength; ++length)
        if (stats.total[length] > 0) stats.lengths[stats.lengthColumns++] = length;
}

namespace {

void drawLengthTable(const WordLengthStats& stats, RowLayout& rows, float W) {
    rows.staticRow(120, W - 40, 1);
    if (beginGroup("Words", rows.next())) {
        RowLayout& table = groupLayout();
        std::vector<float> ratios(1, 250 / W);
        ratios.resize(stats.lengthColumns + 1, 135 / W);
        table.ratioRow(50, ratios);
        char cell[32];
        label(table.next(), text("sLenth"), AlignLeft);
        for (int c = 0; c < stats.lengthColumns; ++c) {
            std::snprintf(cell, sizeof cell, "%d", stats.lengths[c]);
            label(table.next(), cell, AlignCentered);
        }
        label(table.next(), text("sFound"), AlignLeft);
        for (int c = 0; c < stats.lengthColumns; ++c) {
            int length = stats.lengths[c];
            std::snprintf(cell, sizeof cell, "%d/%d", stats.found[length], stats.total[length]);
            label(table.next(), cell, AlignCentered);
        }
    }
    endGroup();
}

// Two series over the same columns: all words of a length, and over them the found ones.
void drawChart(const WordLengthStats& stats, const ImRect& r, ImU32 foundColor) {
    ImDrawList* draw = ImGui::GetWindowDrawList();
    const int theme = progress.theme;
    draw->AddRectFilled(r.Min, r.Max, themeColor(theme, SlotChart));
    if (stats.lengthColumns == 0 || stats.maxCount == 0) return;

    const float pad = 4;
    const float columnWidth = (r.GetWidth() - 2 * pad) / stats.lengthColumns;
    const float height = r.GetHeight() - 2 * pad;
    const float bottom = r.Max.y - pad;
    for (int c = 0; c < stats.lengthColumns; ++c) {
        int length = stats.lengths[c];
        float left = r.Min.x + pad + c * columnWidth + 1;
        float right = left + columnWidth - 2;
        ImRect all(left, bottom - height * stats.total[length] / stats.maxCount, right, bottom);
        bool hovered = isHovered(all);
        draw->AddRectFilled(all.Min, all.Max, themeColor(theme, hovered ? SlotChartColorHighlight : SlotChartColor));
        float foundTop = bottom - height * stats.found[length] / stats.maxCount;
        draw->AddRectFilled(ImVec2(left, foundTop), ImVec2(right, bottom), foundColor);
        if (hovered) {
            char hint[64];
            formatText(hint, sizeof hint, text("statHint"),
                       {percentOf(stats.found[length], stats.total[length]), length});
            tooltip(hint, ImGui::GetStyle().WindowPadding);
        }
    }
}

void drawTotals(RowLayout& rows, float W) {
    if (beginGroup("AllStat", rows.next())) {
        RowLayout& totals = groupLayout();
        totals.staticRow(50, (float)(((int)W - 30) / 4 - 50), 2);
        const char* usedWords = getSectionString(langStore, "stat", "usedWords");
        char number[256];
        auto row = [&](const char* key, const char* value) {
            label(totals.next(), text(key), AlignLeft);
            label(totals.next(), value, AlignLeft);
        };
        std::snprintf(number, sizeof number, "%d%%",
                      percentOf(progress.wordsFound, getSectionInt(langStore, "stat", "usedWords")));
        row("passedPerc", number);
        row("timeInGame", formatDuration((int32_t)progress.secondsPlayed));
        row("totalWords", usedWords);
        std::snprintf(number, sizeof number, "%d", progress.wordsFound);
        row("foundWords", number);
        row("totalPressCount", getSectionString(langStore, "stat", "pressCount"));
        std::snprintf(number, sizeof number, "%d", progress.lettersFound);
        row("pressCount", number);
    }
    endGroup();
}

}  // namespace

int drawStatisticsScreen(App* app) {
    const float W = (float)windowWidth, H = (float)windowHeight;
    WordLengthStats stats;
    countWordLengths(stats);
    if (beginScreen(windowWidth, windowHeight)) {
        RowLayout& rows = screenLayout;
        const ImU32 foundColor = ImGui::GetColorU32(ImGuiCol_ButtonActive);
        drawScreenDecor(app, themedDecoration("stat", "statDark"), windowWidth, windowHeight);

        char title[64];
        formatText(title, sizeof title, text("sTitle"),
                   {letterTray.letterText, percentOf(levelFoundCount, (long long)levelWords.size)});
        rows.ratioRow(50, {50 / W, (W - 100) / W});
        if (imageButton("back", rows.next(), icon("statBack"), iconButtonStyle)) {
            playSound(SOUND_WINDOW_CLOSE);
            currentScreen = ScreenInGame;
        }
        label(rows.next(), title, AlignCentered);

        setFont(app, smallFont);
        drawLengthTable(stats, rows, W);
        rows.dynamicRow(H - 280, 2);
        drawChart(stats, rows.next(), foundColor);
        drawTotals(rows, W);
        setFont(app, mainFont);

        if (backButtonRow(rows)) currentScreen = ScreenInGame;
    }
    endScreen();
    return 1;
}
