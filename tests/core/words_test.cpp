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
#include "ui/play.h"
#include "ui/screens.h"
#include "ui/ui.h"

namespace {

int32_t repeatTimeOf(const Game& game, const char* word) {
    uint32_t slot = hashGet(game.repeatTimes, word);
    return slot == game.repeatTimes.capacity ? -1 : game.repeatTimes.values[slot];
}

TEST_F(CoreTest, NewWordIsCountedAndARepeatIsOnlyFlagged) {
    useLanguage(SMALL_LANGUAGE, 0);  // row "acts"
    typeWord("ca");
    ASSERT_EQ(game.foundList.words.size(), 1u);
    EXPECT_STREQ(game.foundList.words[0], "ca");
    EXPECT_STREQ(typedWord(&game.letterTray), "");
    EXPECT_EQ(game.progress.wordsFound, 1);
    EXPECT_EQ(game.progress.lettersFound, 2);
    EXPECT_EQ(game.foundListScroll, 99999);

    typeWord("ca");  // found before: flagged, the typed word stays for a longer word
    EXPECT_EQ(game.progress.wordsFound, 1);
    EXPECT_STREQ(typedWord(&game.letterTray), "ca");
    EXPECT_GE(repeatTimeOf(game, "ca"), 0);

    typeWord("t");
    EXPECT_EQ(game.progress.wordsFound, 2);
    EXPECT_EQ(game.progress.lettersFound, 5);
    EXPECT_STREQ(game.foundList.words[1], "cat");
    // The list points at the level's own words, not at the typed text.
    EXPECT_NE(game.foundList.words[1], typedWord(&game.letterTray));
}

TEST_F(CoreTest, RepeatKeepsItsFirstTime) {
    useLanguage(SMALL_LANGUAGE, 0);
    typeWord("at");
    typeWord("at");
    uint32_t slot = hashGet(game.repeatTimes, "at");
    ASSERT_NE(slot, game.repeatTimes.capacity);
    game.repeatTimes.values[slot] = 12345;  // as if the repeat were older
    clearTypedWord(&game.letterTray);
    typeWord("at");
    EXPECT_EQ(repeatTimeOf(game, "at"), 12345);
}

TEST_F(CoreTest, PrefixesAndStrangersChangeNothing) {
    useLanguage(SMALL_LANGUAGE, 0);
    typeWord("c");  // a prefix of ca and cat, not a word
    typeWord("t");  // "ct": no word
    EXPECT_EQ(game.levelFoundCount, 0);
    EXPECT_EQ(game.progress.wordsFound, 0);
    EXPECT_STREQ(typedWord(&game.letterTray), "ct");
    EXPECT_EQ(game.repeatTimes.size, 0u);
}

TEST_F(CoreTest, WordCheckWithoutALevelDoesNothing) {
    game.langStore.reset();
    setLevelLetters(&game.letterTray, "ab");
    typeWord("ab");
    EXPECT_EQ(game.levelFoundCount, 0);
}

TEST_F(CoreTest, DarkChapterStartsAfterTheThresholdNotAtIt) {
    useLanguage(SMALL_LANGUAGE, 0);  // blackWords 10, blackFinish 20
    game.progress.storyStage = StoryStage::Step1;
    game.progress.wordsFound = 9;
    typeWord("ca");  // the 10th word
    EXPECT_EQ(game.progress.storyStage, StoryStage::Step1);
    EXPECT_NE(ui.currentScreen, Screen::Story);

    typeWord("at");  // the 11th
    EXPECT_EQ(game.progress.storyStage, StoryStage::BlackStart);
    EXPECT_EQ(ui.currentScreen, Screen::Story);
    EXPECT_STREQ(ui.storyChapter, "blackStart");
    EXPECT_EQ(ui.storyPage, 0);
    EXPECT_EQ(game.progress.theme, 1);
    EXPECT_NE(readFile("save/achievements.txt").find("blackStart"), std::string::npos);
}

TEST_F(CoreTest, OneWordPassingBothThresholdsEndsTheStory) {
    useLanguage(SMALL_LANGUAGE, 0);
    game.progress.storyStage = StoryStage::Study;
    game.progress.wordsFound = 20;
    typeWord("ta");
    EXPECT_EQ(game.progress.storyStage, StoryStage::BlackEnd);
    EXPECT_STREQ(ui.storyChapter, "blackEnd");
    EXPECT_EQ(game.progress.theme, 0);
    std::string granted = readFile("save/achievements.txt");
    EXPECT_NE(granted.find("blackStart"), std::string::npos);
    EXPECT_NE(granted.find("blackEnd"), std::string::npos);

    // Stage 4 is final: later words start no chapter and leave the theme alone.
    ui.currentScreen = Screen::InGame;
    game.progress.theme = 3;
    typeWord("at");
    EXPECT_EQ(ui.currentScreen, Screen::InGame);
    EXPECT_EQ(game.progress.theme, 3);
}

TEST_F(CoreTest, AutosaveRunsOnlyAfterAMinute) {
    useLanguage(SMALL_LANGUAGE, 0);
    char path[kLevelPathBytes];
    levelSavePath(path, config.folders, &game.letterTray);

    typeWord("ca");  // the last autosave was just now
    EXPECT_FALSE(fileIsThere(path));

    game.lastAutosaveTime = static_cast<int32_t>(std::time(nullptr)) - 61;
    typeWord("at");
    EXPECT_EQ(readFile(path), "[\"ca\",\"at\"]");
    EXPECT_GT(game.lastAutosaveTime, (int32_t)std::time(nullptr) - 61);
    // The autosave already counts the word that triggered it.
    Progress saved;
    readProgress(game.saves, &saved, "save/progress_en.dat");
    EXPECT_EQ(saved.wordsFound, 2);

    typeWord("ta");  // within the minute: the file is not rewritten
    EXPECT_EQ(readFile(path), "[\"ca\",\"at\"]");
}

// "as I type" takes ca out of cat at once; "when I press Enter" waits, so cat is typed whole. Enter
// takes a level word in either mode and leaves any other text for the player to mend.
TEST_F(CoreTest, WordsAreTakenAsTypedOrOnEnter) {
    useLanguage(SMALL_LANGUAGE, 0);  // row "acts"
    typeWord("cat");
    ASSERT_EQ(game.foundList.words.size(), 1u);
    EXPECT_STREQ(game.foundList.words[0], "ca");
    EXPECT_STREQ(typedWord(&game.letterTray), "t");

    clearTypedWord(&game.letterTray);
    game.wordEntry = WordEntry::OnEnter;
    typeWord("cat");
    EXPECT_EQ(game.foundList.words.size(), 1u);
    EXPECT_STREQ(typedWord(&game.letterTray), "cat");
    submitWord(game);
    ASSERT_EQ(game.foundList.words.size(), 2u);
    EXPECT_STREQ(game.foundList.words[1], "cat");
    EXPECT_EQ(game.progress.wordsFound, 2);
    EXPECT_STREQ(typedWord(&game.letterTray), "");

    typeWord("ca");  // found before: flagged on Enter only, and kept for a longer word
    EXPECT_EQ(game.repeatTimes.size, 0u);
    submitWord(game);
    EXPECT_NE(hashGet(game.repeatTimes, "ca"), game.repeatTimes.capacity);
    EXPECT_STREQ(typedWord(&game.letterTray), "ca");

    clearTypedWord(&game.letterTray);
    typeWord("tsa");
    submitWord(game);
    EXPECT_STREQ(typedWord(&game.letterTray), "tsa");
    EXPECT_EQ(game.progress.wordsFound, 2);

    game.wordEntry = WordEntry::AsTyped;
    clearTypedWord(&game.letterTray);
    typeWord("ta");
    submitWord(game);  // taken already as typed: Enter on nothing does nothing
    EXPECT_EQ(game.progress.wordsFound, 3);
}

// A real word the level does not list counts apart on Enter: it never changes the level's count
// or the progress; a repeat is flagged; any other text is refused and kept for mending.
TEST_F(CoreTest, BonusWordsAreTakenOnEnterAndCountApart) {
    useLanguage(SMALL_LANGUAGE, 0);  // row "acts"
    typeWord("sat");
    EXPECT_TRUE(game.bonusList.words.empty());  // as typed, only level words are taken
    submitWord(game);
    ASSERT_EQ(game.bonusList.words.size(), 1u);
    EXPECT_STREQ(game.bonusList.words[0], "sat");
    EXPECT_EQ(game.bonusTotal, 1);
    EXPECT_EQ(game.levelFoundCount, 0);
    EXPECT_EQ(game.progress.wordsFound, 0);
    EXPECT_TRUE(game.foundList.words.empty());
    EXPECT_STREQ(typedWord(&game.letterTray), "");

    typeWord("sat");
    submitWord(game);
    EXPECT_EQ(game.bonusTotal, 1);
    EXPECT_NE(hashGet(game.repeatTimes, "sat"), game.repeatTimes.capacity);

    clearTypedWord(&game.letterTray);
    typeWord("tsa");
    EXPECT_EQ(game.refusalTime, 0);
    submitWord(game);
    EXPECT_GT(game.refusalTime, 0);
    EXPECT_STREQ(typedWord(&game.letterTray), "tsa");
    EXPECT_EQ(game.bonusTotal, 1);

    // A level word on Enter is a level word, in either mode.
    clearTypedWord(&game.letterTray);
    game.wordEntry = WordEntry::OnEnter;
    typeWord("cast");
    submitWord(game);
    EXPECT_EQ(game.progress.wordsFound, 1);
    EXPECT_EQ(game.bonusTotal, 1);
}

// Every fifth bonus word (the default of "bonusWordsPerHint") pays one hint.
TEST_F(CoreTest, BonusWordsPayForHints) {
    useLanguage(SMALL_LANGUAGE, 0);  // hintCheatCount 3, nextHintWords 5
    game.progress.hintsUsed = 1;
    EXPECT_FALSE(hintAvailable(game));
    game.bonusTotal = 4;
    EXPECT_FALSE(hintAvailable(game));
    game.bonusTotal = 5;
    EXPECT_TRUE(hintAvailable(game));
    game.progress.hintsUsed = 2;
    EXPECT_FALSE(hintAvailable(game));
}

const char* const FOLDING_LANGUAGE = R"({
  "localization": {"levelProperty": "Level"},
  "charmap": {"`": "ё", "t": "е"},
  "fold": {"ё": "е"},
  "game": {"жеае": ["её", "ёж", "ежа"]},
  "stat": {"levelsCount": "1"}
})";

// A row writes ё as е; its words keep the dictionary's ё, and either letter finds them.
TEST_F(CoreTest, FoldedLettersFindTheWordAsTheDictionarySpellsIt) {
    useLanguage(FOLDING_LANGUAGE, 0);
    typeWord("еж");
    ASSERT_EQ(game.foundList.words.size(), 1u);
    EXPECT_STREQ(game.foundList.words[0], "ёж");
    EXPECT_STREQ(typedWord(&game.letterTray), "");

    typeKeyCharacter(ui, game, '`');  // ё takes the row's е
    typeKeyCharacter(ui, game, 't');
    ASSERT_EQ(game.foundList.words.size(), 2u);
    EXPECT_STREQ(game.foundList.words[1], "её");

    typeWord("ежа");
    EXPECT_EQ(game.foundList.words.size(), 3u);
    EXPECT_EQ(findLevelWord(game, "жёа"), game.levelWords.capacity);
}

}  // namespace
