// The words a level must never ask for: our own block lists and the shared one.
#pragma once
#include "tools/levels/languages.h"
#include <string>
#include <unordered_set>
#include <vector>

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

// Our own list: every entry must be a word of the language (anything else is a typo).
bool readBlockList(const Language& language, const std::string& path, BlockList& list);
// A shared list of one word a line: entries in other scripts or with other signs are skipped.
bool readSharedBlockList(const Language& language, const std::string& path, BlockList& list);
