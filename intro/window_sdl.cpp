// The intro's window on SDL2: a GL window made step by step, each failing step named in its own
// message box, the intro's message boxes, its counter and its bitmaps.
#include <SDL.h>
#include <SDL_syswm.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "intro/resources.h"
#include "intro/scene.h"
#include "intro/window.h"

namespace {

SDL_Window* window;
SDL_GLContext context;
bool fullscreen;

Uint32 sdlIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Plain:
      return 0;
    case MessageIcon::Information:
      return SDL_MESSAGEBOX_INFORMATION;
    case MessageIcon::Warning:
      return SDL_MESSAGEBOX_WARNING;
    case MessageIcon::Error:
      return SDL_MESSAGEBOX_ERROR;
  }
  return 0;
}

}  // namespace

void showMessage(const char* text, const char* caption, MessageIcon icon) {
  SDL_ShowSimpleMessageBox(sdlIcon(icon), caption, text, window);
}

bool askYesNo(const char* text, const char* caption, MessageIcon icon) {
  const SDL_MessageBoxButtonData buttons[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"},
  };
  SDL_MessageBoxData box{sdlIcon(icon), window, caption, text, 2, buttons, nullptr};
  int answer = -1;
  if (SDL_ShowMessageBox(&box, &answer) != 0) return true;
  return answer != 0;
}

void killGlWindow() {
  if (fullscreen && window) {
    SDL_SetWindowFullscreen(window, 0);
    SDL_ShowCursor(SDL_ENABLE);
  }
  if (context) {
    if (SDL_GL_MakeCurrent(window, nullptr) != 0)
      showMessage("Release Of DC And RC Failed.", "SHUTDOWN ERROR", MessageIcon::Information);
    SDL_GL_DeleteContext(context);
    context = nullptr;
  }
  if (window) {
    SDL_DestroyWindow(window);
    window = nullptr;
  }
}

namespace {

// Says why the window could not be made (with the library's reason on standard error for
// whoever reads it) after letting go of what was made.
bool windowFailure(const char* text) {
  std::fprintf(stderr, "%s (%s)\n", text, SDL_GetError());
  killGlWindow();
  showMessage(text, "ERROR", MessageIcon::Warning);
  return false;
}

// Asked whenever the display cannot switch: Yes goes on in a window, No ends the program.
bool windowedInstead() {
  if (askYesNo("The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed "
               "Mode Instead?",
               "Orvo GL", MessageIcon::Warning)) {
    fullscreen = false;
    return true;
  }
  showMessage("Program Will Now Close.", "ERROR", MessageIcon::Error);
  return false;
}

// The display mode of exactly width x height at `bits` per pixel (bits as the display counts
// them: 8-bit RGB in 4 bytes is 32), or false.
bool exactDisplayMode(int width, int height, int bits, SDL_DisplayMode& mode) {
  SDL_DisplayMode wanted{bits > 16 ? SDL_PIXELFORMAT_RGB888 : SDL_PIXELFORMAT_RGB565, width, height,
                         0, nullptr};
  return SDL_GetClosestDisplayMode(0, &wanted, &mode) && mode.w == width && mode.h == height &&
         static_cast<int>(SDL_BYTESPERPIXEL(mode.format)) * 8 == bits;
}

// A window with a GL pixel format: 32 depth bits asked for, the closest the driver has taken.
SDL_Window* createWindowWithPixelFormat(const char* title, int width, int height) {
  for (int depth : {32, 24, 16}) {
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depth);
    if (SDL_Window* made =
            SDL_CreateWindow(title, 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN))
      return made;
  }
  return nullptr;
}

// When no window with a GL pixel format can be made, whether a plain one can: then what is
// missing is a pixel format (the display has no GL at all, or none with what was asked for).
bool plainWindowPossible(const char* title, int width, int height) {
  SDL_Window* plain = SDL_CreateWindow(title, 0, 0, width, height, SDL_WINDOW_HIDDEN);
  if (plain) SDL_DestroyWindow(plain);
  return plain != nullptr;
}

}  // namespace

bool createGlWindow(const char* title, int width, int height, int bits, bool fullScreen) {
  fullscreen = fullScreen;
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
    return windowFailure("Failed To Register The Window Class.");
  SDL_DisplayMode mode{};
  if (fullScreen && !exactDisplayMode(width, height, bits, mode) && !windowedInstead())
    return false;

  int colourBits = bits > 16 ? 8 : 5;
  if (SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1) != 0 ||
      SDL_GL_SetAttribute(SDL_GL_RED_SIZE, colourBits) != 0 ||
      SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, colourBits) != 0 ||
      SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, colourBits) != 0)
    return windowFailure("Can't Set The PixelFormat.");
  window = createWindowWithPixelFormat(title, width, height);
  if (!window) {
    return windowFailure(plainWindowPossible(title, width, height)
                             ? "Can't Find A Suitable PixelFormat."
                             : "Window Creation Error.");
  }
  // The window's own drawable, which GL draws into.
  SDL_SysWMinfo native;
  SDL_VERSION(&native.version);
  if (!SDL_GetWindowWMInfo(window, &native))
    return windowFailure("Can't Create A GL Device Context.");
  if (fullscreen && (SDL_SetWindowDisplayMode(window, &mode) != 0 ||
                     SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) != 0)) {
    SDL_SetWindowFullscreen(window, 0);
    if (!windowedInstead()) {
      killGlWindow();
      return false;
    }
  }
  if (fullscreen) SDL_ShowCursor(SDL_DISABLE);
  ResourceData icon = findResource(ResourceType::Icon, ICON_PROGRAM);
  if (SDL_Surface* surface = SDL_LoadBMP_RW(SDL_RWFromConstMem(icon.data, icon.size), 1)) {
    SDL_SetWindowIcon(window, surface);
    SDL_FreeSurface(surface);
  }
  context = SDL_GL_CreateContext(window);
  if (!context) return windowFailure("Can't Create A GL Rendering Context.");
  if (SDL_GL_MakeCurrent(window, context) != 0)
    return windowFailure("Can't Activate The GL Rendering Context.");
  SDL_ShowWindow(window);
  SDL_RaiseWindow(window);
  resizeGlScene(width, height);
  return true;
}

float secondsSinceStart() {
  return static_cast<float>(SDL_GetPerformanceCounter() - intro.timerStart) / intro.timerFrequency;
}

unsigned loadBitmapTexture(int id) {
  ResourceData bitmap = findResource(ResourceType::Bitmap, id);
  SDL_Surface* loaded = SDL_LoadBMP_RW(SDL_RWFromConstMem(bitmap.data, bitmap.size), 1);
  if (!loaded) return 0;
  SDL_Surface* surface = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_BGR24, 0);
  SDL_FreeSurface(loaded);
  if (!surface) return 0;
  // Rows bottom-up, as the bitmap stores them, so that texture row 0 is the picture's bottom.
  int rowBytes = surface->w * 3;
  std::vector<unsigned char> pixels(static_cast<size_t>(rowBytes) * surface->h);
  for (int y = 0; y < surface->h; ++y)
    std::memcpy(
        &pixels[static_cast<size_t>(surface->h - 1 - y) * rowBytes],
        static_cast<unsigned char*>(surface->pixels) + static_cast<size_t>(y) * surface->pitch,
        rowBytes);
  unsigned texture = mipmappedTexture(surface->w, surface->h, pixels.data());
  SDL_FreeSurface(surface);
  return texture;
}

void swapGlWindow() {
  SDL_GL_SwapWindow(window);
}
