#pragma once
// The current language: its data store, the switch to another language, the
// localized text lookups every screen uses, and the duration formatter.

#include <cstdint>

struct App;
struct KeyStore;

extern int32_t currentLanguage;   // index into the configuration's "lang" array; 0 before any selection
extern int32_t languageCount;     // number of "lang" entries, set when the configuration is loaded
extern KeyStore *langStore;       // data of the selected language; null before the first selection

// Makes "lang" entry i current: saves the progress of the language being left,
// loads the entry's data file, its progress record, theme, music volume and level,
// and lands on the main menu. When the data file is missing, does not parse or
// has no first level that can be installed, the previous language stays current
// and the language screen is shown again.
// Returns 1 when entry i is now current, else 0.
int selectLanguage(App *app, int i);

// Start-up selection by the storefront's language name: every entry whose "long"
// name equals it is selected in turn, so the last match remains. Returns the
// number of matching entries.
int selectLanguageByName(App *app, const char *longName);

// Loads a language data file into langStore and installs its level 0.
// Returns the new store, or null (langStore, the level and the progress
// unchanged) when it cannot be loaded or its level 0 cannot be installed.
KeyStore *loadLanguageData(const char *path);

// The "localization" text of key in the current language; "(NULL)" when absent.
const char *localizedText(const char *key);

// The "descr" member word of store, or null.
const char *wordDescription(const KeyStore *store, const char *word);

// Story chapters live in the configuration ("story" → chapter → pages).
int storyLength(const KeyStore *storyStore, const char *chapter);
const char *storyString(const KeyStore *storyStore, const char *chapter, int i, const char *key);
int storyInt(const KeyStore *storyStore, const char *chapter, int i, const char *key);
// The page's "text" key looked up in textStore's "localization"; null when the
// page has no "text", "(NULL)" when the text store lacks that key.
const char *storyText(const KeyStore *storyStore, const KeyStore *textStore, const char *chapter, int i);

// d:hh:mm:ss, h:mm:ss, m:ss or s. The result lives in a static buffer that the
// next call overwrites.
const char *formatDuration(int32_t seconds);
