// The intro program on Windows: the same start-up and scene as everywhere, with the Win32
// message loop. It ends with the word parameter of the last message it took (27 for Escape).
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "intro/scene.h"
#include "intro/startup.h"
#include "intro/window.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  intro.timerStart = static_cast<uint64_t>(counter.QuadPart);
  intro.timerFrequency = static_cast<uint64_t>(frequency.QuadPart);

  XmSong* song = startIntro();
  if (!song) return 0;
  MSG message{};
  while (intro.running) {
    if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message != WM_QUIT) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
      }
    } else {
      drawScene();
      swapGlWindow();
    }
  }
  endIntro(song);
  return static_cast<int>(message.wParam);
}
