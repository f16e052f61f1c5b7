#include "tools/levels/safe_text.h"
#include "tools/levels/text_files.h"
#include "tools/levels/utf8.h"
#include "gfx/glyph_ranges.h"
#include <cstdint>

namespace {

// The code points the game's fonts bake; anything else would show as '?'.
bool drawable(char32_t cp) {
    for (const uint16_t* range = gameGlyphRanges; range[0] != 0; range += 2)
        if (cp >= range[0] && cp <= range[1]) return true;
    return false;
}

// Dictionaries write typographic hyphens and dashes the fonts lack; their plain forms read the
// same.
char32_t plainPunctuation(char32_t cp) {
    if (cp >= 0x2010 && cp <= 0x2015) return '-';
    return cp;
}

}  // namespace

std::string rawSafe(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '"')
            out += "\xE2\x80\x9D";  // ”
        else if (c == '\\')
            out += '/';
        else if ((unsigned char)c < 0x20)
            out += ' ';
        else
            out += c;
    }
    // Items the fonts cannot draw (pronunciations in phonetic letters, arrows) are left out whole:
    // half an item would read worse than none.
    std::string kept;
    size_t start = 0;
    while (start <= out.size()) {
        size_t end = out.find(", ", start);
        if (end == std::string::npos) end = out.size();
        CodePoints item;
        decodeUtf8(out.substr(start, end - start), item);
        bool ok = true;
        for (char32_t& cp : item) {
            cp = plainPunctuation(cp);
            ok = ok && drawable(cp);
        }
        if (ok && !item.empty()) kept += (kept.empty() ? "" : ", ") + encodeUtf8(item);
        start = end + 2;
    }
    return trim(kept);
}
