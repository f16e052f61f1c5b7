#pragma once
// Counting the current level's words by length for the statistics screen.

// Lengths 0..29 are tabulated; longer words are left out of the table and the chart.
constexpr int maxWordLength = 30;

struct WordLengthStats {
    int total[maxWordLength] = {};  // words of the level by length in characters
    int found[maxWordLength] = {};  // found words by length
    int maxCount = 0;               // largest entry of total
    int lengthColumns = 0;          // lengths 2..29 with words, in increasing order:
    int lengths[maxWordLength] = {};
};

void countWordLengths(WordLengthStats& stats);

// part * 100 / whole, truncated; 0 when whole is 0.
int percentOf(long long part, long long whole);
