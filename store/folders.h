// Where the game reads its data and keeps progress.
#pragma once

#include <string>

// Where the game reads and writes, chosen once at start-up (chooseGameFolders).
struct Folders {
    // Data files are read from here, ending in '/': "data/" in a run directory, the install
    // folder for an installed game.
    std::string data = "data/";
    // Progress is kept here, ending in '/': "save/" in a run directory, save/ in the player's own
    // folder for an installed game. The working directory is never changed.
    std::string save = "save/";
};

// A longer save folder is refused: a level file's name (up to 122 bytes of it) must fit after it.
constexpr size_t kMaxSaveFolderBytes = 512;

// The data folder followed by name (a missing name counts as empty).
std::string dataPath(const Folders& folders, const char* name);
// The save folder followed by name (a missing name counts as empty).
std::string savePath(const Folders& folders, const char* name);

// The data folder of a game installed with its program in programFolder.
std::string installedDataFolder(const std::string& programFolder);

// Chooses the folders at start-up for the program in programFolder. Without data/game.dat under
// the working directory but with one in its install folder, the game is an installed one: it
// reads from the install folder and keeps progress in save/ of the player's own folder
// (userDataFolder), creating that folder when missing, so that the install folder is never
// written. Anything else is a run directory: data/ and save/ under the working directory. False,
// after saying why on standard error, when an installed game has no such folder and cannot make
// one.
bool chooseGameFolders(const std::string& programFolder, Folders* folders);
