#include "store/config.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "store/keystore.h"

namespace {

struct StoreDeleter {
    void operator()(KeyStore* store) const { freeKeyStore(store); }
};

struct Read {
    std::unique_ptr<KeyStore, StoreDeleter> store;  // the texts point into it
    Settings settings;
    std::vector<std::string> problems;

    bool said(const std::string& line) const {
        return std::find(problems.begin(), problems.end(), line) != problems.end();
    }
};

Read readFrom(const std::string& json) {
    Read read;
    read.store.reset(parseKeyStore(json.data(), json.size()));
    read.settings = readSettings(read.store.get(), "data/game.dat", &read.problems);
    return read;
}

const char* const kComplete = R"({"width": 1280, "height": 720, "title": "Rows", "windowMode":
  "windowed", "smallFont": "a.ttf", "font": "b.ttf", "smallFontSize": 18, "fontSize": 26,
  "hintCheatCount": 3, "SteamID": 480, "nextLevelPerc": 40, "nextHintWords": 8,
  "bonusWordsPerHint": 4, "blackWords": 300, "blackFinish": 1500})";

TEST(Settings, ACompleteFileReadsEveryValueWithoutAProblem) {
    Read read = readFrom(kComplete);
    EXPECT_TRUE(read.problems.empty()) << read.problems.front();
    const Settings& settings = read.settings;
    EXPECT_EQ(settings.width, 1280);
    EXPECT_EQ(settings.fontSize, 26);
    EXPECT_EQ(settings.steamId, 480);
    EXPECT_EQ(settings.nextLevelPerc, 40);
    EXPECT_EQ(settings.bonusWordsPerHint, 4);
    EXPECT_EQ(settings.blackFinish, 1500);
    EXPECT_STREQ(settings.title, "Rows");
    EXPECT_STREQ(settings.windowMode, "windowed");
    EXPECT_STREQ(settings.font, "b.ttf");
}

TEST(Settings, MissingValuesReadTheirDefaultAndAreNamedWithTheFile) {
    Read read = readFrom(R"({"width": 1280})");
    EXPECT_EQ(read.settings.nextLevelPerc, 0);  // the rules' "0 when absent"
    EXPECT_EQ(read.settings.bonusWordsPerHint, 5);
    EXPECT_EQ(read.settings.height, 0);
    EXPECT_EQ(read.problems.size(), std::size(kIntegerSettings) - 1 + std::size(kTextSettings));
    EXPECT_TRUE(read.said("data/game.dat: \"nextLevelPerc\" is missing; 0 is used"));
    EXPECT_TRUE(read.said("data/game.dat: \"bonusWordsPerHint\" is missing; 5 is used"));
    EXPECT_TRUE(read.said("data/game.dat: \"height\" is missing"));
    EXPECT_TRUE(read.said("data/game.dat: \"title\" is missing; the empty text is used"));
}

TEST(Settings, WrongValuesAreNamedAndReadAsTheGameAlwaysReadThem) {
    Read read = readFrom(R"({"width": -1280, "nextLevelPerc": 150, "fontSize": "26px",
        "blackWords": 99999999999, "nextHintWords": "8", "hintCheatCount": 2 })");
    // Kept as read: a width that is not positive is a window that cannot be made, as before.
    EXPECT_EQ(read.settings.width, -1280);
    EXPECT_EQ(read.settings.nextLevelPerc, 150);
    EXPECT_EQ(read.settings.fontSize, 26);       // its leading digits
    EXPECT_EQ(read.settings.nextHintWords, 8);   // a quoted whole number reads the same
    EXPECT_EQ(read.settings.hintCheatCount, 2);  // a bare token's trailing spaces do not matter
    EXPECT_TRUE(read.said("data/game.dat: \"width\" is -1280, outside 1 to 16384"));
    EXPECT_TRUE(read.said("data/game.dat: \"nextLevelPerc\" is 150, outside 0 to 100"));
    EXPECT_TRUE(
        read.said("data/game.dat: \"fontSize\" is \"26px\", not a whole number; 26 is used"));
    EXPECT_TRUE(std::any_of(read.problems.begin(), read.problems.end(), [](const std::string& l) {
        return l.rfind("data/game.dat: \"blackWords\" is \"99999999999\", not a whole number", 0) ==
               0;
    }));
    for (const std::string& line : read.problems) {
        EXPECT_EQ(line.find("nextHintWords"), std::string::npos) << line;
        EXPECT_EQ(line.find("hintCheatCount"), std::string::npos) << line;
    }
}

}  // namespace
