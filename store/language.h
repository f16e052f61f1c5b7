#pragma once
// The current language: its data store, where its data file is, and the localized text lookups
// every screen uses.

#include <cstdint>
#include <string>

struct KeyStore;

extern int32_t
    currentLanguage;  // index into the configuration's "lang" array; 0 before any selection
extern int32_t languageCount;  // number of "lang" entries, set when the configuration is loaded
extern KeyStore* langStore;    // data of the selected language; null before the first selection

// No language selected yet, with the languages of the configuration (which may be null).
void resetStore(const KeyStore* configuration);

// The data file of "lang" entry i: its "dbig" file when that exists, else its "data" file.
std::string languageDataPath(int i);

// The "localization" text of key in the current language; "(NULL)" when absent.
const char* localizedText(const char* key);

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
