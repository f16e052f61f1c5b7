// Local stand-in for the storefront wrapper: the same four calls.
#pragma once

// 0 on success; a negative value would mean failure.
int InitSteamWq(int applicationNumber);
// The long name of the user's language ("english", "russian", ...); "english" when unknown.
const char* GetCurrentLanguageWq();
// Records the achievement once in achievements.txt of the achievements folder and prints it
// when new. 1 when recorded now.
int GrantAchievementWq(const char* name);
int ShutdownSteamWq();
// The folder (ending in '/') that keeps achievements.txt: "save/" until the game names its own.
void setAchievementsFolder(const char* folder);
