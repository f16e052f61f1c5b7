// The intro program: asks whether to run full screen, then plays its tune and draws its scene
// until Escape is pressed or the window is closed.
#include <SDL.h>

#include "intro/scene.h"
#include "intro/startup.h"
#include "intro/window.h"

int main(int, char**) {
  // Message boxes need no initialisation; the window's start does its own (createGlWindow).
  intro.timerStart = SDL_GetPerformanceCounter();
  intro.timerFrequency = SDL_GetPerformanceFrequency();

  XmSong* song = startIntro();
  if (!song) {
    SDL_Quit();
    return 0;
  }
  int lastKey = 0;
  while (intro.running) {
    SDL_Event event;
    if (SDL_PollEvent(&event)) {
      if (event.type == SDL_QUIT ||
          (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE)) {
        intro.running = false;
        lastKey = 0;
      } else if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE) {
        intro.running = false;
        lastKey = ESCAPE_KEY;
      }
    } else {
      drawScene();
      swapGlWindow();
    }
  }
  endIntro(song);
  SDL_Quit();
  return lastKey;
}
