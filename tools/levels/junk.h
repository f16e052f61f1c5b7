// Frequency lists count names, words typed without their marks and other languages' words as
// words of the language; these rules find such entries among the words a level may ask for.
#pragma once
#include "tools/levels/word_selection.h"
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

struct JunkEvidence {
    std::unordered_map<std::string, unsigned> rank;  // frequency list rank of the bare words
    // The best rank of the words with marks the row keeps, under their bare spelling.
    std::unordered_map<std::string, unsigned> markedTwinRank;
    std::unordered_set<std::string> headwords;     // the language dictionary's headwords
    std::unordered_set<std::string> names;         // word-list entries with a capital, lowered
    std::unordered_set<std::string> englishNames;  // English frequency list entries only with a
                                                   // capital (names in its subtitles), lowered
};

// Why word (in row letters) is no word a player would take for the language's own; null when
// it is. A name: English subtitles write it only with a capital, the language's word list has
// it as a name, and its dictionary has no such headword (Polish henry, milo). A word typed without
// its marks: its marked twin is used fifteen times as often and the dictionary has no such headword
// (Polish tez for też).
const char* junkReason(const std::string& word, const JunkEvidence& evidence);

// The evidence for language from its word lists and dictionary, the frequency list `common`
// and the English one `english` (most used first, as written). None for a language without
// a dictionary of headwords.
JunkEvidence readJunkEvidence(const Language& language, const std::vector<std::string>& common,
                              const std::vector<std::string>& english);

// Moves the words junkReason refuses from list.words to list.refused.
void refuseJunk(WordList& list, const JunkEvidence& evidence);
