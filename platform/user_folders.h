// Where the running program lives and where the player's own files belong.
#pragma once

#include <string>

// The folder holding the running program's executable; empty when it cannot be found.
std::string programFolder();

// The folder for the player's own files of the program called name: $XDG_DATA_HOME/name, or
// $HOME/.local/share/name when that variable is unset, empty or not an absolute path (as the XDG
// base directory rules say); empty when neither is known.
std::string userDataFolder(const char* name);
