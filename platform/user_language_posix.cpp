#include "platform/user_language.h"

#include <cstdlib>
#include <initializer_list>

// The user's language as POSIX orders the locale variables: LC_ALL, LC_MESSAGES, LANG.
const char* userLocaleName() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) return value;
    }
    return "";
}
