// The window system can go away under the game: its window destroyed by another program, the
// display server ended, the session logged out. Its library would end the program on the spot and
// take the play since the last save with it.
#pragma once

// Has save(data) called (once) when the connection to the window system fails or the window system
// reports an error on the game's requests (what a destroyed window causes), then ends the
// program as a close does: exit status 0, with a line on standard error. Call after the
// windowing library is initialised, and again each frame: that library puts the default handling
// back after some of its own calls.
void watchDisplayLoss(void (*save)(void*), void* data);
