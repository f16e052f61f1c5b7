#include "util/found_list.h"

#include <cstring>

void appendToFoundList(FoundList* list, const char* word) {
    list->words.push_back(word);
}

int isWordFound(const FoundList* list, const char* word) {
    for (const char* entry : list->words)
        if (entry && std::strcmp(entry, word) == 0) return 1;
    return 0;
}

void clearFoundList(FoundList* list) {
    list->words.clear();
}
