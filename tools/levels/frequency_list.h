// The frequency list of a language: its words, most used first.
#pragma once
#include <string>
#include <vector>

// The frequency list: one word a line, the most used first, up to `maxRank` lines;
// empty when it cannot be read.
std::vector<std::string> readFrequencyList(const std::string& path, unsigned maxRank);
// Words the frequency list cannot count (it cuts Ukrainian words at the apostrophe: п'ять),
// each in `path` beside a word of the list that a native reader judged about as common
// ("п'ять<TAB>шість"): each goes into `common` right after that word. Returns the words whose
// neighbour is not in the list (they are left out).
std::vector<std::string> addRankedBeside(const std::string& path, std::vector<std::string>& common);
// Words past this rank of the frequency list are ones a player would not know (only the
// English list is longer).
const unsigned maxWordRank = 20000;
