// What the content builder knows about each language: where its words and
// translations come from, which letters its rows use and how keys reach them.
#pragma once
#include "utf8.h"
#include <map>
#include <string>
#include <utility>
#include <vector>

struct Language {
    std::string code;
    unsigned index = 0;                    // place among the languages
    std::vector<std::string> wordLists;    // one word per line; hunspell .dic lines are cut at '/'
    CodePoints alphabet;                   // the lower-case letters a row may hold
    CodePoints vowels;                     // a word without one is an abbreviation or a cry
    std::map<char32_t, CodePoints> folds;  // letters written as others (accents, ß)
    // Folded letters that level words still show where the dictionary and the frequency list
    // write them (ё: the row holds е), and the plain spellings that are words of their own.
    CodePoints shownMarks;
    std::vector<std::string> plainHomographs;
    std::vector<std::pair<std::string, std::string>> charmap;  // key name -> letter
    bool capitalNouns = false;     // nouns start with a capital and are still ordinary words
    bool wordnet = false;          // descriptions from WordNet
    std::string thesaurus;         // a thesaurus in the language (synonyms describe a word)
    std::string translationLabel;  // before an English gloss: "англ.:"
    std::string toEnglish;         // dictd base path of a <lang>-eng dictionary, or empty
    std::vector<std::string> fromEnglish;  // dictd base paths of eng-<lang> dictionaries
    std::string viaGerman;  // dictd base path of a deu-<lang> dictionary, read through deu-eng
    // A file of the word data folder pairing the language's lemmas with Russian ones, which
    // the Russian dictionaries translate into English: "<lemma>\t<Russian lemma>" lines.
    std::string viaRussian;
    std::string inflections;  // hunspell base path whose suffix rules inflect the translated words
    std::string formsOf;      // hunspell base path whose forms the word lists lack
    bool latin2 = false;      // that hunspell dictionary is written in ISO 8859-2
};

// How many languages have a recipe: their rows are shared out among them by index.
unsigned languageCount();

// Null for an unknown code.
const Language* findLanguage(const std::string& code);
