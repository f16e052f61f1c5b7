#pragma once
// The level's row of letter tiles and the word being built from it: each row
// letter can be used at most once in the typed word.

#include <cstdint>

constexpr int kTrayMaxLetters = 30;
constexpr int kTrayTextBytes = 60;

struct LetterTray {
    char letterText[kTrayTextBytes];  // the row as the level data spells it (also the level's name)
    uint32_t letters[kTrayMaxLetters];    // code point of each row letter
    int32_t letterUsed[kTrayMaxLetters];  // 1 while row letter i is part of the typed word
    int32_t letterCount;                  // letters in the row, 0..30
    uint32_t typedLetters[kTrayMaxLetters];
    char typedText[kTrayTextBytes];       // the typed word as UTF-8
    int32_t typedIndex[kTrayMaxLetters];  // row index used by each typed letter
    int32_t typedTop;                     // index of the last typed letter; -1 when empty
};

void initLetterTray(LetterTray* tray);
// Installs a row and empties the typed word. A row that does not fit (see
// rowFitsTray) is refused: 0, and the tray is left as it was.
bool setLevelLetters(LetterTray* tray, const char* letters);
void clearTypedWord(LetterTray* tray);
// Takes the first free row letter whose UTF-8 text equals ch. 1 when taken, else 0.
bool typeCharacter(LetterTray* tray, const char* ch);
// Takes row letter i unchecked; the caller passes a free i and letters[i].
void pushLetter(LetterTray* tray, uint32_t codePoint, int i);
bool popLetter(LetterTray* tray);
void rebuildTypedText(LetterTray* tray);
// Writes letters[i] as zero-terminated UTF-8 into out (7 bytes) and its code
// point into *codePoint; returns the number of bytes (1..4).
int letterUtf8(const LetterTray* tray, int i, char out[7], uint32_t* codePoint);
const char* typedWord(const LetterTray* tray);
int letterCount(const LetterTray* tray);
bool isLetterUsed(const LetterTray* tray, int i);

// 1 when the row has at most 30 letters and 59 bytes, also once malformed bytes
// are read as U+FFFD (3 bytes each).
bool rowFitsTray(const char* letters);

// Number of UTF-8 characters of text (malformed sequences count as one each).
int utf8Length(const char* text);

// The letter beyond ASCII, lower-cased, that a key press types, or 0: the press's text when it
// made some (text is its one code point, 0 when it made none or several), else the key's name
// under the layout when that is one such letter.
uint32_t pressedLetter(const char* layoutName, uint32_t text);

// The one-byte lower-case character the key types under the current keyboard
// layout, or 0 when the key has no one-byte name.
char keyToChar(int glfwKey);

// True when the layout types c, a character a US keyboard has on another key (the Ukrainian
// apostrophe left of 1, where a US keyboard has `): c is then the layout's own, not a key of
// the language's keyboard map, which places letters on the keys of a US keyboard.
bool layoutMovedCharacter(int glfwKey, char c);
