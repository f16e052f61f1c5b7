// The intro program: asks whether to run full screen, then plays its tune and draws its scene
// until Escape is pressed or the window is closed.
#include <SDL.h>

#include <cstdlib>

#include "intro/memory_file.h"
#include "intro/resources.h"
#include "intro/scene.h"
#include "intro/sound.h"
#include "intro/window.h"
#include "intro/xm.h"

namespace {

const char WINDOW_TITLE[] = "The Keeper of the Light - a tiny intro in 640 x 480";
static_assert(sizeof WINDOW_TITLE - 1 == 51, "the window title is 51 characters long");
const char QUESTION_CAPTION[] = "Start Full Screen?";
static_assert(sizeof QUESTION_CAPTION - 1 == 18, "the question's caption is 18 characters long");

constexpr int ESCAPE = 27;

// Module names are resource numbers of type RCDATA.
MemoryImage rcdata(const char* name) {
  ResourceData found = findResource(ResourceType::RcData, std::atoi(name));
  return {found.data, found.size};
}

}  // namespace

int main(int, char**) {
  // Message boxes need no initialisation; the window's start does its own (createGlWindow).
  intro.timerStart = SDL_GetPerformanceCounter();
  intro.timerFrequency = SDL_GetPerformanceFrequency();

  useMemoryFiles(rcdata);
  soundInit(44100);
  XmSong* song = xmLoadSong("102", nullptr);
  if (!song) {
    showMessage("Error loading music", "ERROR", MessageIcon::Plain);
    SDL_Quit();
    return 0;
  }
  bool fullscreen = askYesNo("Have wankin fullscreen ?", QUESTION_CAPTION, MessageIcon::Information);
  if (!createGlWindow(WINDOW_TITLE, 640, 480, 32, fullscreen)) {
    xmFreeSong(song);
    soundClose();
    SDL_Quit();
    return 0;
  }
  xmPlaySong(song);
  intro.backgroundTexture = loadBitmapTexture(BITMAP_BACKGROUND);
  intro.glyphTexture = loadBitmapTexture(BITMAP_GLYPHS);

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
        lastKey = ESCAPE;
      }
    } else {
      drawScene();
      swapGlWindow();
    }
  }

  xmFreeSong(song);
  soundClose();
  killGlWindow();
  SDL_Quit();
  return lastKey;
}
