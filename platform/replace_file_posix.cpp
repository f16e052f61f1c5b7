#include "platform/replace_file.h"

#include <cstdio>

bool replaceFile(const char* from, const char* to) {
    return std::rename(from, to) == 0;
}
