// The descriptions of a language's words, and what the dictionaries say of them (vulgar,
// a noun, spelled in lower case), read from the installed dictionaries and thesauri.
#pragma once
#include "tools/levels/languages.h"
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

// `common` words (in any case, accents kept) narrow the inflected forms described to
// those that begin like one of them; empty describes them all.
// `wordData` is the folder of the fetched and derived word data (see Language::viaRussian).
Glossary readGlossary(const Language& language, const std::vector<std::string>& common = {},
                      const std::string& wordData = "");
