#include <filesystem>
#include <string>
#include <cstdio>

#include "audio/sounds.h"
#include "core/game.h"
#include "core/level.h"
#include "core/save.h"
#include "core/tray.h"
#include "core/words.h"
#include "core_fixture.h"
#include "store/config.h"
#include "store/keystore.h"
#include "store/language.h"
#include "ui/format.h"
#include "ui/play.h"
#include "ui/screens.h"
#include "ui/ui.h"

namespace {

TEST(FormatDurationTest, FieldsAfterTheFirstHaveTwoDigits) {
    const struct {
        int32_t seconds;
        const char* text;
    } cases[] = {
        {90061, "1:01:01:01"},
        {86400, "1:00:00:00"},
        {86399, "23:59:59"},
        {3600, "1:00:00"},
        {3599, "59:59"},
        {61, "1:01"},
        {60, "1:00"},
        {59, "59"},
        {5, "5"},
        {0, "0"},
        {2147483647, "24855:03:14:07"},
    };
    for (const auto& c : cases) EXPECT_STREQ(formatDuration(c.seconds), c.text) << c.seconds;
}

TEST_F(CoreTest, LocalizedTextFallsBackToNullMarker) {
    EXPECT_STREQ(localizedText(game.langStore.get(), "levelProperty"),
                 "(NULL)");  // no language yet
    useLanguage(SMALL_LANGUAGE);
    EXPECT_STREQ(localizedText(game.langStore.get(), "levelProperty"), "Level");
    EXPECT_STREQ(localizedText(game.langStore.get(), "emptyText"), "");
    EXPECT_STREQ(localizedText(game.langStore.get(), "nope"), "(NULL)");
    EXPECT_STREQ(wordDescription(game.langStore.get(), "cat"), "a small animal");
    EXPECT_EQ(wordDescription(game.langStore.get(), "ca"), nullptr);
}

TEST_F(CoreTest, StoryLookupsStayInsideTheChapter) {
    useLanguage(SMALL_LANGUAGE);
    EXPECT_EQ(storyLength(config.store, "study"), 2);
    EXPECT_EQ(storyLength(config.store, "empty"), 0);
    EXPECT_EQ(storyLength(config.store, "nope"), 0);
    EXPECT_STREQ(storyString(config.store, "study", 1, "image"), "storyStudy2");
    EXPECT_EQ(storyString(config.store, "study", 2, "image"), nullptr);
    EXPECT_EQ(storyString(config.store, "study", -1, "image"), nullptr);
    EXPECT_EQ(storyInt(config.store, "study", 0, "leftPad"), 12);
    EXPECT_EQ(storyInt(config.store, "study", 0, "rightPad"), 0);
    EXPECT_STREQ(storyText(config.store, game.langStore.get(), "study", 1), "(NULL)");
    EXPECT_EQ(storyText(config.store, game.langStore.get(), "nope", 0), nullptr);
}

class LanguageTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        writeFile("data/en.dat",
                  "{\"game\": {\"ab\": [\"ab\", \"ba\"], \"xy\": [\"xy\"]}, \"stat\": "
                  "{\"levelsCount\": \"2\"}}");
        writeFile("data/ru.dat", "{\"game\": {\"йb\": [\"йb\"]}}");
        writeFile("data/en2.dat", "{\"game\": {\"qq\": [\"q\"]}}");
    }
};

TEST_F(LanguageTest, BigDataFileWinsWhileItExists) {
    writeFile("data/en_big.dat", "{\"game\": {\"big\": [\"big\"]}}");
    EXPECT_EQ(selectLanguage(ui, game, 0), 1);
    EXPECT_STREQ(game.letterTray.letterText, "big");
    std::filesystem::remove("data/en_big.dat");
    EXPECT_EQ(selectLanguage(ui, game, 0), 1);
    EXPECT_STREQ(game.letterTray.letterText, "ab");
}

TEST_F(LanguageTest, SelectionAppliesTheStoredRecord) {
    Progress stored{1, 2, StoryStage::Study, 0, 3, 6, 0, 0, 5, 40};
    std::string bytes((const char*)&stored, sizeof stored);  // the test machine is little-endian
    writeFile("save/progress_en.dat", bytes);
    ui.currentScreen = Screen::Language;
    EXPECT_EQ(selectLanguage(ui, game, 0), 1);
    EXPECT_EQ(ui.currentScreen, Screen::MainMenu);
    EXPECT_EQ(game.currentLanguage, 0);
    EXPECT_STREQ(game.letterTray.letterText, "xy");
    EXPECT_EQ(game.levelNumber, 2);
    EXPECT_EQ(game.progress.theme, 5);
    EXPECT_EQ(getMusicVolume(&music), 40);
    EXPECT_EQ(game.progress.wordsFound, 3);
}

TEST_F(LanguageTest, StoredLevelBeyondTheDataFallsBackToTheFirst) {
    Progress stored{};
    stored.levelIndex = 500;
    stored.volume = 100;
    writeFile("save/progress_en.dat", std::string((const char*)&stored, sizeof stored));
    EXPECT_EQ(selectLanguage(ui, game, 0), 1);
    EXPECT_STREQ(game.letterTray.letterText, "ab");
    EXPECT_EQ(game.progress.levelIndex, 0u);
    EXPECT_EQ(game.levelNumber, 1);
}

TEST_F(LanguageTest, ProgressIsSavedBeforeAnotherLanguage) {
    ASSERT_EQ(selectLanguage(ui, game, 0), 1);
    typeWord("ab");
    ASSERT_EQ(selectLanguage(ui, game, 1), 1);
    EXPECT_STREQ(game.letterTray.letterText, "йb");
    EXPECT_EQ(game.progress.wordsFound, 0);
    Progress saved;
    readProgress(game.saves, &saved, "save/progress_en.dat");
    EXPECT_EQ(saved.wordsFound, 1);
    EXPECT_EQ(readFile("save/6162.sav"), "[\"ab\"]");
}

TEST_F(LanguageTest, UnusableDataFileShowsTheLanguageScreenAgain) {
    std::filesystem::remove("data/ru.dat");
    EXPECT_EQ(selectLanguage(ui, game, 1), 0);
    EXPECT_EQ(ui.currentScreen, Screen::Language);
    EXPECT_EQ(game.langStore.get(), nullptr);

    ASSERT_EQ(selectLanguage(ui, game, 0), 1);
    KeyStore* english = game.langStore.get();
    writeFile("data/ru.dat", "{\"game\": ");
    EXPECT_EQ(selectLanguage(ui, game, 1), 0);
    EXPECT_EQ(ui.currentScreen, Screen::Language);
    EXPECT_EQ(game.currentLanguage, 0);
    EXPECT_EQ(game.langStore.get(), english);
    EXPECT_STREQ(game.letterTray.letterText, "ab");
    EXPECT_EQ(selectLanguage(ui, game, 7), 0);
}

TEST_F(LanguageTest, DataWithoutAFirstLevelToInstallIsRefused) {
    ASSERT_EQ(selectLanguage(ui, game, 0), 1);
    typeWord("ab");
    KeyStore* english = game.langStore.get();
    std::string longRow(31, 'b');
    const std::string refused[] = {
        "{\"stat\": {\"levelsCount\": \"1\"}}",
        "{\"game\": {}}",
        "{\"game\": []}",
        "{\"game\": \"йb\"}",
        "{\"game\": {\"" + longRow + "\": [\"b\"]}}",
    };
    for (const std::string& data : refused) {
        writeFile("data/ru.dat", data);
        ui.currentScreen = Screen::MainMenu;
        EXPECT_EQ(selectLanguage(ui, game, 1), 0) << data;
        EXPECT_EQ(ui.currentScreen, Screen::Language);
        EXPECT_EQ(game.currentLanguage, 0);
        EXPECT_EQ(game.langStore.get(), english);
        EXPECT_STREQ(game.letterTray.letterText, "ab");
        EXPECT_EQ(game.levelNumber, 1);
        EXPECT_EQ(game.progress.wordsFound, 1);
    }
    // Words typed afterwards still count for the language in play.
    typeWord("ba");
    EXPECT_EQ(game.progress.wordsFound, 2);
    EXPECT_EQ(saveProgress(game), 1);
    EXPECT_EQ(readFile("save/6162.sav"), "[\"ab\",\"ba\"]");
    EXPECT_FALSE(fileIsThere("save/progress_ru.dat"));
}

// Under AddressSanitizer freed memory waits in quarantine and stays resident.
#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__)
// A player who switches languages all evening: each switch frees the store it replaces, so the
// resident memory after a hundred switches is what it was after the first round.
TEST_F(LanguageTest, HundredLanguageSwitchesKeepMemoryFlat) {
    std::string levels;
    for (int i = 0; i < 3000; ++i)
        levels += (i ? "," : "") + std::string("\"ab") + std::to_string(i) + "\": [\"ab\", \"ba\"]";
    writeFile("data/en.dat", "{\"game\": {" + levels + "}}");
    writeFile("data/ru.dat", "{\"game\": {\"йb\": [\"йb\"], " + levels + "}}");
    auto resident = [] {
        long pages = 0, residentPages = 0;
        FILE* statm = std::fopen("/proc/self/statm", "r");
        if (statm && std::fscanf(statm, "%ld %ld", &pages, &residentPages) != 2) residentPages = 0;
        if (statm) std::fclose(statm);
        return size_t(residentPages) * 4096;
    };
    for (int i = 0; i < 4; ++i) ASSERT_EQ(selectLanguage(ui, game, i % 2), 1);
    const size_t afterFirstRound = resident();
    const size_t oneStore = std::filesystem::file_size("data/en.dat");
    for (int i = 0; i < 100; ++i) ASSERT_EQ(selectLanguage(ui, game, i % 2), 1);
    // Kept stores would add about four times the file each.
    EXPECT_LT(resident(), afterFirstRound + 10 * oneStore)
        << "after the first round " << afterFirstRound << " bytes, after 100 switches "
        << resident();
}
#endif

TEST_F(LanguageTest, StorefrontLanguageSelectsTheLastMatch) {
    EXPECT_EQ(selectLanguageByName(ui, game, "english"), 2);
    EXPECT_EQ(game.currentLanguage, 2);
    EXPECT_STREQ(game.letterTray.letterText, "qq");
    ui.currentScreen = Screen::Language;
    EXPECT_EQ(selectLanguageByName(ui, game, "klingon"), 0);
    EXPECT_EQ(ui.currentScreen, Screen::Language);
}

}  // namespace
