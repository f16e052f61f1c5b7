// Which words of a language a level may ask for, and which a player may type besides them.
#pragma once
#include "tools/levels/block_list.h"
#include "tools/levels/glossary.h"
#include "tools/levels/languages.h"
#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

struct RankedWord {
    std::string word;  // in row letters
    unsigned rank;     // 1 for the most used
};

struct WordList {
    std::vector<std::string> words;  // sorted, distinct, in row letters
    // The rank of each word among the words of the language: the frequency list also
    // counts names, foreign words and other languages' words, which are not among them.
    std::vector<unsigned> ranks;
    // Common forms of the frequency list that are not level words (ranked by their place
    // in that list), and why: the report shows which of them a row would have made.
    std::vector<std::pair<RankedWord, const char*>> refused;
};

// The dictionaries' gate for spelling: the words of `common` (folded) of 2 to `maxLetters`
// letters that the word lists, the bilingual dictionaries or the hunspell forms spell in
// lower case (German nouns with their capital), less those the word lists write only with
// a capital, which are names.
std::unordered_set<std::string> spelledWords(const Language& language, const Glossary& glossary,
                                             const std::vector<std::string>& common,
                                             size_t maxLetters);
// The words of the frequency list that the dictionaries spell so, in lower case
// (German nouns with their capital), that block lists and dictionaries leave alone
// and that have 2 to `maxLetters` letters.
// `english` (the most used English words, with their English rank) are taken only when a
// dictionary of the language describes them or the language uses them more than English
// does: word lists keep many English words and names.
WordList readWords(const Language& language, const Glossary& glossary, const BlockList& blocked,
                   const std::vector<std::string>& common,
                   const std::unordered_map<std::string, unsigned>& english, size_t maxLetters);

// Every word the spelling dictionaries write in lower case, or with a capital when it is one of
// `capitalNouns` (with the forms of formsOf), folded, that is no abbreviation or cry and that
// `wanted` accepts: what a player may type besides a level's own words, once blocked and vulgar
// words are left out. Sorted.
std::vector<std::string> dictionaryWords(const Language& language,
                                         const std::unordered_set<std::string>& capitalNouns,
                                         const std::function<bool(const std::string&)>& wanted);
