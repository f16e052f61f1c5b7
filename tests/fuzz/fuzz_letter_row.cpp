// Arbitrary bytes as a level's letter row: a row the tray accepts can be typed out
// letter by letter without the typed text outgrowing its buffer.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/tray.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string row((const char*)data, size);
    row = row.c_str();  // a row ends at its first zero byte
    LetterTray tray;
    initLetterTray(&tray);
    if (!setLevelLetters(&tray, row.c_str())) return 0;
    if (!rowFitsTray(row.c_str()) || tray.letterCount > kTrayMaxLetters) std::abort();
    for (int i = 0; i < letterCount(&tray); i++) {
        char text[7];
        uint32_t codePoint = 0;
        int length = letterUtf8(&tray, i, text, &codePoint);
        if (length < 1 || length > 4 || std::strlen(text) != static_cast<size_t>(length))
            std::abort();
        if (!typeCharacter(&tray, text)) std::abort();
    }
    if (tray.typedTop != tray.letterCount - 1 || std::strlen(typedWord(&tray)) >= kTrayTextBytes)
        std::abort();
    while (popLetter(&tray)) {
    }
    if (tray.typedTop != -1 || typedWord(&tray)[0] != 0) std::abort();
    return 0;
}
