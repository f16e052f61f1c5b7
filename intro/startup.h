// The intro's start-up and shutdown, the same on every platform; each platform's entry
// (main.cpp, main_win32.cpp) reads the counter first and runs its own message loop between them.
#pragma once

struct XmSong;

constexpr int ESCAPE_KEY = 27;

// Loads the tune, asks about full screen, opens the window, starts the music and builds the
// textures. Null when the program is to end (every failure has shown its message box).
XmSong* startIntro();
// Stops and frees the song, closes the sound output and the window.
void endIntro(XmSong* song);
