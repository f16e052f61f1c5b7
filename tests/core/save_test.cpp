#include <chrono>
#include <ctime>
#include <filesystem>
#include <string>
#include <thread>

#include "core/game.h"
#include "core/level.h"
#include "core/save.h"
#include "core/tray.h"
#include "core/words.h"
#include "core_fixture.h"
#include "store/config.h"
#include "store/language.h"
#include "ui/play.h"

namespace {

std::string pathFor(const char* row) {
    LetterTray tray;
    initLetterTray(&tray);
    setLevelLetters(&tray, row);
    char path[kLevelPathBytes];
    levelSavePath(path, Folders(), &tray);
    return path;
}

TEST(LevelSavePathTest, RowBytesAsLowerCaseHex) {
    EXPECT_EQ(pathFor("abc"), "save/616263.sav");
    EXPECT_EQ(pathFor("é"), "save/c3a9.sav");
    std::string widest;
    for (int k = 0; k < 29; k++) widest += "я";  // 58 bytes
    widest += "z";
    EXPECT_EQ(pathFor(widest.c_str()).size(), 127u);
}

TEST_F(CoreTest, ProgressFileIsFortyLittleEndianBytes) {
    useLanguage(SMALL_LANGUAGE, 0);
    game.progress = Progress{2, 3, StoryStage::BlackEnd, 5, 0x01020304, -2, 7, 9, 1, 80};
    game.lastLevelSaveTime = static_cast<int32_t>(std::time(nullptr)) + 1000;  // no time passes
    saveProgress(game);
    const unsigned char expected[40] = {2, 0, 0, 0, 3, 0, 0,    0,    4,    0,    0, 0, 5, 0,
                                        0, 0, 4, 3, 2, 1, 0xFE, 0xFF, 0xFF, 0xFF, 7, 0, 0, 0,
                                        0, 0, 0, 0, 1, 0, 0,    0,    80,   0,    0, 0};
    EXPECT_EQ(readFile("save/progress_en.dat"), std::string((const char*)expected, 40));
    EXPECT_EQ(game.progress.windowModeNumber, 0);  // "windowed" has no leading digits
}

TEST_F(CoreTest, SaveRaisesLevelsOpenToTheCurrentLevel) {
    useLanguage(SMALL_LANGUAGE, 2);
    game.progress.levelsOpen = 1;
    EXPECT_EQ(saveProgress(game), 0);  // no found words: no level file
    EXPECT_EQ(game.progress.levelsOpen, 2u);
    EXPECT_FALSE(fileIsThere(pathFor("йb")));
}

TEST_F(CoreTest, LevelFileListsFoundWordsAndRestoresThem) {
    useLanguage(SMALL_LANGUAGE, 1);  // "aab"
    typeWord("ab");
    typeWord("ba");
    EXPECT_EQ(saveProgress(game), 1);
    EXPECT_EQ(readFile("save/616162.sav"), "[\"ab\",\"ba\"]");

    ASSERT_EQ(loadLevel(game, game.langStore.get(), 1), 1);
    ASSERT_EQ(game.foundList.words.size(), 2u);
    EXPECT_STREQ(game.foundList.words[0], "ab");
    EXPECT_STREQ(game.foundList.words[1], "ba");
    EXPECT_EQ(game.progress.wordsFound, 2);  // restored words are not counted again
}

// Bonus words follow the level's words in its file; the file of an older game (level words
// only) still loads, and the language's bonus count is read back from the level files.
TEST_F(CoreTest, BonusWordsAreKeptInTheLevelFile) {
    useLanguage(SMALL_LANGUAGE, 0);
    char path[kLevelPathBytes];
    levelSavePath(path, config.folders, &game.letterTray);
    typeWord("sat");
    submitWord(game);
    ASSERT_EQ(saveProgress(game), 1);  // a bonus word alone is worth a level file
    EXPECT_EQ(readFile(path), "[\"sat\"]");
    typeWord("ca");
    typeWord("scat");
    submitWord(game);
    saveProgress(game);
    EXPECT_EQ(readFile(path), "[\"ca\",\"sat\",\"scat\"]");

    ASSERT_EQ(loadLevel(game, game.langStore.get(), 0), 1);
    ASSERT_EQ(game.bonusList.words.size(), 2u);
    EXPECT_STREQ(game.bonusList.words[1], "scat");
    EXPECT_EQ(game.foundList.words.size(), 1u);
    EXPECT_EQ(game.levelFoundCount, 1);
    EXPECT_EQ(countSavedBonusWords(game), 2);

    writeFile(path, "[\"ca\",\"at\"]");
    ASSERT_EQ(loadLevel(game, game.langStore.get(), 0), 1);
    EXPECT_EQ(game.foundList.words.size(), 2u);
    EXPECT_TRUE(game.bonusList.words.empty());
    EXPECT_EQ(countSavedBonusWords(game), 0);
}

TEST_F(CoreTest, ProgressFileOfTheWrongSizeIsIgnored) {
    Progress record;
    for (size_t size : {0, 39, 41}) {
        writeFile("save/p.dat", std::string(size, '\x01'));
        readProgress(game.saves, &record, "save/p.dat");
        EXPECT_EQ(record.levelIndex, 0u) << size;
        EXPECT_EQ(record.volume, 100) << size;
    }
    writeFile("save/p.dat", std::string(40, '\x01'));
    readProgress(game.saves, &record, "save/p.dat");
    EXPECT_EQ(record.volume, 0x01010101);
    readProgress(game.saves, &record, "save/missing.dat");
    EXPECT_EQ(record.volume, 100);
    EXPECT_EQ(record.theme, 0);
}

// The choice of how words are taken outlives the game; a file it cannot use changes nothing and is
// kept aside when the choice is saved again.
TEST_F(CoreTest, WordEntryIsKeptInTheOptionsFile) {
    readOptions(game);  // none yet
    EXPECT_EQ(game.wordEntry, WordEntry::AsTyped);
    game.wordEntry = WordEntry::OnEnter;
    ASSERT_EQ(saveOptions(game), 1);
    game.wordEntry = WordEntry::AsTyped;
    readOptions(game);
    EXPECT_EQ(game.wordEntry, WordEntry::OnEnter);

    for (const std::string& bad :
         {std::string("\x02\0\0\0", 4), std::string("\x01\0\0", 3), std::string("\x01\0\0\0\0", 5),
          std::string("\x01\0\x01\0", 4)}) {
        writeFile("save/options.dat", bad);
        game.wordEntry = WordEntry::AsTyped;
        readOptions(game);
        EXPECT_EQ(game.wordEntry, WordEntry::AsTyped) << bad.size();
    }
    ASSERT_EQ(saveOptions(game), 1);
    EXPECT_EQ(readFile("save/options.dat.bad"), std::string("\x01\0\x01\0", 4));
    EXPECT_EQ(readFile("save/options.dat"), std::string(4, '\0'));
}

TEST_F(CoreTest, TwoSavesOnOneLevelCountItsTimeOnce) {
    useLanguage(SMALL_LANGUAGE, 0);
    int32_t loaded = game.levelStartTime;
    game.lastLevelSaveTime = static_cast<int32_t>(std::time(nullptr)) - 100;
    saveProgress(game);
    EXPECT_GE(game.progress.secondsPlayed, 100u);
    EXPECT_LE(game.progress.secondsPlayed, 102u);
    saveProgress(game);
    EXPECT_LE(game.progress.secondsPlayed, 102u);
    EXPECT_EQ(game.levelStartTime, loaded);  // the level timer still counts from the load
}

TEST_F(CoreTest, FailingWriteLeavesThePreviousFile) {
    useLanguage(SMALL_LANGUAGE, 1);
    typeWord("ab");
    ASSERT_EQ(saveProgress(game), 1);
    const std::string record = readFile("save/progress_en.dat");
    typeWord("ba");
    // A directory where the level's temporary file would go makes its write fail; the record
    // is then not written either, or it would count a word its level file lacks.
    std::filesystem::create_directory("save/616162.sav.tmp");
    EXPECT_EQ(saveProgress(game), 0);
    EXPECT_EQ(readFile("save/616162.sav"), "[\"ab\"]");
    EXPECT_EQ(readFile("save/progress_en.dat"), record);
}

TEST_F(CoreTest, SaveFilesThatCouldNotBeReadAreMovedAsideOnce) {
    // A folder in place of the level file cannot be read; a 39-byte record is not a record.
    std::filesystem::create_directories("save/616162.sav/inside");
    writeFile("save/progress_en.dat", std::string(39, '\x07'));
    writeFile("save/progress_en.dat.bad", "an older bad file");
    writeFile("save/616162.sav.bad", "an older bad file, where a folder goes now");
    useLanguage(SMALL_LANGUAGE, 1);
    readProgress(game.saves, &game.progress, "save/progress_en.dat");
    EXPECT_EQ(game.progress.volume, 100);
    typeWord("ab");

    testing::internal::CaptureStderr();
    EXPECT_EQ(saveProgress(game), 1);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("save/616162.sav could not be read; it is kept as save/616162.sav.bad"),
              std::string::npos)
        << said;
    EXPECT_NE(
        said.find("save/progress_en.dat could not be read; it is kept as save/progress_en.dat.bad"),
        std::string::npos)
        << said;
    EXPECT_TRUE(fileIsThere("save/616162.sav.bad/inside"));
    EXPECT_EQ(readFile("save/progress_en.dat.bad"), std::string(39, '\x07'));
    EXPECT_EQ(readFile("save/616162.sav"), "[\"ab\"]");
    EXPECT_EQ(readFile("save/progress_en.dat").size(), 40u);

    // The new files are the game's own: the next save replaces them and keeps the .bad files.
    typeWord("ba");
    testing::internal::CaptureStderr();
    EXPECT_EQ(saveProgress(game), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(readFile("save/616162.sav"), "[\"ab\",\"ba\"]");
    EXPECT_EQ(readFile("save/progress_en.dat.bad"), std::string(39, '\x07'));
}

TEST_F(CoreTest, UnreadableFileThatCannotBeMovedAsideIsNotReplaced) {
    // A save name of 252 bytes is valid, but its .bad name is longer than any file name may be.
    std::string name(252, 'p');
    useConfig(("{\"lang\": [{\"save\": \"" + name + "\"}]}").c_str());
    std::string path = "save/" + name;
    writeFile(path, "short");
    useLanguage(SMALL_LANGUAGE, 0);
    readProgress(game.saves, &game.progress, path.c_str());
    testing::internal::CaptureStderr();
    EXPECT_EQ(saveProgress(game), 0);
    EXPECT_NE(
        testing::internal::GetCapturedStderr().find("cannot be moved aside; it is not replaced"),
        std::string::npos);
    EXPECT_EQ(readFile(path), "short");
}

TEST_F(CoreTest, SaveWithoutASaveDirectoryFailsQuietly) {
    useLanguage(SMALL_LANGUAGE, 1);
    typeWord("ab");
    std::filesystem::remove_all("save");
    EXPECT_EQ(saveProgress(game), 0);
    EXPECT_EQ(game.progress.wordsFound, 1);
}

TEST_F(CoreTest, WordsThatWouldBreakTheLevelFileAreLeftOut) {
    useLanguage(R"({"game": {'ab"': ["ab", 'a"b', "a\\b", "ba"]}})", 0);
    EXPECT_EQ(game.levelWords.size, 2u);
    typeWord("a\"b");
    EXPECT_EQ(game.levelFoundCount, 0);
    clearTypedWord(&game.letterTray);
    typeWord("ab");
    EXPECT_EQ(saveProgress(game), 1);
    EXPECT_EQ(readFile("save/616222.sav"), "[\"ab\"]");
}

// A save holds words as typed; the spelling shown comes from the language data, so a save
// written before the data had spellings shows them too.
TEST_F(CoreTest, WordsTypedWithoutMarksAreSavedAsTypedAndShownAsSpelled) {
    const char* language = R"({"game": {"aid": ["dia", "ad"], "xy": ["xy"]},
                               "spelled": {"dia": "día"}, "stat": {"levelsCount": "2"}})";
    useLanguage(language, 0);
    writeFile("save/616964.sav", "[\"dia\"]");
    ASSERT_EQ(loadLevel(game, game.langStore.get(), 0), 1);
    ASSERT_EQ(game.foundList.words.size(), 1u);
    EXPECT_STREQ(spelledWord(game.langStore.get(), game.foundList.words[0]), "día");

    typeWord("ad");
    EXPECT_EQ(saveProgress(game), 1);
    EXPECT_EQ(readFile("save/616964.sav"), "[\"dia\",\"ad\"]");
    EXPECT_STREQ(spelledWord(game.langStore.get(), "ad"), "ad");
    EXPECT_EQ(spelledWord(game.langStore.get(), nullptr), nullptr);
}

// A level file written before its words kept their ё holds them plain: they are still found.
TEST_F(CoreTest, WordsSavedWithoutTheirFoldedLettersAreRestored) {
    const char* language = R"({"fold": {"ё": "е"}, "game": {"жеае": ["её", "ёж", "ежа"]},
                               "stat": {"levelsCount": "1"}})";
    useLanguage(language, 0);
    writeFile(pathFor("жеае"), "[\"еж\",\"ежа\"]");
    ASSERT_EQ(loadLevel(game, game.langStore.get(), 0), 1);
    ASSERT_EQ(game.foundList.words.size(), 2u);
    EXPECT_STREQ(game.foundList.words[0], "ёж");
    EXPECT_STREQ(game.foundList.words[1], "ежа");
}

TEST_F(CoreTest, RestoreTakesOnlyLevelWordsOnce) {
    useLanguage(SMALL_LANGUAGE, 1);
    writeFile("save/616162.sav", "[\"ba\",1,[\"ab\"],{\"x\":\"ab\"},\"zz\",\"ba\",'aab',\"ab\"]");
    ASSERT_EQ(loadLevel(game, game.langStore.get(), 1), 1);
    ASSERT_EQ(game.foundList.words.size(), 3u);
    EXPECT_STREQ(game.foundList.words[0], "ba");
    EXPECT_STREQ(game.foundList.words[1], "aab");
    EXPECT_STREQ(game.foundList.words[2], "ab");
    EXPECT_EQ(game.levelFoundCount, 3);
}

TEST_F(CoreTest, LevelFileThatDoesNotParseIsMovedAsideNotReplaced) {
    useLanguage(SMALL_LANGUAGE, 0);
    for (const char* bytes : {"[\"ab\",\"ba", "", "{\"ab\": 1}"}) {
        writeFile("save/616162.sav", bytes);
        ASSERT_EQ(loadLevel(game, game.langStore.get(), 1), 1);
        EXPECT_EQ(game.levelFoundCount, 0);
        typeWord("ab");
        testing::internal::CaptureStderr();
        EXPECT_EQ(saveProgress(game), 1);
        EXPECT_NE(testing::internal::GetCapturedStderr().find(
                      "save/616162.sav could not be read; it is kept as save/616162.sav.bad"),
                  std::string::npos);
        EXPECT_EQ(readFile("save/616162.sav.bad"), bytes);  // the newest one is kept
        EXPECT_EQ(readFile("save/616162.sav"), "[\"ab\"]");
    }
    // A level left with no new word leaves its file, whatever it holds, alone.
    writeFile("save/616162.sav", "[\"ab\"");
    ASSERT_EQ(loadLevel(game, game.langStore.get(), 1), 1);
    EXPECT_EQ(saveProgress(game), 0);
    EXPECT_EQ(readFile("save/616162.sav"), "[\"ab\"");
}

TEST_F(CoreTest, RefusedSaveKeepsTheFilesWaitsAndIsWrittenOnceTheDiskTakesIt) {
    useLanguage(SMALL_LANGUAGE, 1);
    typeWord("ab");
    ASSERT_EQ(saveProgress(game), 1);
    EXPECT_EQ(saveRefusal(game.saves), SaveRefusal::None);
    const std::string record = readFile("save/progress_en.dat");

    // A folder where the temporary file goes refuses the write (EISDIR: an error of the disk).
    std::filesystem::create_directory("save/616162.sav.tmp");
    typeWord("ba");
    testing::internal::CaptureStderr();
    EXPECT_EQ(saveProgress(game), 0);
    EXPECT_EQ(saveProgress(game), 0);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.find("progress cannot be saved: save/616162.sav: "), 0u) << said;
    EXPECT_EQ(said.find("progress cannot be saved", 1), std::string::npos) << "said once";
#ifdef _WIN32
    // Windows answers a write to a folder as an access it denies.
    EXPECT_EQ(saveRefusal(game.saves), SaveRefusal::Denied);
#else
    EXPECT_EQ(saveRefusal(game.saves), SaveRefusal::DiskError);
#endif
    EXPECT_EQ(readFile("save/616162.sav"), "[\"ab\"]");
    EXPECT_EQ(readFile("save/progress_en.dat"), record);

    // Leaving the level and coming back finds the words the disk has not taken yet.
    game.levelNumber = 1;
    selectLevel(ui, game);
    game.levelNumber = 2;
    selectLevel(ui, game);
    EXPECT_EQ(game.foundList.words.size(), 2u);

    // A retry after its interval writes what waited: the level file, then the record.
    std::filesystem::remove("save/616162.sav.tmp");
    std::this_thread::sleep_for(std::chrono::seconds(kSaveRetrySeconds));
    testing::internal::CaptureStderr();
    retryRefusedSave(game.saves);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "progress saved again\n");
    EXPECT_EQ(saveRefusal(game.saves), SaveRefusal::None);
    EXPECT_EQ(readFile("save/616162.sav"), "[\"ab\",\"ba\"]");
    Progress saved;
    readProgress(game.saves, &saved, "save/progress_en.dat");
    EXPECT_EQ(saved.wordsFound, 2);
    EXPECT_EQ(saved.levelIndex, 0u);  // saved as level 1 was left
}

TEST_F(CoreTest, HostileLevelFilesRestoreNothingAndNeverCrash) {
    useLanguage(SMALL_LANGUAGE, 1);
    const std::string hostile[] = {
        "",
        "[",
        "]]]",
        "\"ab",
        "[\"ab",
        ":",
        "{\"ab\"}",
        std::string(100000, '['),
        std::string(100000, '[') + std::string(100000, ']'),
        std::string("[\"ab\\"),
        std::string("\x78\x9c\x01\x02", 4),  // a zlib header: level files are never inflated
        std::string("\0[\"ab\"]", 7),
    };
    for (const std::string& bytes : hostile) {
        writeFile("save/616162.sav", bytes);
        EXPECT_EQ(loadLevel(game, game.langStore.get(), 1), 1);
        EXPECT_EQ(game.levelFoundCount, 0) << bytes.substr(0, 20);
    }
    // A directory in place of the file reads as no file.
    std::filesystem::remove("save/616162.sav");
    std::filesystem::create_directory("save/616162.sav");
    EXPECT_EQ(loadLevel(game, game.langStore.get(), 1), 1);
    EXPECT_EQ(game.levelFoundCount, 0);
}

}  // namespace
