// The statistics screen: the current level by word length (table and column chart) and the
// totals of the whole game.
#include <algorithm>
#include <cstdio>
#include <ctime>

#include "audio/sounds.h"
#include "core/game.h"
#include "core/level.h"
#include "core/tray.h"
#include "core/words.h"
#include "gfx/font.h"
#include "store/keystore.h"
#include "store/language.h"
#include "ui/decor.h"
#include "ui/format.h"
#include "ui/kit.h"
#include "ui/screen_parts.h"
#include "ui/screens.h"
#include "ui/statistics.h"
#include "ui/theme.h"
#include "ui/ui.h"

int percentOf(long long part, long long whole) {
    return whole > 0 ? static_cast<int>(part * 100 / whole) : 0;
}

void countWordLengths(Game& game, WordLengthStats& stats) {
    stats = WordLengthStats{};
    for (uint32_t slot = 0; slot < game.levelWords.capacity; ++slot) {
        if (!hashExists(game.levelWords, slot)) continue;
        int length = utf8Length(game.levelWords.keys[slot]);
        if (length >= kMaxWordLength) continue;
        int& total = stats.total[length];
        if (++total > stats.maxCount) stats.maxCount = total;
    }
    for (const char* word : game.foundList.words) {
        int length = word ? utf8Length(word) : 0;
        if (length > 0 && length < kMaxWordLength) stats.found[length] += 1;
    }
    for (int length = 2; length < kMaxWordLength; ++length)
        if (stats.total[length] > 0) stats.lengths[stats.lengthColumns++] = length;
}

void statisticsTitle(Game& game, char* out, size_t size) {
    formatText(out, size, text(game, "sTitle"),
               {game.letterTray.letterText,
                percentOf(game.levelFoundCount, static_cast<long long>(game.levelWords.size))});
}

void chartHoverText(const Game& game, const WordLengthStats& stats, int length, char* out,
                    size_t size) {
    formatText(out, size, text(game, "statHint"),
               {percentOf(stats.found[length], stats.total[length]), length});
}

uint32_t timeInGame(Game& game, int32_t now) {
    return game.progress.secondsPlayed +
           (now > game.lastLevelSaveTime ? static_cast<uint32_t>(now - game.lastLevelSaveTime) : 0);
}

void totalsRows(Game& game, TotalsRow rows[kTotalsRowCount], int32_t now) {
    const char* usedWords = getSectionString(game.langStore.get(), "stat", "usedWords");
    const char* pressCount = getSectionString(game.langStore.get(), "stat", "pressCount");
    rows[0].key = "passedPerc";
    // French sets a no-break space before the sign; a language without its own form writes 25%.
    const char* percent = getSectionString(game.langStore.get(), "localization", "percentValue");
    formatText(rows[0].value, sizeof rows[0].value, percent ? percent : "%d%%",
               {percentOf(game.progress.wordsFound,
                          getSectionInt(game.langStore.get(), "stat", "usedWords"))});
    rows[1].key = "timeInGame";
    std::snprintf(rows[1].value, sizeof rows[1].value, "%s",
                  formatDuration(static_cast<int32_t>(timeInGame(game, now))));
    rows[2].key = "totalWords";
    std::snprintf(rows[2].value, sizeof rows[2].value, "%s", usedWords ? usedWords : "");
    rows[3].key = "foundWords";
    std::snprintf(rows[3].value, sizeof rows[3].value, "%d", game.progress.wordsFound);
    rows[4].key = "totalPressCount";
    std::snprintf(rows[4].value, sizeof rows[4].value, "%s", pressCount ? pressCount : "");
    rows[5].key = "pressCount";
    std::snprintf(rows[5].value, sizeof rows[5].value, "%d", game.progress.lettersFound);
    rows[6].key = "bonusFound";
    std::snprintf(rows[6].value, sizeof rows[6].value, "%d", game.bonusTotal);
}

std::vector<float> lengthTableRatios(int lengthColumns, float screenWidth, float rowWidth,
                                     float labelWidth) {
    std::vector<float> ratios(1, 250 / screenWidth);
    ratios.resize(lengthColumns + 1, 135 / screenWidth);
    if ((250 + 135.0f * lengthColumns) / screenWidth <= 1 || rowWidth <= 0) return ratios;
    ratios[0] = std::min(ratios[0], labelWidth / rowWidth);
    const float each = std::min(135 / screenWidth, (1 - ratios[0]) / lengthColumns);
    std::fill(ratios.begin() + 1, ratios.end(), each);
    return ratios;
}

namespace {

void drawLengthTable(Ui& ui, const Game& game, const WordLengthStats& stats, RowLayout& rows,
                     float W) {
    rows.staticRow(120, W - 40, 1);
    if (beginGroup(ui, "Words", rows.next())) {
        RowLayout& table = groupLayout(ui);
        const float labelWidth = std::max(ImGui::CalcTextSize(text(game, "sLenth")).x,
                                          ImGui::CalcTextSize(text(game, "sFound")).x);
        table.ratioRow(50, lengthTableRatios(stats.lengthColumns, W,
                                             table.usableWidth(stats.lengthColumns + 1),
                                             labelWidth + 2 * RowLayout::kSpacing));
        char cell[32];
        label(table.next(), text(game, "sLenth"), TextAlign::Left);
        for (int c = 0; c < stats.lengthColumns; ++c) {
            std::snprintf(cell, sizeof cell, "%d", stats.lengths[c]);
            label(table.next(), cell, TextAlign::Centered);
        }
        label(table.next(), text(game, "sFound"), TextAlign::Left);
        for (int c = 0; c < stats.lengthColumns; ++c) {
            int length = stats.lengths[c];
            std::snprintf(cell, sizeof cell, "%d/%d", stats.found[length], stats.total[length]);
            label(table.next(), cell, TextAlign::Centered);
        }
    }
    endGroup(ui);
}

// Two series over the same columns: all words of a length, and over them the found ones.
void drawChart(Game& game, const WordLengthStats& stats, const ImRect& r) {
    ImDrawList* draw = ImGui::GetWindowDrawList();
    const ChartColors colors = chartColors(game.progress.theme);
    draw->AddRectFilled(r.Min, r.Max, colors.background);
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
        draw->AddRectFilled(all.Min, all.Max, hovered ? colors.hover : colors.notFound);
        float foundTop = bottom - height * stats.found[length] / stats.maxCount;
        draw->AddRectFilled(ImVec2(left, foundTop), ImVec2(right, bottom), colors.found);
        if (hovered) {
            // Above the column, so that the column stays in sight, or inside its top when the
            // column reaches so high that the hint would leave the chart.
            char hint[64];
            chartHoverText(game, stats, length, hint, sizeof hint);
            const float hintHeight = ImGui::GetFontSize() + 4 * RowLayout::kSpacing;
            if (all.Min.y - hintHeight - RowLayout::kSpacing >= r.Min.y)
                tooltip(hint, ImVec2((left + right) / 2, all.Min.y - RowLayout::kSpacing),
                        ImVec2(0.5f, 1));
            else
                tooltip(hint, ImVec2((left + right) / 2, all.Min.y + RowLayout::kSpacing),
                        ImVec2(0.5f, 0));
        }
    }
}

void drawTotals(Ui& ui, Game& game, RowLayout& rows, float W) {
    if (beginGroup(ui, "AllStat", rows.next())) {
        RowLayout& totals = groupLayout(ui);
        totals.staticRow(50, static_cast<float>((static_cast<int>(W) - 30) / 4 - 50), 2);
        TotalsRow lines[kTotalsRowCount];
        totalsRows(game, lines, static_cast<int32_t>(std::time(nullptr)));
        for (const TotalsRow& line : lines) {
            label(totals.next(), text(game, line.key), TextAlign::Left);
            label(totals.next(), line.value, TextAlign::Left);
        }
    }
    endGroup(ui);
}

}  // namespace

void drawStatisticsScreen(Ui& ui, Game& game) {
    const float W = static_cast<float>(ui.windowWidth), H = static_cast<float>(ui.windowHeight);
    WordLengthStats stats;
    countWordLengths(game, stats);
    if (beginScreen(ui, ui.windowWidth, ui.windowHeight)) {
        RowLayout& rows = ui.screenLayout;
        drawScreenDecor(ui, themedDecoration(ui, "stat", "statDark"), ui.windowWidth,
                        ui.windowHeight);

        char title[64];
        statisticsTitle(game, title, sizeof title);
        rows.ratioRow(50, {50 / W, (W - 100) / W});
        if (imageButton("back", rows.next(), icon(ui, "statBack"), ui.iconButtonStyle)) {
            playSound(ui.assets.sounds, SoundSlot::WindowClose);
            ui.currentScreen = Screen::InGame;
        }
        label(rows.next(), title, TextAlign::Top);

        setFont(ui.assets.smallFont);
        drawLengthTable(ui, game, stats, rows, W);
        rows.dynamicRow(H - 280, 2);
        drawChart(game, stats, rows.next());
        drawTotals(ui, game, rows, W);
        setFont(ui.assets.mainFont);

        if (backButtonRow(ui, game, rows)) ui.currentScreen = Screen::InGame;
    }
    endScreen();
}
