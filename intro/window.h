// The intro's window and message boxes. One back end per platform, each one file (SDL2:
// window_sdl.cpp, Win32: window_win32.cpp); the scene only draws with GL into the window made here.
#pragma once

// Plain: no icon.
enum class MessageIcon { Plain, Information, Warning, Error };

// A window whose client area is width x height, full screen at `bits` per pixel or at 0, 0,
// with a current double-buffered GL context. Every failing step says why in a message box
// (and asks whether to go on windowed when the display cannot switch); false then.
bool createGlWindow(const char* title, int width, int height, int bits, bool fullscreen);
void killGlWindow();
void swapGlWindow();

void showMessage(const char* text, const char* caption, MessageIcon icon);
// True for Yes.
bool askYesNo(const char* text, const char* caption, MessageIcon icon);
