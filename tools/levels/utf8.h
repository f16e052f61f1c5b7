// UTF-8 helpers of the content builder: words are handled as code point sequences, decoded and
// encoded by the game's own code (util/utf8.h).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "util/utf8.h"

using CodePoints = std::u32string;

// Decodes well-formed UTF-8; false for any malformed or overlong sequence (or a surrogate).
inline bool decodeUtf8(const std::string& text, CodePoints& out) {
    out.clear();
    for (size_t i = 0; i < text.size();) {
        uint32_t cp = 0;
        int length = decodeUtf8(text.c_str() + i, &cp);
        // The game reads a malformed byte as U+FFFD of length 1; the character itself takes 3.
        if (cp == 0xFFFD && length == 1) return false;
        out.push_back(cp);
        i += length;
    }
    return true;
}

inline void appendUtf8(std::string& out, char32_t cp) {
    char bytes[4];
    out.append(bytes, encodeUtf8(cp, bytes));
}

inline std::string encodeUtf8(const CodePoints& cps) {
    std::string out;
    for (char32_t cp : cps) appendUtf8(out, cp);
    return out;
}
