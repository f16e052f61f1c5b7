#pragma once
#include <string>

// Makes a text safe for the game's reader (no double quote, backslash or control byte) and drawable
// with its fonts (comma-separated items holding other characters are left out).
std::string rawSafe(const std::string& text);
