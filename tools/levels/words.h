// Reading a language's words and the descriptions of them from the installed
// word lists and dictionaries.
#pragma once
#include "tools/levels/languages.h"
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

struct Glossary {
    std::unordered_map<std::string, std::string> descriptions; // row-letter word -> text
    std::unordered_map<std::string, std::string> english;      // row-letter word -> its translation
    std::unordered_set<std::string> nouns;     // capitalised headwords that are common nouns
    std::unordered_set<std::string> offensive; // words a dictionary marks vulgar or slurring
};

struct WordList {
    std::vector<std::string> words; // sorted, distinct, in row letters
};

// Block list lines: a word; a stem followed by '*' that blocks every word it starts;
// or '*' part '*' that blocks every word holding the part. '#' starts a comment.
// Entries are folded like the words.
struct BlockList {
    std::unordered_set<std::string> words;
    std::vector<std::string> stems;
    std::vector<std::string> parts;
    bool blocks(const std::string& word) const;
};

// Folds to row letters and lower case; false when a letter is outside the alphabet.
bool foldWord(const Language& language, const CodePoints& written, CodePoints& folded);
char32_t lowerLetter(char32_t cp);

bool readBlockList(const Language& language, const std::string& path, BlockList& list);
Glossary readGlossary(const Language& language);
WordList readWords(const Language& language, const Glossary& glossary, const BlockList& blocked,
                   size_t maxLetters);
// English: a WordNet gloss for each listed word (inflected forms through their base form).
void describeFromWordNet(const std::vector<std::string>& words, Glossary& glossary);
// Makes a text safe for the game's reader (no double quote, backslash or control byte) and drawable
// with its fonts (comma-separated items holding other characters are left out).
std::string rawSafe(const std::string& text);
