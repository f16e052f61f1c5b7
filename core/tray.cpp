#include "core/tray.h"

#include <cstring>

#include "device/keyboard.h"
#include "util/utf8.h"

namespace {

int encodedLength(uint32_t cp) {
    char scratch[4];
    return encodeUtf8(cp, scratch);
}

}  // namespace

int utf8Length(const char* text) {
    int count = 0;
    uint32_t cp;
    while (*text) {
        text += decodeUtf8(text, &cp);
        count++;
    }
    return count;
}

bool rowFitsTray(const char* letters) {
    // Malformed bytes become U+FFFD (3 bytes) in the typed text, so the
    // re-encoded row must fit as well as the row itself.
    size_t bytes = std::strlen(letters);
    if (bytes > kTrayTextBytes - 1) return false;
    int count = 0;
    size_t encodedBytes = 0;
    uint32_t cp;
    for (const char* p = letters; *p; count++) {
        p += decodeUtf8(p, &cp);
        encodedBytes += encodedLength(cp);
    }
    return count <= kTrayMaxLetters && encodedBytes <= kTrayTextBytes - 1;
}

void initLetterTray(LetterTray* tray) {
    tray->letterCount = 0;
    clearTypedWord(tray);
}

bool setLevelLetters(LetterTray* tray, const char* letters) {
    if (!rowFitsTray(letters)) return false;
    std::memset(tray->letterText, 0, sizeof tray->letterText);
    std::memcpy(tray->letterText, letters, std::strlen(letters));
    int count = 0;
    for (const char* p = letters; *p; count++) p += decodeUtf8(p, &tray->letters[count]);
    tray->letterCount = count;
    clearTypedWord(tray);
    return true;
}

void clearTypedWord(LetterTray* tray) {
    tray->typedTop = -1;
    std::memset(tray->letterUsed, 0, sizeof tray->letterUsed);
    tray->typedLetters[0] = 0;
    tray->typedText[0] = 0;
}

bool typeCharacter(LetterTray* tray, const char* ch) {
    for (int i = 0; i < tray->letterCount; i++) {
        char text[7];
        uint32_t cp;
        letterUtf8(tray, i, text, &cp);
        if (!tray->letterUsed[i] && std::strcmp(text, ch) == 0) {
            pushLetter(tray, cp, i);
            return true;
        }
    }
    return false;
}

void pushLetter(LetterTray* tray, uint32_t codePoint, int i) {
    tray->letterUsed[i] = 1;
    tray->typedTop += 1;
    tray->typedLetters[tray->typedTop] = codePoint;
    tray->typedIndex[tray->typedTop] = i;
    if (tray->typedTop + 1 < kTrayMaxLetters) tray->typedLetters[tray->typedTop + 1] = 0;
    rebuildTypedText(tray);
}

bool popLetter(LetterTray* tray) {
    if (tray->typedTop < 0) {
        rebuildTypedText(tray);
        return false;
    }
    tray->letterUsed[tray->typedIndex[tray->typedTop]] = 0;
    tray->typedLetters[tray->typedTop] = 0;
    tray->typedTop -= 1;
    rebuildTypedText(tray);
    return true;
}

void rebuildTypedText(LetterTray* tray) {
    int at = 0;
    for (int k = 0; k <= tray->typedTop; k++)
        at += encodeUtf8(tray->typedLetters[k], tray->typedText + at);
    tray->typedText[at] = 0;
}

int letterUtf8(const LetterTray* tray, int i, char out[7], uint32_t* codePoint) {
    *codePoint = tray->letters[i];
    std::memset(out, 0, 7);
    return encodeUtf8(tray->letters[i], out);
}

const char* typedWord(const LetterTray* tray) {
    return tray->typedText;
}

int letterCount(const LetterTray* tray) {
    return tray->letterCount;
}

bool isLetterUsed(const LetterTray* tray, int i) {
    return tray->letterUsed[i] != 0;
}

uint32_t pressedLetter(const char* layoutName, uint32_t text) {
    // The text wins: AltGr+a is named "a" on a Polish layout but makes ą.
    if (text) return lowerNonAsciiLetter(text);
    if (!layoutName) return 0;
    uint32_t cp;
    int length = decodeUtf8(layoutName, &cp);
    return layoutName[length] == 0 ? lowerNonAsciiLetter(cp) : 0;
}

char keyToChar(int glfwKey) {
    const char* name = keyLayoutName(glfwKey);
    if (!name || name[0] == 0 || name[1] != 0) return 0;
    char c = name[0];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return c;
}

bool layoutMovedCharacter(int glfwKey, char c) {
    // A printable key's code is the character it carries on a US keyboard (letters in capitals);
    // letters stay the map's wherever a layout puts them.
    bool printable = glfwKey >= ' ' && glfwKey <= '`';
    return printable && !(c >= 'a' && c <= 'z') && c != static_cast<char>(glfwKey);
}
