#pragma once
// UTF-8 decoding and encoding of single code points.

#include <cstdint>

// Decodes one code point from s (which ends with a zero byte); a malformed
// sequence gives U+FFFD and consumes one byte. Returns the bytes consumed.
int decodeUtf8(const char* s, uint32_t* codePoint);

// Writes the UTF-8 form of cp (at most 4 bytes, not terminated); returns its length.
int encodeUtf8(uint32_t cp, char* out);
