// Where the game reads its data and keeps progress.
#pragma once

#include <string>

// The folder data files are read from, ending in '/': "data/" in a run directory, the install
// folder for an installed game.
extern std::string dataFolder;

// dataFolder followed by name (a missing name counts as empty).
std::string dataPath(const char* name);

// The data folder of a game installed with its program in programFolder.
std::string installedDataFolder(const std::string& programFolder);

// Chooses the folders at start-up. A run directory (data/game.dat under the working directory)
// keeps data/ and save/ there. Anything else is an installed game: it reads from its install
// folder and makes the player's own folder (userDataFolder) its working directory, creating it
// when missing, so that save/ lives there and the install folder is never written. False, after
// saying why on standard error, when an installed game has no such folder and cannot make one.
bool chooseGameFolders();
