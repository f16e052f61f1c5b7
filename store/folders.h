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

// Chooses the folders at start-up for the program in programFolder. Without data/game.dat under
// the working directory but with one in its install folder, the game is an installed one: it
// reads from the install folder and makes the player's own folder (userDataFolder) its working
// directory, creating it when missing, so that save/ lives there and the install folder is never
// written. Anything else is a run directory: data/ and save/ under the working directory. False,
// after saying why on standard error, when an installed game has no such folder and cannot make
// one.
bool chooseGameFolders(const std::string& programFolder);
