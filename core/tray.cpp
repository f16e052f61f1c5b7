#include "core/tray.h"

#include <cstring>

#include "core/level.h"
#include "core/words.h"
#include "platform/keyboard.h"
#include "store/keystore.h"
#include "store/language.h"

LetterTray letterTray;

namespace {

const uint32_t REPLACEMENT_CHARACTER = 0xFFFD;

// Decodes one code point from s (which ends with a zero byte); a malformed
// sequence gives U+FFFD and consumes one byte. Returns the bytes consumed.
int decodeUtf8(const char *s, uint32_t *codePoint)
{
    const unsigned char *p = (const unsigned char *)s;
    unsigned char lead = p[0];
    int length;
    uint32_t cp, minimum;
    if (lead < 0x80) {
        *codePoint = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2; cp = lead & 0x1F; minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3; cp = lead & 0x0F; minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4; cp = lead & 0x07; minimum = 0x10000;
    } else {
        *codePoint = REPLACEMENT_CHARACTER;
        return 1;
    }
    for (int k = 1; k < length; k++) {
        if ((p[k] & 0xC0) != 0x80) {  // also stops at the terminating zero
            *codePoint = REPLACEMENT_CHARACTER;
            return 1;
        }
        cp = (cp << 6) | (p[k] & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        *codePoint = REPLACEMENT_CHARACTER;
        return 1;
    }
    *codePoint = cp;
    return length;
}

// Writes the UTF-8 form of cp (at most 4 bytes, not terminated); returns its length.
int encodeUtf8(uint32_t cp, char *out)
{
    if (cp < 0x80) {
        out[0] = (char)cp;
        return 1;
    }
    if (cp < 0x800) {
        out[0] = (char)(0xC0 | (cp >> 6));
        out[1] = (char)(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = (char)(0xE0 | (cp >> 12));
        out[1] = (char)(0x80 | ((cp >> 6) & 0x3F));
        out[2] = (char)(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = (char)(0xF0 | (cp >> 18));
    out[1] = (char)(0x80 | ((cp >> 12) & 0x3F));
    out[2] = (char)(0x80 | ((cp >> 6) & 0x3F));
    out[3] = (char)(0x80 | (cp & 0x3F));
    return 4;
}

int encodedLength(uint32_t cp)
{
    char scratch[4];
    return encodeUtf8(cp, scratch);
}

}  // namespace

int utf8Length(const char *text)
{
    int count = 0;
    uint32_t cp;
    while (*text) {
        text += decodeUtf8(text, &cp);
        count++;
    }
    return count;
}

int rowFitsTray(const char *letters)
{
    // Malformed bytes become U+FFFD (3 bytes) in the typed text, so the
    // re-encoded row must fit as well as the row itself.
    size_t bytes = std::strlen(letters);
    if (bytes > TRAY_TEXT_BYTES - 1)
        return 0;
    int count = 0;
    size_t encodedBytes = 0;
    uint32_t cp;
    for (const char *p = letters; *p; count++) {
        p += decodeUtf8(p, &cp);
        encodedBytes += encodedLength(cp);
    }
    return count <= TRAY_MAX_LETTERS && encodedBytes <= TRAY_TEXT_BYTES - 1;
}

int initLetterTray(LetterTray *tray)
{
    tray->letterCount = 0;
    return clearTypedWord(tray);
}

int setLevelLetters(LetterTray *tray, const char *letters)
{
    if (!rowFitsTray(letters))
        return 0;
    std::memset(tray->letterText, 0, sizeof tray->letterText);
    std::memcpy(tray->letterText, letters, std::strlen(letters));
    int count = 0;
    for (const char *p = letters; *p; count++)
        p += decodeUtf8(p, &tray->letters[count]);
    tray->letterCount = count;
    return clearTypedWord(tray);
}

int clearTypedWord(LetterTray *tray)
{
    tray->typedTop = -1;
    std::memset(tray->letterUsed, 0, sizeof tray->letterUsed);
    tray->typedLetters[0] = 0;
    tray->typedText[0] = 0;
    return 1;
}

int typeCharacter(LetterTray *tray, const char *ch)
{
    for (int i = 0; i < tray->letterCount; i++) {
        char text[7];
        uint32_t cp;
        letterUtf8(tray, i, text, &cp);
        if (!tray->letterUsed[i] && std::strcmp(text, ch) == 0)
            return pushLetter(tray, cp, i);
    }
    return 0;
}

int pushLetter(LetterTray *tray, uint32_t codePoint, int i)
{
    tray->letterUsed[i] = 1;
    tray->typedTop += 1;
    tray->typedLetters[tray->typedTop] = codePoint;
    tray->typedIndex[tray->typedTop] = i;
    if (tray->typedTop + 1 < TRAY_MAX_LETTERS)
        tray->typedLetters[tray->typedTop + 1] = 0;
    return rebuildTypedText(tray);
}

int popLetter(LetterTray *tray)
{
    if (tray->typedTop < 0) {
        rebuildTypedText(tray);
        return 0;
    }
    tray->letterUsed[tray->typedIndex[tray->typedTop]] = 0;
    tray->typedLetters[tray->typedTop] = 0;
    tray->typedTop -= 1;
    rebuildTypedText(tray);
    return 1;
}

int rebuildTypedText(LetterTray *tray)
{
    int at = 0;
    for (int k = 0; k <= tray->typedTop; k++)
        at += encodeUtf8(tray->typedLetters[k], tray->typedText + at);
    tray->typedText[at] = 0;
    return 1;
}

int letterUtf8(const LetterTray *tray, int i, char out[7], uint32_t *codePoint)
{
    *codePoint = tray->letters[i];
    std::memset(out, 0, 7);
    return encodeUtf8(tray->letters[i], out);
}

const char *typedWord(const LetterTray *tray)
{
    return tray->typedText;
}

int letterCount(const LetterTray *tray)
{
    return tray->letterCount;
}

int isLetterUsed(const LetterTray *tray, int i)
{
    return tray->letterUsed[i];
}

uint32_t pressedLetter(const char *layoutName, uint32_t text)
{
    // The text wins: AltGr+a is named "a" on a Polish layout but makes ą.
    if (text)
        return lowerNonAsciiLetter(text);
    if (!layoutName)
        return 0;
    uint32_t cp;
    int length = decodeUtf8(layoutName, &cp);
    return layoutName[length] == 0 ? lowerNonAsciiLetter(cp) : 0;
}

char keyToChar(int glfwKey)
{
    const char *name = keyLayoutName(glfwKey);
    if (!name || name[0] == 0 || name[1] != 0)
        return 0;
    char c = name[0];
    if (c >= 'A' && c <= 'Z')
        c = (char)(c - 'A' + 'a');
    return c;
}

namespace {

int typeAndCheck(App *app, const char *character)
{
    if (!typeCharacter(&letterTray, character))
        return 0;
    checkTypedWord(app);
    return 1;
}

}  // namespace

int typeKeyCharacter(App *app, char c)
{
    char key[2] = {c, 0};
    const char *mapped = getSectionString(langStore, "charmap", key);
    return typeAndCheck(app, mapped ? mapped : key);
}

void handleTrayKey(App *app, int glfwKey, uint32_t text)
{
    // One press types one character: a letter beyond ASCII, else the one-byte key name.
    uint32_t letter = pressedLetter(keyLayoutName(glfwKey), text);
    if (letter) {
        char utf8[5] = {0};
        encodeUtf8(letter, utf8);
        typeAndCheck(app, utf8);
    } else if (char c = keyToChar(glfwKey)) {
        typeKeyCharacter(app, c);
    }
    if (glfwKey == KEY_DELETE)
        clearTypedWord(&letterTray);
    else if (glfwKey == KEY_F1 && hintAvailable())
        showHint();
    else if (glfwKey == KEY_BACKSPACE)
        popLetter(&letterTray);
}
