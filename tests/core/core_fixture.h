#pragma once
// A scratch working directory with data/ and save/, a small configuration and
// a fresh game, for tests that run the core headless.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app.h"
#include "audio/sounds.h"
#include "core/game.h"
#include "gfx/image.h"
#include "ui/ui.h"

struct KeyStore;

// Two levels of plain words (acts, aab) and one with a Cyrillic letter (йb); "stat" says 3 levels.
// Row acts also builds the bonus words sat, cats and scat.
extern const char* const SMALL_LANGUAGE;

class CoreTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Parses json as the current language and installs level i.
    void useLanguage(const char* json, int level = 0);
    // Types each letter of word through the row and runs the word check after each.
    void typeWord(const char* word);

    // Parses json into a store that lives until the end of the test.
    KeyStore* parseJson(const char* json);
    // Parses json as the configuration, its single values read as start-up reads them.
    void useConfig(const char* json);

    App testApp;
    // The records main owns, the test's own: its configuration (useConfig), the screens' assets
    // (nothing loaded) and the game it plays, fresh for each.
    Config config;
    ImageAssets images;
    SoundAssets sounds;
    MusicPlayer music;
    Ui ui;
    Game game;

private:
    std::string directory_;
    std::string previousDirectory_;
    std::vector<KeyStore*> stores_;
};

void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);
bool fileIsThere(const std::string& path);
