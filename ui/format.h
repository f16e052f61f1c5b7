#pragma once
// Filling the numbers and names into texts that come from the language data ("sTitle",
// "statHint"). The texts are data, not code: only %s, %d, %i, %u and %% are understood, each
// conversion takes the next argument, and anything else is copied as written, so a text with
// unexpected conversions can neither read arguments that are not there nor overflow the buffer.

#include <cstddef>
#include <cstdint>
#include <initializer_list>

struct FormatArg {
    FormatArg(const char* text) : text(text ? text : ""), isText(true) {}
    FormatArg(int number) : number(number), isText(false) {}
    const char* text = "";
    int number = 0;
    bool isText;
};

// Writes at most size - 1 bytes and a terminating zero; a cut never splits a UTF-8 character.
// Returns out.
char* formatText(char* out, size_t size, const char* format, std::initializer_list<FormatArg> args);

// d:hh:mm:ss, h:mm:ss, m:ss or s. The result lives in a static buffer that the
// next call overwrites.
const char* formatDuration(int32_t seconds);
