#include "core_fixture.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "core/game.h"
#include "core/level.h"
#include "core/tray.h"
#include "core/words.h"
#include "store/config.h"
#include "store/keystore.h"
#include "store/language.h"
#include "ui/play.h"
#include "ui/screens.h"
#include "ui/ui.h"

const char* const SMALL_LANGUAGE = R"({
  "localization": {"levelProperty": "Level", "emptyText": ""},
  "charmap": {"q": "й", "w": "ab", "\\": "й"},
  "game": {
    "acts": ["ca", "cat", "act", "at", "ta", "tac", "cast"],
    "aab": ["ab", "ba", "aab", "ab"],
    "йb": ["йb", "bй"]
  },
  "bonus": {"acts": ["sat", "cats", "scat"], "aab": []},
  "descr": {"cat": "a small animal"},
  "stat": {"levelsCount": "3", "usedWords": "12", "pressCount": "30"}
})";

static const char* const TEST_CONFIG = R"({
  "windowMode": "windowed",
  "nextLevelPerc": 60, "nextHintWords": 5, "hintCheatCount": 3,
  "blackWords": 10, "blackFinish": 20,
  "lang": [
    {"long": "english", "dbig": "en_big.dat", "data": "en.dat", "save": "progress_en.dat", "pic": "lang_en.png"},
    {"long": "russian", "dbig": "ru_big.dat", "data": "ru.dat", "save": "progress_ru.dat", "pic": "lang_ru.png"},
    {"long": "english", "data": "en2.dat", "save": "progress_en2.dat"}
  ],
  "story": {
    "study": [{"image": "storyStudy1", "leftPad": "12", "text": "storyStudy1"}, {"image": "storyStudy2", "text": "missingKey"}],
    "empty": []
  }
})";

KeyStore* CoreTest::parseJson(const char* json) {
    KeyStore* store = parseKeyStore(json, std::strlen(json));
    stores_.push_back(store);
    return store;
}

void CoreTest::useConfig(const char* json) {
    config.store = parseJson(json);
    std::vector<std::string> problems;
    config.settings = readSettings(config.store, "game.dat", &problems);
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool fileIsThere(const std::string& path) {
    return std::filesystem::exists(path);
}

void CoreTest::SetUp() {
    std::error_code error;
    std::filesystem::path base = std::filesystem::temp_directory_path(error);
    ASSERT_FALSE(error) << error.message();
    std::random_device random;
    do {
        directory_ = (base / ("core_test_" + std::to_string(random()))).string();
    } while (!std::filesystem::create_directory(directory_, error) && !error);
    ASSERT_FALSE(error) << error.message();
    previousDirectory_ = std::filesystem::current_path().string();
    std::filesystem::current_path(directory_, error);
    ASSERT_FALSE(error) << error.message();
    std::filesystem::create_directory("data");
    std::filesystem::create_directory("save");

    useConfig(TEST_CONFIG);
    ASSERT_NE(config.store, nullptr);
    ui.assets = {&config, &images, nullptr, nullptr, &sounds, &music};
    testApp.ui = &ui;
    resetUi(ui);
    resetCore(game, config);
}

void CoreTest::TearDown() {
    for (KeyStore* store : stores_) freeKeyStore(store);
    std::error_code error;
    std::filesystem::current_path(previousDirectory_, error);
    ASSERT_FALSE(error) << error.message();
    std::filesystem::remove_all(directory_, error);
}

void CoreTest::useLanguage(const char* json, int level) {
    game.langStore.reset(parseKeyStore(json, std::strlen(json)));
    ASSERT_NE(game.langStore, nullptr);
    game.progress.levelIndex = static_cast<uint32_t>(level);
    ASSERT_EQ(loadLevel(game, game.langStore.get(), level), 1);
}

void CoreTest::typeWord(const char* word) {
    for (const char* p = word; *p;) {
        int length = 1;
        while ((p[length] & 0xC0) == 0x80) length++;
        std::string letter(p, static_cast<size_t>(length));
        if (typeCharacter(&game.letterTray, letter.c_str())) checkTypedWord(ui, game);
        p += length;
    }
}
