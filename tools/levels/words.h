// Reading a language's words and the descriptions of them from the installed
// word lists and dictionaries.
#pragma once
#include "tools/levels/languages.h"
#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

struct Glossary {
    std::unordered_map<std::string, std::string> descriptions;  // row-letter word -> text
    std::unordered_map<std::string, std::string> english;  // row-letter word -> its translation
    std::unordered_set<std::string> nouns;  // capitalised headwords that are common nouns
    std::unordered_set<std::string>
        offensive;  // words every sense of which a dictionary marks vulgar or slurring
    std::unordered_set<std::string> ordinary;    // words a dictionary gives a sense not so marked
    std::unordered_set<std::string> translated;  // descriptions that are an English translation
    std::unordered_set<std::string> spelled;     // words the dictionaries write in lower case
};

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

// Block list lines: a word; a stem followed by '*' that blocks every word it starts;
// or '*' part '*' that blocks every word holding the part; '!' word: a word the shared
// list's forms must not take (Italian "caccia" beside "cacca"). '#' starts a comment.
// Entries are folded like the words. A shared list names words in their dictionary
// form only, so each of its words also blocks its forms: English ones the word plus
// -s, -es, -ed, -ing; others the word less its final vowels (at least four letters
// kept) plus an ending of up to three letters that starts with a vowel.
struct BlockList {
    std::unordered_set<std::string> words;
    std::vector<std::string> stems;
    std::vector<std::string> parts;
    std::unordered_set<std::string> allowed;
    std::vector<CodePoints> forms;
    CodePoints vowels;            // of the language, for the endings of forms
    bool englishEndings = false;  // forms add English suffixes to the whole word
    bool blocks(const std::string& word) const;
};

// Folds to row letters and lower case; false when a letter is outside the alphabet.
bool foldWord(const Language& language, const CodePoints& written, CodePoints& folded);
char32_t lowerLetter(char32_t cp);

// Our own list: every entry must be a word of the language (anything else is a typo).
bool readBlockList(const Language& language, const std::string& path, BlockList& list);
// A shared list of one word a line: entries in other scripts or with other signs are skipped.
bool readSharedBlockList(const Language& language, const std::string& path, BlockList& list);
// `common` words (in any case, accents kept) narrow the inflected forms described to
// those that begin like one of them; empty describes them all.
// `wordData` is the folder of the fetched and derived word data (see Language::viaRussian).
Glossary readGlossary(const Language& language, const std::vector<std::string>& common = {},
                      const std::string& wordData = "");
// The first three letters of each word, in lower case.
std::unordered_set<std::string> beginningsOf(const std::vector<std::string>& words);
// The frequency list: one word a line, the most used first, up to `maxRank` lines;
// empty when it cannot be read.
std::vector<std::string> readFrequencyList(const std::string& path, unsigned maxRank);
// A text per word ("<word><TAB><text>" lines, # comments): our own descriptions of level
// words, and the spellings a native reader chose to show for some.
std::map<std::string, std::string> readWordTable(const std::string& path);
// Words one a line as a native reader writes them, marks included: each folded as a row types
// it → its written form. The everyday words every row that builds them lists (`.everyday`:
// French toi, Russian сено) and those the spelling dictionaries lack, taken as bonus words
// (`.more`: Italian euro).
std::map<std::string, std::string> readWrittenWords(const Language& language,
                                                    const std::string& path);
// Words the frequency list cannot count (it cuts Ukrainian words at the apostrophe: п'ять),
// each in `path` beside a word of the list that a native reader judged about as common
// ("п'ять<TAB>шість"): each goes into `common` right after that word. Returns the words whose
// neighbour is not in the list (they are left out).
std::vector<std::string> addRankedBeside(const std::string& path, std::vector<std::string>& common);
// Words past this rank of the frequency list are ones a player would not know (only the
// English list is longer).
const unsigned maxWordRank = 20000;

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
// English: a WordNet gloss for each listed word (inflected forms through their base form).
// The level words whose spelling keeps a letter the rows write plainly (ё): each folded word the
// frequency list also writes with the mark, mapped to that spelling, unless only the plain one is
// a dictionary entry. Empty for a language without such letters.
std::map<std::string, std::string> writtenForms(const Language& language,
                                                const std::vector<std::string>& common);

// Every word the spelling dictionaries write in lower case, or with a capital when it is one of
// `capitalNouns` (with the forms of formsOf), folded, that is no abbreviation or cry and that
// `wanted` accepts: what a player may type besides a level's own words, once blocked and vulgar
// words are left out. Sorted.
std::vector<std::string> dictionaryWords(const Language& language,
                                         const std::unordered_set<std::string>& capitalNouns,
                                         const std::function<bool(const std::string&)>& wanted);

void describeFromWordNet(const std::vector<std::string>& words, Glossary& glossary);
// Makes a text safe for the game's reader (no double quote, backslash or control byte) and drawable
// with its fonts (comma-separated items holding other characters are left out).
std::string rawSafe(const std::string& text);
