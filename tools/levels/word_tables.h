// Our own word tables beside the block lists (content/words/).
#pragma once
#include "tools/levels/languages.h"
#include <map>
#include <string>

// A text per word ("<word><TAB><text>" lines, # comments): our own descriptions of level
// words, and the spellings a native reader chose to show for some.
std::map<std::string, std::string> readWordTable(const std::string& path);
// Words one a line as a native reader writes them, marks included: each folded as a row types
// it → its written form. The everyday words every row that builds them lists (`.everyday`:
// French toi, Russian сено) and those the spelling dictionaries lack, taken as bonus words
// (`.more`: Italian euro).
std::map<std::string, std::string> readWrittenWords(const Language& language,
                                                    const std::string& path);
