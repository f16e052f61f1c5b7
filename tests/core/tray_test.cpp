#include <string>

#include "core/game.h"
#include "core/level.h"
#include "core/tray.h"
#include "core/words.h"
#include "core_fixture.h"
#include "device/keyboard.h"
#include "ui/play.h"
#include "ui/screens.h"
#include "ui/ui.h"

namespace {

LetterTray trayWith(const char* row) {
    LetterTray tray;
    initLetterTray(&tray);
    EXPECT_EQ(setLevelLetters(&tray, row), 1);
    return tray;
}

TEST(LetterTrayTest, RepeatedLettersAreTakenLowestFirstAndGivenBackLastFirst) {
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

TEST(LetterTrayTest, ClickedLetterThenTypedLetterTakesTheOtherOccurrence) {
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

TEST(LetterTrayTest, MultiByteLettersKeepTheirBytes) {
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

TEST(LetterTrayTest, FullRowOfThirtyLettersCanBeTypedOut) {
    std::string row(30, 'z');
    LetterTray tray = trayWith(row.c_str());
    for (int k = 0; k < 30; k++) EXPECT_EQ(typeCharacter(&tray, "z"), 1);
    EXPECT_EQ(typeCharacter(&tray, "z"), 0);
    EXPECT_EQ(tray.typedTop, 29);
    EXPECT_EQ(std::string(typedWord(&tray)), row);
}

TEST(LetterTrayTest, MalformedBytesBecomeReplacementLetters) {
    LetterTray tray = trayWith(
        "a\xC3"
        "b\xFF");
    EXPECT_EQ(letterCount(&tray), 4);
    EXPECT_EQ(tray.letters[1], 0xFFFDu);
    EXPECT_EQ(tray.letters[2], (uint32_t)'b');
    EXPECT_EQ(tray.letters[3], 0xFFFDu);
    EXPECT_EQ(utf8Length("\xE0\x80\x80"), 3);  // overlong encoding: three bad bytes
}

TEST(LetterTrayTest, RowsBeyondTheTrayAreRefused) {
    EXPECT_EQ(rowFitsTray(std::string(30, 'a').c_str()), 1);
    EXPECT_EQ(rowFitsTray(std::string(31, 'a').c_str()), 0);
    std::string twentyNine = "";
    for (int k = 0; k < 29; k++) twentyNine += "ж";  // 58 bytes
    EXPECT_EQ(rowFitsTray(twentyNine.c_str()), 1);
    EXPECT_EQ(rowFitsTray((twentyNine + "ж").c_str()), 0);  // 30 letters, 60 bytes
    // 20 stray bytes are 20 letters but 60 bytes once typed as U+FFFD.
    EXPECT_EQ(rowFitsTray(std::string(20, '\xFF').c_str()), 0);

    LetterTray tray = trayWith("abc");
    EXPECT_EQ(setLevelLetters(&tray, std::string(31, 'a').c_str()), 0);
    EXPECT_STREQ(tray.letterText, "abc");
}

TEST(LetterTrayTest, NewRowEmptiesTheTypedWord) {
    LetterTray tray = trayWith("abc");
    typeCharacter(&tray, "a");
    typeCharacter(&tray, "c");
    setLevelLetters(&tray, "xyz");
    EXPECT_STREQ(typedWord(&tray), "");
    for (int i = 0; i < letterCount(&tray); i++) EXPECT_EQ(isLetterUsed(&tray, i), 0);
}

TEST_F(CoreTest, KeysReachTheRowThroughTheCharmap) {
    useLanguage(SMALL_LANGUAGE, 2);             // row "йb"
    EXPECT_EQ(typeKeyCharacter(ui, game, 'q'), 1);  // q is mapped to й
    EXPECT_STREQ(typedWord(&game.letterTray), "й");
    EXPECT_EQ(typeKeyCharacter(ui, game, 'z'), 0);  // unmapped: z itself, not in the row
    EXPECT_EQ(typeKeyCharacter(ui, game, 'w'), 0);  // mapped to two letters: never a row letter
    EXPECT_EQ(typeKeyCharacter(ui, game, 'b'), 1);  // unmapped: b itself, completes a word
    EXPECT_EQ(game.levelFoundCount, 1);
    EXPECT_STREQ(typedWord(&game.letterTray), "");
    // The file names the backslash key as JSON writes it.
    EXPECT_EQ(typeKeyCharacter(ui, game, '\\'), 1);
    EXPECT_STREQ(typedWord(&game.letterTray), "й");
}

TEST(KeyPressTest, ACharacterTheLayoutMovedIsItsOwnNotTheMapsKey) {
    // Printable keys' codes are their US characters. The Ukrainian layout's apostrophe on the
    // grave accent key; on a US keyboard the apostrophe key carries є through the map.
    EXPECT_TRUE(layoutMovedCharacter('`', '\''));
    EXPECT_FALSE(layoutMovedCharacter('\'', '\''));
    EXPECT_FALSE(layoutMovedCharacter('`', '`'));
    EXPECT_FALSE(layoutMovedCharacter('Q', 'a'));  // AZERTY: letters stay the map's
    EXPECT_TRUE(layoutMovedCharacter('1', '&'));
}

TEST(KeyPressTest, OnePressTypesOneLowerCaseLetterAndItsTextWins) {
    // The text a press made wins over the key's name: AltGr+a on a Polish layout types ą once.
    EXPECT_EQ(pressedLetter("a", 0x105), 0x105u);
    EXPECT_EQ(pressedLetter("a", 0x104), 0x105u);  // Ą with Shift
    EXPECT_EQ(pressedLetter("й", 0x419), 0x439u);  // Й on a Russian layout with Shift
    EXPECT_EQ(pressedLetter("a", 0xC1), 0xE1u);    // Á after a dead key
    // Without text (Ctrl held, or a window system that sent none) the layout's name counts.
    EXPECT_EQ(pressedLetter("ї", 0), 0x457u);
    EXPECT_EQ(pressedLetter("É", 0), 0xE9u);
    EXPECT_EQ(pressedLetter("ß", 0), 0xDFu);
    // One-byte names and texts are the key-name path's, through the charmap; never a letter here.
    EXPECT_EQ(pressedLetter("q", 'q'), 0u);
    EXPECT_EQ(pressedLetter("1", '!'), 0u);
    EXPECT_EQ(pressedLetter("é", '2'), 0u);  // Shift+2 on AZERTY makes 2, not é
    // Not one letter: two code points, a dead key's sign, a symbol, no name at all.
    EXPECT_EQ(pressedLetter("ab", 0), 0u);
    EXPECT_EQ(pressedLetter("ёж", 0), 0u);
    EXPECT_EQ(pressedLetter("´", 0), 0u);
    EXPECT_EQ(pressedLetter("²", 0), 0u);
    EXPECT_EQ(pressedLetter(nullptr, 0), 0u);
    EXPECT_EQ(pressedLetter("\xD0", 0), 0u);
    EXPECT_EQ(pressedLetter("a", 0xD7), 0u);    // ×
    EXPECT_EQ(pressedLetter("a", 0x20AC), 0u);  // €
}

TEST(KeyPressTest, LettersOfTheGamesLanguagesFoldToLowerCase) {
    const std::u32string capitals = U"ÀÉÈÇÙÌÒÑÜÖÄĄĆĘŁŃÓŚŹŻŸЙЁЖЭЪІЇЄҐЎ";
    const std::u32string small = U"àéèçùìòñüöäąćęłńóśźżÿйёжэъіїєґў";
    ASSERT_EQ(capitals.size(), small.size());
    for (size_t i = 0; i < capitals.size(); i++) {
        EXPECT_EQ(lowerNonAsciiLetter(capitals[i]), (uint32_t)small[i]) << i;
        EXPECT_EQ(lowerNonAsciiLetter(small[i]), (uint32_t)small[i]) << i;
    }
    EXPECT_EQ(lowerNonAsciiLetter(0xDF), 0xDFu);  // ß has no capital of its own here
    EXPECT_EQ(lowerNonAsciiLetter('A'), 0u);      // ASCII takes the key-name path
    EXPECT_EQ(lowerNonAsciiLetter(0xB4), 0u);     // ´
    EXPECT_EQ(lowerNonAsciiLetter(0x483), 0u);    // a combining Cyrillic mark
}

TEST_F(CoreTest, KeyPressWithTextTypesItsLetterOnce) {
    useLanguage(SMALL_LANGUAGE, 2);   // row "йb", "q" mapped to й
    handleTrayKey(ui, game, 'Q', 0x419);  // Й typed on a Russian layout: one й
    EXPECT_STREQ(typedWord(&game.letterTray), "й");
    handleTrayKey(ui, game, 'Q', 0x439);  // no second й in the row
    EXPECT_STREQ(typedWord(&game.letterTray), "й");
    handleTrayKey(ui, game, KEY_BACKSPACE, 0);
    EXPECT_STREQ(typedWord(&game.letterTray), "");
    handleTrayKey(ui, game, 'B', 0x431);  // б is not in the row, and b is not typed instead
    EXPECT_STREQ(typedWord(&game.letterTray), "");
}

TEST_F(CoreTest, EditingKeysActOnTheTypedWord) {
    useLanguage(SMALL_LANGUAGE, 0);  // row "acts"
    typeWord("t");
    handleTrayKey(ui, game, KEY_BACKSPACE, 0);
    EXPECT_STREQ(typedWord(&game.letterTray), "");
    typeWord("t");
    typeWord("c");
    handleTrayKey(ui, game, KEY_DELETE, 0);
    EXPECT_STREQ(typedWord(&game.letterTray), "");
    handleTrayKey(ui, game, KEY_DELETE, 0);  // Delete on an empty word changes nothing
    EXPECT_EQ(game.letterTray.typedTop, -1);

    // F1 acts like the hint button: only while a hint is available.
    ui.currentScreen = Screen::InGame;
    game.progress.hintsUsed = 1;  // the next hint needs 3 words found
    handleTrayKey(ui, game, KEY_F1, 0);
    EXPECT_EQ(ui.currentScreen, Screen::InGame);
    EXPECT_EQ(game.progress.hintsUsed, 1u);
    game.progress.wordsFound = 3;
    handleTrayKey(ui, game, KEY_F1, 0);
    EXPECT_EQ(ui.currentScreen, Screen::WordInfo);
    EXPECT_EQ(game.progress.hintsUsed, 2u);
}

}  // namespace
