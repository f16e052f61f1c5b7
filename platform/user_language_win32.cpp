#include "platform/user_language.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

// The language of the user's interface (not the formats' locale), by its ISO 639 name.
const char* userLocaleName() {
    static char name[LOCALE_NAME_MAX_LENGTH];
    LCID locale = MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT);
    if (GetLocaleInfoA(locale, LOCALE_SISO639LANGNAME, name, sizeof name) == 0) name[0] = '\0';
    return name;
}
