#include "platform/steam_wq.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/user_language.h"

// The storefront's calls carry no folder, so the file they write is named here once.
static std::string achievementsPath = "save/achievements.txt";

void setAchievementsFolder(const char* folder) {
    achievementsPath = std::string(folder) + "achievements.txt";
}

int InitSteamWq(int) {
    return 0;
}

const char* GetCurrentLanguageWq() {
    static const struct {
        const char* code;
        const char* longName;
    } languages[] = {
    // The configuration's "lang" list, made by the build (cmake/languages.cmake).
#include "platform/languages.inc"
    };
    const char* locale = userLocaleName();
    // "de_AT.UTF-8", "de@euro" and "de" all name German; "C" and "POSIX" name none.
    size_t codeLength = std::strcspn(locale, "_.@");
    for (const auto& language : languages) {
        if (codeLength == std::strlen(language.code) &&
            std::strncmp(locale, language.code, codeLength) == 0)
            return language.longName;
    }
    return "english";
}

static bool alreadyGranted(const std::string& name) {
    std::ifstream file(achievementsPath);
    std::string line;
    while (std::getline(file, line)) {
        if (line == name) return true;
    }
    return false;
}

int GrantAchievementWq(const char* name) {
    // One name per line: a name holding a line break could not be found again.
    if (!name || !*name || std::strpbrk(name, "\r\n")) return 0;
    if (alreadyGranted(name)) return 0;
    std::ofstream file(achievementsPath,
                       std::ios::app | std::ios::binary);  // the same bytes everywhere
    if (!(file << name << '\n')) return 0;
    std::printf("Achievement granted: %s\n", name);
    return 1;
}

int ShutdownSteamWq() {
    return 0;
}
