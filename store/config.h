// The configuration data/game.dat, loaded once at start-up and kept for the life of the program.
#pragma once

struct App;
struct KeyStore;

extern KeyStore* config;

// Reads data/game.dat and sets the start-up globals derived from it (window size and
// title, language and screen state) and loads the asset archives. nullptr when the file
// is missing or does not parse; the caller keeps the result as `config`.
KeyStore* loadConfig(App* app);
