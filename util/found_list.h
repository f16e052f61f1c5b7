#pragma once
// The words found in the current level, oldest first. Entries point at strings
// owned elsewhere (the level's word set or a parsed level file); never copies.

#include <vector>

struct FoundList {
    std::vector<const char*> words;
};

void appendToFoundList(FoundList* list, const char* word);
// 1 when an entry equals word byte for byte (null entries are skipped), else 0.
int isWordFound(const FoundList* list, const char* word);
void clearFoundList(FoundList* list);
