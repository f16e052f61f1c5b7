// The intro's scene: a waving textured height field, sixteen spinning translucent
// cubes and a bouncing text scroller.
#pragma once

#include <cstdint>

struct IntroState {
  bool running = true;
  int width = 640, height = 480;
  float scrollerX = 640;
  unsigned backgroundTexture = 0, glyphTexture = 0;
  uint64_t timerStart = 0, timerFrequency = 1;
};

extern IntroState intro;

void resizeGlScene(int width, int height);
// Texture of a bitmap resource with all mipmap levels; 0 when it cannot be loaded. It and the
// counter below belong to the platform's window file (window_sdl.cpp, window_win32.cpp).
unsigned loadBitmapTexture(int id);
// A texture with all mipmap levels from 24-bit blue-green-red rows, bottom-up, each padded to 4
// bytes.
unsigned mipmappedTexture(int width, int height, const void* pixels);
// Draws formatted text with the glyph texture; y counts from the top of the window.
void drawText(float x, float y, float size, const char* format, ...);
void drawScene();
void drawMesh(float distance, float rx, float ry, float rz);
void drawCube(float half);
float secondsSinceStart();

// The scroller moves 2 pixels a frame and starts again at the right edge once it has passed.
void advanceScroller(float& x);
