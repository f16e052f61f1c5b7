#include "util/utf8.h"

namespace {

const uint32_t kReplacementCharacter = 0xFFFD;

}  // namespace

int decodeUtf8(const char* s, uint32_t* codePoint) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(s);
    unsigned char lead = p[0];
    int length;
    uint32_t cp, minimum;
    if (lead < 0x80) {
        *codePoint = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        cp = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        cp = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        cp = lead & 0x07;
        minimum = 0x10000;
    } else {
        *codePoint = kReplacementCharacter;
        return 1;
    }
    for (int k = 1; k < length; k++) {
        if ((p[k] & 0xC0) != 0x80) {  // also stops at the terminating zero
            *codePoint = kReplacementCharacter;
            return 1;
        }
        cp = (cp << 6) | (p[k] & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        *codePoint = kReplacementCharacter;
        return 1;
    }
    *codePoint = cp;
    return length;
}

int encodeUtf8(uint32_t cp, char* out) {
    if (cp < 0x80) {
        out[0] = static_cast<char>(cp);
        return 1;
    }
    if (cp < 0x800) {
        out[0] = static_cast<char>(0xC0 | (cp >> 6));
        out[1] = static_cast<char>(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (cp >> 12));
        out[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (cp >> 18));
    out[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (cp & 0x3F));
    return 4;
}
