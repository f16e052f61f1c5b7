#include <cstring>
#include <ctime>
#include <string>

#include "core/game.h"
#include "core/level.h"
#include "core/save.h"
#include "core/tray.h"
#include "core/words.h"
#include "core_fixture.h"
#include "store/language.h"
#include "store/keystore.h"
#include "ui/play.h"
#include "ui/screens.h"
#include "ui/ui.h"

namespace {

// A language of n levels: level k is the row of k+1 letters b, with the words b and bb.
std::string languageOfLevels(int n, const char* levelsCount) {
    std::string json = "{\"game\": {";
    for (int k = 0; k < n; k++)
        json += (k ? ", \"" : "\"") + std::string(static_cast<size_t>(k) + 1, 'b') +
                "\": [\"b\", \"bb\"]";
    return json + "}, \"stat\": {\"levelsCount\": \"" + levelsCount + "\"}}";
}

TEST_F(CoreTest, SixtyPercentOfSevenWordsNeedsFive) {
    useLanguage(SMALL_LANGUAGE, 0);  // 7 words, nextLevelPerc 60
    EXPECT_EQ(wordsToUnlock(game), 5);
    for (const char* word : {"ca", "cat", "act", "at"}) typeWord(word);
    EXPECT_EQ(game.progress.levelsOpen, 0u);
    // The fifth word opens the next level at once, whatever screen is drawn (on a new record
    // this one as well); then it stays.
    typeWord("ta");
    EXPECT_EQ(game.progress.levelsOpen, 2u);
    unlockLevels(game);
    EXPECT_EQ(game.progress.levelsOpen, 2u);
}

TEST_F(CoreTest, LastLevelNeverOpensBeyondTheLevelCount) {
    std::string json = languageOfLevels(3, "3");
    useLanguage(json.c_str(), 2);
    game.progress.levelsOpen = 3;
    typeWord("b");
    typeWord("bb");
    unlockLevels(game);
    EXPECT_EQ(game.progress.levelsOpen, 3u);

    const char* noCount = R"({"game": {"b": ["b"]}})";
    game.langStore.reset(parseKeyStore(noCount, std::strlen(noCount)));
    unlockLevels(game);  // a missing levelsCount reads as 0
    EXPECT_EQ(game.progress.levelsOpen, 0u);
}

TEST_F(CoreTest, HintScheduleCountsFoundWordsOverAllLevels) {
    useLanguage(SMALL_LANGUAGE, 0);  // hintCheatCount 3, nextHintWords 5
    const int wordsNeeded[] = {0, 3, 8, 13};
    for (uint32_t hint = 0; hint < 4; hint++) {
        game.progress.hintsUsed = hint;
        game.progress.wordsFound = wordsNeeded[hint] - 1;
        EXPECT_EQ(hintAvailable(game), hint == 0 ? 1 : 0) << "hint " << hint;
        game.progress.wordsFound = wordsNeeded[hint];
        EXPECT_EQ(hintAvailable(game), 1) << "hint " << hint;
    }
}

TEST_F(CoreTest, HintRevealsAnUnfoundWordAndCountsOnlyThen) {
    useLanguage(SMALL_LANGUAGE, 0);
    for (const char* word : {"ca", "act", "at", "ta", "tac", "cast"}) typeWord(word);
    EXPECT_EQ(showHint(ui, game), 1);
    EXPECT_STREQ(game.hintWord, "cat");
    EXPECT_STREQ(game.hintDescription, "a small animal");
    EXPECT_EQ(ui.currentScreen, Screen::WordInfo);
    EXPECT_EQ(game.progress.hintsUsed, 1u);

    typeWord("cat");  // the level is complete now
    ui.currentScreen = Screen::InGame;
    game.progress.wordsFound = 100;
    EXPECT_EQ(hintAvailable(game), 0);
    EXPECT_EQ(showHint(ui, game), 0);
    EXPECT_EQ(game.progress.hintsUsed, 1u);
    EXPECT_EQ(ui.currentScreen, Screen::InGame);
}

TEST_F(CoreTest, HintAskedAgainForAnUnfoundRevealedWordIsFree) {
    useLanguage(SMALL_LANGUAGE, 0);
    game.progress.wordsFound = 100;  // hints to spare
    ASSERT_EQ(showHint(ui, game), 1);
    const char* first = game.hintWord;
    for (int again = 0; again < 5; again++) {
        ASSERT_EQ(showHint(ui, game), 1);
        EXPECT_EQ(game.hintWord, first);
    }
    EXPECT_EQ(game.progress.hintsUsed, 1u);

    // Once it is typed, the next hint reveals another word and costs one.
    typeWord(first);
    ASSERT_EQ(showHint(ui, game), 1);
    EXPECT_STRNE(game.hintWord, first);
    EXPECT_EQ(game.progress.hintsUsed, 2u);

    // A new visit to the level starts over: its first hint costs one again.
    ASSERT_EQ(loadLevel(game, game.langStore.get(), 0), 1);
    ASSERT_EQ(showHint(ui, game), 1);
    EXPECT_EQ(game.progress.hintsUsed, 3u);
}

TEST_F(CoreTest, SwitchToTheSecondLevelSavesAndTellsStepOneOnce) {
    useLanguage(SMALL_LANGUAGE, 0);
    game.progress.storyStage = StoryStage::Study;
    game.progress.levelsOpen = 2;
    typeWord("ca");
    game.levelNumber = 2;
    selectLevel(ui, game);
    EXPECT_EQ(game.progress.levelIndex, 1u);
    EXPECT_STREQ(game.letterTray.letterText, "aab");
    EXPECT_EQ(ui.currentScreen, Screen::Story);
    EXPECT_STREQ(ui.storyChapter, "step1");
    EXPECT_EQ(game.progress.storyStage, StoryStage::Step1);
    Progress saved;
    readProgress(game.saves, &saved, "save/progress_en.dat");
    EXPECT_EQ(saved.levelIndex, 0u);  // the level being left
    EXPECT_EQ(readFile("save/61637473.sav"), "[\"ca\"]");

    game.levelNumber = 1;
    selectLevel(ui, game);
    ui.currentScreen = Screen::InGame;
    game.levelNumber = 2;
    selectLevel(ui, game);
    EXPECT_EQ(ui.currentScreen, Screen::InGame);
}

TEST_F(CoreTest, LevelThatCannotBeInstalledKeepsTheCurrentOne) {
    std::string longRow(31, 'b');
    std::string json = "{\"game\": {\"ab\": [\"ab\"], \"" + longRow + "\": [\"b\"]}}";
    useLanguage(json.c_str(), 0);
    typeWord("a");
    EXPECT_EQ(loadLevel(game, game.langStore.get(), 1), 0);
    EXPECT_EQ(loadLevel(game, game.langStore.get(), 2), 0);
    EXPECT_EQ(loadLevel(game, game.langStore.get(), -1), 0);
    EXPECT_STREQ(game.letterTray.letterText, "ab");
    EXPECT_STREQ(typedWord(&game.letterTray), "a");

    game.levelNumber = 2;
    selectLevel(ui, game);
    EXPECT_EQ(game.progress.levelIndex, 0u);
    EXPECT_EQ(game.levelNumber, 1);

    KeyStore* noGame = parseJson("{\"stat\": {}}");
    EXPECT_EQ(loadLevel(game, noGame, 0), 0);
    EXPECT_EQ(loadLevel(game, nullptr, 0), 0);
    EXPECT_STREQ(game.letterTray.letterText, "ab");
}

// The screens grant what core reports: installing a rewarded level earns its achievement each
// time, through the level selector; core's own loading grants nothing.
TEST_F(CoreTest, ChosenLevelsGrantTheirAchievementOnEveryInstall) {
    std::string json = languageOfLevels(12, "12");
    useLanguage(json.c_str(), 9);
    EXPECT_FALSE(fileIsThere("save/achievements.txt"));
    game.levelNumber = 11;  // the selector shows level 11, index 10
    selectLevel(ui, game);
    ASSERT_EQ(game.progress.levelIndex, 10u);
    EXPECT_EQ(readFile("save/achievements.txt"), "lvl10\n");
    std::remove("save/achievements.txt");
    game.levelNumber = 12;
    selectLevel(ui, game);
    EXPECT_FALSE(fileIsThere("save/achievements.txt"));
    game.levelNumber = 11;
    selectLevel(ui, game);
    EXPECT_EQ(readFile("save/achievements.txt"), "lvl10\n");
    std::remove("save/achievements.txt");
    ASSERT_EQ(loadLevel(game, game.langStore.get(), 10), 1);
    EXPECT_FALSE(fileIsThere("save/achievements.txt"));
    char name[16];
    EXPECT_STREQ(levelAchievement(350, name), "lvl350");
    EXPECT_EQ(levelAchievement(11, name), nullptr);
}

TEST_F(CoreTest, LevelWordsListedTwiceCountOnce) {
    useLanguage(SMALL_LANGUAGE, 1);  // "aab": ab, ba, aab, ab
    EXPECT_EQ(game.levelWords.size, 3u);
}

}  // namespace
