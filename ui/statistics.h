#pragma once
// What the statistics screen shows: the current level's words by length, the title, the chart's
// hover text, the totals, and the widths of the length table.

#include <cstddef>
#include <cstdint>
#include <vector>

// Lengths 0..29 are tabulated; longer words are left out of the table and the chart.
constexpr int kMaxWordLength = 30;

struct WordLengthStats {
    int total[kMaxWordLength] = {};  // words of the level by length in characters
    int found[kMaxWordLength] = {};  // found words by length
    int maxCount = 0;                // largest entry of total
    int lengthColumns = 0;           // lengths 2..29 with words, in increasing order:
    int lengths[kMaxWordLength] = {};
};

void countWordLengths(Game& game, WordLengthStats& stats);

// part * 100 / whole, truncated; 0 when whole is 0.
int percentOf(long long part, long long whole);

// The title: the language's "sTitle" with the level's letters and the share of its words found.
void statisticsTitle(Game& game, char* out, size_t size);
// The chart's hover text for a length: the language's "statHint" with the share found and the
// length.
void chartHoverText(const Game& game, const WordLengthStats& stats, int length, char* out,
                    size_t size);

// Time in game as the next save on this level would store it: the stored total and the seconds
// since the last save (or the load).
uint32_t timeInGame(Game& game, int32_t now);

// One line of the totals panel: the localization key of its label and the value shown.
struct TotalsRow {
    const char* key;
    char value[256];
};
constexpr int kTotalsRowCount = 7;
void totalsRows(Game& game, TotalsRow rows[kTotalsRowCount], int32_t now);

// Width ratios of the length table (the label column, then one column per length) for a row of
// rowWidth pixels in a window screenWidth wide. The widths 250 and 135 of screenWidth when they
// fit; otherwise the label column narrows to labelWidth, and if that is not enough the length
// columns share the rest evenly.
std::vector<float> lengthTableRatios(int lengthColumns, float screenWidth, float rowWidth,
                                     float labelWidth);
