// The configuration data/game.dat, loaded once at start-up and kept for the life of the program:
// the store for its nested parts (languages, sounds, images, story) and its single values typed
// and checked once (Settings).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/folders.h"

struct KeyStore;

struct Settings {
    int32_t width = 0;
    int32_t height = 0;
    // Texts point into the configuration store; the empty text when absent.
    const char* title = "";
    const char* windowMode = "";  // 'f…' full screen, anything else windowed
    const char* smallFont = "";   // file names in data/font/
    const char* font = "";
    int32_t smallFontSize = 0;
    int32_t fontSize = 0;
    int32_t hintCheatCount = 0;  // words credited toward hints
    int32_t steamId = 0;
    int32_t nextLevelPerc = 0;
    int32_t nextHintWords = 0;
    int32_t blackWords = 0;
    int32_t blackFinish = 0;
    int32_t bonusWordsPerHint = 5;
};

// The one list of the configuration's single values: what the game reads and what
// tools/config/check_config.py checks the shipped file against (it reads these rows, so keep
// their form). An absent integer reads whenAbsent; kRequired marks those the game has no value
// for, which read 0.
constexpr int32_t kRequired = INT32_MIN;
constexpr int32_t kLargest = INT32_MAX;
struct IntegerSetting {
    const char* key;
    int32_t Settings::*field;
    int32_t lowest, highest, whenAbsent;
};
constexpr IntegerSetting kIntegerSettings[] = {
    {"width", &Settings::width, 1, 16384, kRequired},
    {"height", &Settings::height, 1, 16384, kRequired},
    {"smallFontSize", &Settings::smallFontSize, 1, 512, kRequired},
    {"fontSize", &Settings::fontSize, 1, 512, kRequired},
    {"hintCheatCount", &Settings::hintCheatCount, 0, kLargest, 0},
    {"SteamID", &Settings::steamId, 0, kLargest, kRequired},
    {"nextLevelPerc", &Settings::nextLevelPerc, 0, 100, 0},
    {"nextHintWords", &Settings::nextHintWords, 0, kLargest, 0},
    {"blackWords", &Settings::blackWords, 0, kLargest, 0},
    {"blackFinish", &Settings::blackFinish, 0, kLargest, 0},
    {"bonusWordsPerHint", &Settings::bonusWordsPerHint, 1, kLargest, 5},
};
struct TextSetting {
    const char* key;
    const char* Settings::*field;
    bool required;
};
constexpr TextSetting kTextSettings[] = {
    {"title", &Settings::title, false},
    {"windowMode", &Settings::windowMode, true},
    {"smallFont", &Settings::smallFont, true},
    {"font", &Settings::font, true},
};

struct Config {
    Folders folders;
    KeyStore* store = nullptr;
    Settings settings;
};

// Reads game.dat of the data folder; nullptr when the file is missing, does not parse or holds no
// object. loadConfig (app/app.h) sets up the game from it.
KeyStore* readConfig(const Folders& folders);

// The single values of store. A value that is missing, not a whole number or outside its range
// adds a line naming the key and the file to problems; the game goes on with what it read (an
// integer's leading digits, 0 or its whenAbsent when absent), as it always has.
Settings readSettings(const KeyStore* store, const char* file, std::vector<std::string>* problems);
