#include "intro/startup.h"

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

// Module names are resource numbers of type RCDATA.
MemoryImage rcdata(const char* name) {
  ResourceData found = findResource(ResourceType::RcData, std::atoi(name));
  return {found.data, found.size};
}

}  // namespace

XmSong* startIntro() {
  useMemoryFiles(rcdata);
  soundInit(44100);
  XmSong* song = xmLoadSong("102", nullptr);
  if (!song) {
    showMessage("Error loading music", "ERROR", MessageIcon::Plain);
    return nullptr;
  }
  bool fullscreen =
      askYesNo("Have wankin fullscreen ?", QUESTION_CAPTION, MessageIcon::Information);
  if (!createGlWindow(WINDOW_TITLE, 640, 480, 32, fullscreen)) {
    xmFreeSong(song);
    soundClose();
    return nullptr;
  }
  xmPlaySong(song);
  intro.backgroundTexture = loadBitmapTexture(BITMAP_BACKGROUND);
  intro.glyphTexture = loadBitmapTexture(BITMAP_GLYPHS);
  return song;
}

void endIntro(XmSong* song) {
  xmFreeSong(song);
  soundClose();
  killGlWindow();
}
