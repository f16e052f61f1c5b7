#pragma once
// Where a language's data file is, and the localized text lookups every screen uses.

#include <cstdint>
#include <string>

struct Config;
struct KeyStore;

// The data file of "lang" entry i: its "dbig" file when that exists, else its "data" file.
std::string languageDataPath(const Config& config, int i);

// The "localization" text of key in langStore (a language's data); "(NULL)" when absent.
const char* localizedText(const KeyStore* langStore, const char* key);

// The "descr" member word of store, or null.
const char* wordDescription(const KeyStore* store, const char* word);
// How the language spells word, typed without its marks: the "spelled" member word of store,
// else word itself. Saves hold words as typed, so any save shows them spelled so.
const char* spelledWord(const KeyStore* store, const char* word);

// Story chapters live in the configuration ("story" → chapter → pages).
int storyLength(const KeyStore* storyStore, const char* chapter);
const char* storyString(const KeyStore* storyStore, const char* chapter, int i, const char* key);
int storyInt(const KeyStore* storyStore, const char* chapter, int i, const char* key);
// The page's "text" key looked up in textStore's "localization"; null when the
// page has no "text", "(NULL)" when the text store lacks that key.
const char* storyText(const KeyStore* storyStore, const KeyStore* textStore, const char* chapter,
                      int i);
