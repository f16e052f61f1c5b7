// Writing a language's words in row letters: lower case, marks folded as the rows type them.
#pragma once
#include "tools/levels/languages.h"
#include <string>
#include <unordered_set>
#include <vector>

// Folds to row letters and lower case; false when a letter is outside the alphabet.
bool foldWord(const Language& language, const CodePoints& written, CodePoints& folded);
char32_t lowerLetter(char32_t cp);
// A written word (any case, UTF-8) in row letters; false when it is empty, malformed or has a
// letter outside the alphabet.
bool foldKey(const Language& language, const std::string& written, std::string& key);
// The first three letters of a word, in lower case.
std::string beginning(const std::string& word);
bool startsLower(const std::string& word);
// The first three letters of each word, in lower case.
std::unordered_set<std::string> beginningsOf(const std::vector<std::string>& words);
