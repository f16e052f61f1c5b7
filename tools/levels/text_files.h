// Reading whole text files and cutting up their lines, for the readers of word lists,
// dictionaries and our own tables.
#pragma once
#include <string>
#include <vector>

std::string readPlainFile(const std::string& path);
std::vector<std::string> splitLines(const std::string& text);
// Without the spaces, tabs and carriage returns at either end.
std::string trim(const std::string& s);
bool contains(const std::string& s, const char* part);
