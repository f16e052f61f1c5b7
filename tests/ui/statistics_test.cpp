// The statistics screen's counts of the current level by word length.
#include <gtest/gtest.h>

#include <string>

#include "core/words.h"
#include "ui/statistics.h"

namespace {

void installLevel(std::initializer_list<const char*> words, std::initializer_list<const char*> found) {
    levelWords = StringSet{};
    clearFoundList(&foundList);
    int outcome = 0;
    for (const char* w : words) hashPut(levelWords, w, &outcome);
    for (const char* w : found) appendToFoundList(&foundList, w);
}

}  // namespace

TEST(WordLengths, OnlyLengthsWithWordsGetAColumn) {
    installLevel({"cat", "act", "cast", "acts", "scat", "coast", "ta"}, {"cat", "acts", "ta"});
    WordLengthStats stats;
    countWordLengths(stats);
    ASSERT_EQ(stats.lengthColumns, 4);
    EXPECT_EQ(stats.lengths[0], 2);
    EXPECT_EQ(stats.lengths[1], 3);
    EXPECT_EQ(stats.lengths[3], 5);
    EXPECT_EQ(stats.total[4], 3);
    EXPECT_EQ(stats.found[4], 1);
    EXPECT_EQ(stats.maxCount, 3);
}

TEST(WordLengths, CountsCharactersNotBytesAndLeavesOutOverlongWords) {
    std::string overlong(31, 'a');
    installLevel({"кот", "ток", "é", overlong.c_str()}, {"кот", overlong.c_str()});
    WordLengthStats stats;
    countWordLengths(stats);
    EXPECT_EQ(stats.total[3], 2);
    EXPECT_EQ(stats.found[3], 1);
    EXPECT_EQ(stats.total[1], 1);   // counted, but one-letter words get no column
    ASSERT_EQ(stats.lengthColumns, 1);
    EXPECT_EQ(stats.lengths[0], 3);
}

TEST(WordLengths, EmptyLevelAndZeroDenominators) {
    installLevel({}, {});
    WordLengthStats stats;
    countWordLengths(stats);
    EXPECT_EQ(stats.lengthColumns, 0);
    EXPECT_EQ(stats.maxCount, 0);
    EXPECT_EQ(percentOf(5, 0), 0);
    EXPECT_EQ(percentOf(7, 20), 35);
    EXPECT_EQ(percentOf(1, 3), 33);
    EXPECT_EQ(percentOf(2, 6), 33);
}
