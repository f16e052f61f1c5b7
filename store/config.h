// The configuration data/game.dat, loaded once at start-up and kept for the life of the program.
#pragma once

struct KeyStore;

extern KeyStore* config;

// Reads data/game.dat; nullptr when the file is missing, does not parse or holds no object.
// loadConfig (app/app.h) sets up the game from it.
KeyStore* readConfig();
