// Inflected forms of dictionary words, from a hunspell dictionary's suffix rules.
#pragma once
#include <functional>
#include <string>
#include <unordered_map>

// Reads <base>.aff and <base>.dic and returns form -> stem for every suffixed form of
// each stem that `wanted` accepts. Prefixes and two-fold suffixes are left out: they
// only add forms, and a missing form merely goes without a description.
std::unordered_map<std::string, std::string> inflectedForms(
    const std::string& base, bool latin2, const std::function<bool(const std::string&)>& wanted);

// ISO 8859-2 to UTF-8 for the letters of Polish; other high bytes are read as Latin-1.
std::string fromLatin2(const std::string& line);
