// What the statistics screen shows: the current level by word length, the title, the hover text,
// the totals, and the widths of the length table.
#include <gtest/gtest.h>

#include <string>

#include "core/game.h"
#include "core/level.h"
#include "core/words.h"
#include "store/language.h"
#include "tests/core/core_fixture.h"
#include "ui/format.h"
#include "ui/layout.h"
#include "ui/statistics.h"

namespace {

void installLevel(Game& game, std::initializer_list<const char*> words,
                  std::initializer_list<const char*> found) {
    game.levelWords = StringSet{};
    clearFoundList(&game.foundList);
    HashOutcome outcome = HashOutcome::Present;
    for (const char* w : words) hashPut(game.levelWords, w, &outcome);
    for (const char* w : found) appendToFoundList(&game.foundList, w);
}

}  // namespace

TEST(WordLengths, OnlyLengthsWithWordsGetAColumn) {
    Game game;
    installLevel(game, {"cat", "act", "cast", "acts", "scat", "coast", "ta"},
                 {"cat", "acts", "ta"});
    WordLengthStats stats;
    countWordLengths(game, stats);
    ASSERT_EQ(stats.lengthColumns, 4);
    EXPECT_EQ(stats.lengths[0], 2);
    EXPECT_EQ(stats.lengths[1], 3);
    EXPECT_EQ(stats.lengths[3], 5);
    EXPECT_EQ(stats.total[4], 3);
    EXPECT_EQ(stats.found[4], 1);
    EXPECT_EQ(stats.maxCount, 3);
}

TEST(WordLengths, CountsCharactersNotBytesAndLeavesOutOverlongWords) {
    Game game;
    std::string overlong(31, 'a');
    installLevel(game, {"кот", "ток", "é", overlong.c_str()}, {"кот", overlong.c_str()});
    WordLengthStats stats;
    countWordLengths(game, stats);
    EXPECT_EQ(stats.total[3], 2);
    EXPECT_EQ(stats.found[3], 1);
    EXPECT_EQ(stats.total[1], 1);  // counted, but one-letter words get no column
    ASSERT_EQ(stats.lengthColumns, 1);
    EXPECT_EQ(stats.lengths[0], 3);
}

TEST(WordLengths, EmptyLevelAndZeroDenominators) {
    Game game;
    installLevel(game, {}, {});
    WordLengthStats stats;
    countWordLengths(game, stats);
    EXPECT_EQ(stats.lengthColumns, 0);
    EXPECT_EQ(stats.maxCount, 0);
    EXPECT_EQ(percentOf(5, 0), 0);
    EXPECT_EQ(percentOf(7, 20), 35);
    EXPECT_EQ(percentOf(1, 3), 33);
    EXPECT_EQ(percentOf(2, 6), 33);
}

TEST(LengthTable, KeepsItsWidthsWhileTheyFitAndOtherwiseFitsEveryLength) {
    const float W = 1280;
    const float labelWidth = 110;
    for (int lengths = 2; lengths <= 12; ++lengths) {
        // The table's row inside its bordered group with a scroll bar.
        RowLayout table;
        table.begin(ImVec2(21, 0), 1218, ImVec2(4, 4));
        const float rowWidth = table.usableWidth(lengths + 1);
        std::vector<float> ratios = lengthTableRatios(lengths, W, rowWidth, labelWidth);
        ASSERT_EQ((int)ratios.size(), lengths + 1);
        if (250 + 135 * lengths <= W) {
            EXPECT_FLOAT_EQ(ratios[0], 250 / W) << lengths;
            for (int c = 1; c <= lengths; ++c) EXPECT_FLOAT_EQ(ratios[c], 135 / W) << lengths;
            continue;
        }
        table.ratioRow(50, ratios);
        ImRect label = table.next();
        EXPECT_GE(label.GetWidth(), labelWidth - 0.01f) << lengths;
        EXPECT_LE(label.GetWidth(), 250 / W * rowWidth + 0.01f) << lengths;
        ImRect column;
        for (int c = 1; c <= lengths; ++c) {
            column = table.next();
            EXPECT_NEAR(column.GetWidth(), ratios[1] * rowWidth, 0.01f) << lengths;
            EXPECT_GE(column.GetWidth(), 80) << lengths;  // room for "12/12"
            EXPECT_LE(column.GetWidth(), 135 / W * rowWidth + 0.01f) << lengths;
        }
        EXPECT_LE(column.Max.x, 21 + 1218 - 4 + 0.01f) << lengths;
    }
    // A label wider than its column never widens it; the lengths share what is left.
    std::vector<float> ratios = lengthTableRatios(12, W, 1150, 400);
    EXPECT_FLOAT_EQ(ratios[0], 250 / W);
    float sum = 0;
    for (float r : ratios) sum += r;
    EXPECT_LE(sum, 1.0001f);
}

TEST(TimeInGame, StoredTotalPlusTheSecondsSinceTheLastSave) {
    Game game;
    game.progress.secondsPlayed = 70;
    game.lastLevelSaveTime = 1000;
    EXPECT_EQ(timeInGame(game, 1063), 133u);
    EXPECT_EQ(timeInGame(game, 1000), 70u);
    EXPECT_EQ(timeInGame(game, 990), 70u);  // a clock set back adds nothing
}

namespace {

const char* const STAT_LANGUAGE = R"({
  "localization": {"sTitle": "%s: %d%% found", "statHint": "%d%% of the %d-letter words"},
  "game": {"acts": ["ca", "cat", "act", "at", "ta", "tac", "cast"]},
  "stat": {"levelsCount": "1", "usedWords": "0040", "pressCount": "00123"}
})";

}  // namespace

TEST_F(CoreTest, StatisticsShowEachProgressFieldInItsOwnPlace) {
    useLanguage(STAT_LANGUAGE);
    typeWord("cat");
    char out[64];
    statisticsTitle(game, out, sizeof out);
    EXPECT_STREQ(out, "acts: 14% found");  // 1 of 7

    WordLengthStats stats;
    installLevel(game, {"cast", "acts", "scat", "taco", "coat", "oats"}, {"cast", "taco"});
    countWordLengths(game, stats);
    chartHoverText(game, stats, 4, out, sizeof out);
    EXPECT_STREQ(out, "33% of the 4-letter words");

    game.progress.wordsFound = 10;
    game.progress.lettersFound = 37;
    game.progress.secondsPlayed = 65;
    game.lastLevelSaveTime = 5000;
    game.bonusTotal = 4;
    TotalsRow rows[kTotalsRowCount];
    totalsRows(game, rows, 5010);
    const char* expected[kTotalsRowCount][2] = {
        {"passedPerc", "25%"}, {"timeInGame", ""},           {"totalWords", "0040"},
        {"foundWords", "10"},  {"totalPressCount", "00123"}, {"pressCount", "37"},
        {"bonusFound", "4"},
    };
    std::string time = formatDuration(75);
    expected[1][1] = time.c_str();
    for (int i = 0; i < kTotalsRowCount; ++i) {
        EXPECT_STREQ(rows[i].key, expected[i][0]);
        EXPECT_STREQ(rows[i].value, expected[i][1]) << rows[i].key;
    }
}

// French writes "25 %" with a no-break space; the other languages keep "25%".
TEST_F(CoreTest, TotalsPercentFollowsTheLanguagesOwnForm) {
    useLanguage(
        "{\"localization\": {\"percentValue\": \"%d\xc2\xa0%%\"},"
        R"("game": {"acts": ["cat"]}, "stat": {"usedWords": "40"}})");
    game.progress.wordsFound = 10;
    TotalsRow rows[kTotalsRowCount];
    totalsRows(game, rows, 0);
    EXPECT_STREQ(rows[0].value, "25\xc2\xa0%");
}
