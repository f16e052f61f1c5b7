#include <GLFW/glfw3.h>
#include <string>

#include "core/level.h"
#include "core/tray.h"
#include "core/words.h"
#include "core_fixture.h"
#include "ui/screens.h"

namespace {

LetterTray trayWith(const char *row)
{
    LetterTray tray;
    initLetterTray(&tray);
    EXPECT_EQ(setLevelLetters(&tray, row), 1);
    return tray;
}

TEST(LetterTrayTest, RepeatedLettersAreTakenLowestFirstAndGivenBackLastFirst)
{
    LetterTray tray = trayWith("aab");
    EXPECT_EQ(typeCharacter(&tray, "a"), 1);
    EXPECT_EQ(typeCharacter(&tray, "a"), 1);
    EXPECT_EQ(tray.typedIndex[0], 0);
    EXPECT_EQ(tray.typedIndex[1], 1);
    EXPECT_EQ(typeCharacter(&tray, "a"), 0);  // no free a left
    EXPECT_EQ(typeCharacter(&tray, "x"), 0);
    EXPECT_STREQ(typedWord(&tray), "aa");

    EXPECT_EQ(popLetter(&tray), 1);
    EXPECT_EQ(isLetterUsed(&tray, 1), 0);
    EXPECT_EQ(isLetterUsed(&tray, 0), 1);
    EXPECT_EQ(popLetter(&tray), 1);
    EXPECT_EQ(isLetterUsed(&tray, 0), 0);
    EXPECT_EQ(popLetter(&tray), 0);  // empty word: nothing to give back
    EXPECT_STREQ(typedWord(&tray), "");
    EXPECT_EQ(tray.typedTop, -1);
}

TEST(LetterTrayTest, ClickedLetterThenTypedLetterTakesTheOtherOccurrence)
{
    LetterTray tray = trayWith("aab");
    char text[7];
    uint32_t codePoint = 0;
    letterUtf8(&tray, 1, text, &codePoint);
    pushLetter(&tray, codePoint, 1);
    EXPECT_EQ(typeCharacter(&tray, "a"), 1);
    EXPECT_STREQ(typedWord(&tray), "aa");
    EXPECT_EQ(tray.typedIndex[0], 1);
    EXPECT_EQ(tray.typedIndex[1], 0);
    clearTypedWord(&tray);
    EXPECT_EQ(isLetterUsed(&tray, 0) + isLetterUsed(&tray, 1), 0);
}

TEST(LetterTrayTest, MultiByteLettersKeepTheirBytes)
{
    LetterTray tray = trayWith("éжb😀");
    EXPECT_EQ(letterCount(&tray), 4);
    char text[7];
    uint32_t codePoint = 0;
    EXPECT_EQ(letterUtf8(&tray, 0, text, &codePoint), 2);
    EXPECT_EQ(codePoint, 0xE9u);
    EXPECT_EQ(letterUtf8(&tray, 3, text, &codePoint), 4);
    EXPECT_STREQ(text, "😀");
    EXPECT_EQ(typeCharacter(&tray, "ж"), 1);
    EXPECT_EQ(typeCharacter(&tray, "😀"), 1);
    EXPECT_EQ(typeCharacter(&tray, "é"), 1);
    EXPECT_STREQ(typedWord(&tray), "ж😀é");
}

TEST(LetterTrayTest, FullRowOfThirtyLettersCanBeTypedOut)
{
    std::string row(30, 'z');
    LetterTray tray = trayWith(row.c_str());
    for (int k = 0; k < 30; k++)
        EXPECT_EQ(typeCharacter(&tray, "z"), 1);
    EXPECT_EQ(typeCharacter(&tray, "z"), 0);
    EXPECT_EQ(tray.typedTop, 29);
    EXPECT_EQ(std::string(typedWord(&tray)), row);
}

TEST(LetterTrayTest, MalformedBytesBecomeReplacementLetters)
{
    LetterTray tray = trayWith("a\xC3" "b\xFF");
    EXPECT_EQ(letterCount(&tray), 4);
    EXPECT_EQ(tray.letters[1], 0xFFFDu);
    EXPECT_EQ(tray.letters[2], (uint32_t)'b');
    EXPECT_EQ(tray.letters[3], 0xFFFDu);
    EXPECT_EQ(utf8Length("\xE0\x80\x80"), 3);  // overlong encoding: three bad bytes
}

TEST(LetterTrayTest, RowsBeyondTheTrayAreRefused)
{
    EXPECT_EQ(rowFitsTray(std::string(30, 'a').c_str()), 1);
    EXPECT_EQ(rowFitsTray(std::string(31, 'a').c_str()), 0);
    std::string twentyNine = "";
    for (int k = 0; k < 29; k++)
        twentyNine += "ж";  // 58 bytes
    EXPECT_EQ(rowFitsTray(twentyNine.c_str()), 1);
    EXPECT_EQ(rowFitsTray((twentyNine + "ж").c_str()), 0);  // 30 letters, 60 bytes
    // 20 stray bytes are 20 letters but 60 bytes once typed as U+FFFD.
    EXPECT_EQ(rowFitsTray(std::string(20, '\xFF').c_str()), 0);

    LetterTray tray = trayWith("abc");
    EXPECT_EQ(setLevelLetters(&tray, std::string(31, 'a').c_str()), 0);
    EXPECT_STREQ(tray.letterText, "abc");
}

TEST(LetterTrayTest, NewRowEmptiesTheTypedWord)
{
    LetterTray tray = trayWith("abc");
    typeCharacter(&tray, "a");
    typeCharacter(&tray, "c");
    setLevelLetters(&tray, "xyz");
    EXPECT_STREQ(typedWord(&tray), "");
    for (int i = 0; i < letterCount(&tray); i++)
        EXPECT_EQ(isLetterUsed(&tray, i), 0);
}

TEST_F(CoreTest, KeysReachTheRowThroughTheCharmap)
{
    useLanguage(SMALL_LANGUAGE, 2);  // row "йb"
    EXPECT_EQ(typeKeyCharacter(&testApp, 'q'), 1);  // q is mapped to й
    EXPECT_STREQ(typedWord(&letterTray), "й");
    EXPECT_EQ(typeKeyCharacter(&testApp, 'z'), 0);  // unmapped: z itself, not in the row
    EXPECT_EQ(typeKeyCharacter(&testApp, 'w'), 0);  // mapped to two letters: never a row letter
    EXPECT_EQ(typeKeyCharacter(&testApp, 'b'), 1);  // unmapped: b itself, completes a word
    EXPECT_EQ(levelFoundCount, 1);
    EXPECT_STREQ(typedWord(&letterTray), "");
}

TEST_F(CoreTest, EditingKeysActOnTheTypedWord)
{
    useLanguage(SMALL_LANGUAGE, 0);  // row "acts"
    typeWord("t");
    handleTrayKey(&testApp, GLFW_KEY_BACKSPACE);
    EXPECT_STREQ(typedWord(&letterTray), "");
    typeWord("t");
    typeWord("c");
    handleTrayKey(&testApp, GLFW_KEY_DELETE);
    EXPECT_STREQ(typedWord(&letterTray), "");
    handleTrayKey(&testApp, GLFW_KEY_DELETE);  // Delete on an empty word changes nothing
    EXPECT_EQ(letterTray.typedTop, -1);

    // F1 acts like the hint button: only while a hint is available.
    currentScreen = ScreenInGame;
    progress.hintsUsed = 1;  // the next hint needs 3 words found
    handleTrayKey(&testApp, GLFW_KEY_F1);
    EXPECT_EQ(currentScreen, ScreenInGame);
    EXPECT_EQ(progress.hintsUsed, 1u);
    progress.wordsFound = 3;
    handleTrayKey(&testApp, GLFW_KEY_F1);
    EXPECT_EQ(currentScreen, ScreenWordInfo);
    EXPECT_EQ(progress.hintsUsed, 2u);
}

}  // namespace
