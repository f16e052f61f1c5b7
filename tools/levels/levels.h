// Choosing a language's levels: rows of letters and every word they build.
#pragma once
#include "tools/levels/utf8.h"
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

struct Level {
    std::string row;                 // the letters, shuffled
    std::vector<std::string> words;  // every word the row builds, shorter ones first
    unsigned medianRank = 0;         // of its words in the frequency list
};

struct LevelRules {
    size_t levelCount = 420;
    size_t minWords = 6;
    size_t maxWords = 80;
    size_t minLetters = 2;        // the shortest word a level asks for
    size_t seedsPerLength = 600;  // rows tried per row length
    size_t allSeedsUpTo = 7;      // rows up to this length are all tried
    // The first levels teach the game: short rows whose words are all among the most used.
    size_t earlyLevels = 30;
    size_t earlyMaxWords = 20;
    size_t earlyMaxLetters = 6;
    unsigned earlyMaxRank = 3000;
    // Everyday words a row builds may take an early level up to this many words and up to half
    // again its neighbour's count: an everyday word refused teaches a newcomer that the game
    // is broken, a level with a few more easy words does not.
    size_t earlyMaxWithEveryday = 26;
    CodePoints extraLetters;  // letters added to common words to make more short rows
    // Neighbouring levels differ in word count by at most this share.
    double neighbourStep = 1.0 / 3;
    unsigned seed = 20261207;
    // Level files are named after the row alone, so languages must never share a row:
    // each language takes only rows whose hash leaves its own remainder.
    unsigned rowClass = 0;
    unsigned rowClasses = 1;
};

// `words` are sorted, distinct and spelled with the letters of `alphabet`; `ranks`
// give each word's place in the frequency list and `described` tells which have a
// description. Returns fewer levels than asked when the words do not allow more.
std::vector<Level> chooseLevels(const CodePoints& alphabet, const std::vector<std::string>& words,
                                const std::vector<unsigned>& ranks,
                                const std::vector<bool>& described, const LevelRules& rules);

// The letter multisets of minLetters or more letters that some level's row holds, as a test of
// a word spelled with the alphabet's letters: true when some row builds it.
std::function<bool(const std::string&)> builtBySomeRow(const CodePoints& alphabet,
                                                       const std::vector<Level>& levels,
                                                       size_t minLetters);

// The words of `words` (distinct, spelled with the letters of `alphabet`) that each level's row
// builds and the level does not list, in the order of `words`.
std::vector<std::vector<std::string>> otherWords(const CodePoints& alphabet,
                                                 const std::vector<Level>& levels,
                                                 const std::vector<std::string>& words,
                                                 size_t minLetters);

// Adds to each level the words of `words` (as for otherWords) that its row builds and it does
// not list yet, where the level keeps the rules it was chosen by (its size, the step from its
// neighbours, at most half its words shared with them). Returns the words a level had no room
// for, once per such level.
std::vector<std::string> addBuiltWords(const CodePoints& alphabet, std::vector<Level>& levels,
                                       const std::vector<std::string>& words,
                                       const LevelRules& rules);

// True when a row could be typed as one of the words letter by letter, left to right.
bool spellsWord(const std::string& row, const std::vector<std::string>& words);
// The row class a row belongs to (FNV-1a of its bytes, modulo the number of classes).
unsigned rowClassOf(const std::string& row, unsigned classes);
