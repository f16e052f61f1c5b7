#include "intro/scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include "intro/resources.h"

IntroState intro;

namespace {

constexpr float PI = 3.14159265f;
constexpr int GRID = 100;
float meshVertices[GRID][GRID][3];

// The text that bounces along the bottom edge.
const char SCROLLER_TEXT[] =
    "Welcome aboard, traveller, to the lighthouse at the end of the world ... "
    "Here the lamp burns on words, and every word you find is a spark against the dark sea. "
    "This little intro was made with nothing but our own tools: the tune is written note by note "
    "by a small generator, eighteen channels of square waves, saws, bells and noise, played by a "
    "home made tracker player with ramps, envelopes and ping pong loops, mixed in floating point "
    "and sent to the sound card twenty milliseconds at a time ... The picture below was painted "
    "by a program too, and the letters you are reading were cut from a font at build time. "
    "Greetings go out to everybody who still watches scrollers to the very end, to the keepers "
    "of old lighthouses, to the fishermen coming home in the storm, and to you. "
    "Press Escape whenever you are ready to leave the tower ... or stay a while and listen. "
    "The storm passes, dawn breaks, and the words go on ... Good night.                 ";
static_assert(sizeof SCROLLER_TEXT - 1 == 948, "the scroller text is 948 characters long");

constexpr float SCROLLER_RESTART = -12699;

}  // namespace

void showMessage(const char* text, const char* caption, Uint32 icon) {
  SDL_ShowSimpleMessageBox(icon, caption, text, intro.window);
}

bool askYesNo(const char* text, const char* caption, Uint32 icon) {
  const SDL_MessageBoxButtonData buttons[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"},
  };
  SDL_MessageBoxData box{icon, intro.window, caption, text, 2, buttons, nullptr};
  int answer = -1;
  if (SDL_ShowMessageBox(&box, &answer) != 0) return true;
  return answer != 0;
}

float secondsSinceStart() {
  return static_cast<float>(SDL_GetPerformanceCounter() - intro.timerStart) / intro.timerFrequency;
}

void resizeGlScene(int width, int height) {
  if (height == 0) height = 1;
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(55, static_cast<double>(width) / height, 1, 1000);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  intro.width = width;
  intro.height = height;
}

void killGlWindow() {
  if (intro.fullscreen && intro.window) {
    SDL_SetWindowFullscreen(intro.window, 0);
    SDL_ShowCursor(SDL_ENABLE);
  }
  if (intro.context) {
    if (SDL_GL_MakeCurrent(intro.window, nullptr) != 0)
      showMessage("Release Of DC And RC Failed.", "SHUTDOWN ERROR", SDL_MESSAGEBOX_INFORMATION);
    SDL_GL_DeleteContext(intro.context);
    intro.context = nullptr;
  }
  if (intro.window) {
    SDL_DestroyWindow(intro.window);
    intro.window = nullptr;
  }
}

namespace {

// Says why the window could not be made (with the library's reason on standard error for
// whoever reads it) after letting go of what was made.
bool windowFailure(const char* text) {
  std::fprintf(stderr, "%s (%s)\n", text, SDL_GetError());
  killGlWindow();
  showMessage(text, "ERROR", SDL_MESSAGEBOX_WARNING);
  return false;
}

// Asked whenever the display cannot switch: Yes goes on in a window, No ends the program.
bool windowedInstead() {
  if (askYesNo("The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?",
               "Orvo GL", SDL_MESSAGEBOX_WARNING)) {
    intro.fullscreen = false;
    return true;
  }
  showMessage("Program Will Now Close.", "ERROR", SDL_MESSAGEBOX_ERROR);
  return false;
}

// The display mode of exactly width x height at `bits` per pixel (bits as the display counts
// them: 8-bit RGB in 4 bytes is 32), or false.
bool exactDisplayMode(int width, int height, int bits, SDL_DisplayMode& mode) {
  SDL_DisplayMode wanted{bits > 16 ? SDL_PIXELFORMAT_RGB888 : SDL_PIXELFORMAT_RGB565, width, height, 0, nullptr};
  return SDL_GetClosestDisplayMode(0, &wanted, &mode) && mode.w == width && mode.h == height &&
         static_cast<int>(SDL_BYTESPERPIXEL(mode.format)) * 8 == bits;
}

// A window with a GL pixel format: 32 depth bits asked for, the closest the driver has taken.
SDL_Window* createWindowWithPixelFormat(const char* title, int width, int height) {
  for (int depth : {32, 24, 16}) {
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depth);
    if (SDL_Window* window = SDL_CreateWindow(title, 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN))
      return window;
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

bool createGlWindow(const char* title, int width, int height, int bits, bool fullscreen) {
  intro.fullscreen = fullscreen;
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return windowFailure("Failed To Register The Window Class.");
  SDL_DisplayMode mode{};
  if (fullscreen && !exactDisplayMode(width, height, bits, mode) && !windowedInstead()) return false;

  int colourBits = bits > 16 ? 8 : 5;
  if (SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1) != 0 || SDL_GL_SetAttribute(SDL_GL_RED_SIZE, colourBits) != 0 ||
      SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, colourBits) != 0 ||
      SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, colourBits) != 0)
    return windowFailure("Can't Set The PixelFormat.");
  intro.window = createWindowWithPixelFormat(title, width, height);
  if (!intro.window) {
    return windowFailure(plainWindowPossible(title, width, height) ? "Can't Find A Suitable PixelFormat."
                                                                  : "Window Creation Error.");
  }
  if (intro.fullscreen && (SDL_SetWindowDisplayMode(intro.window, &mode) != 0 ||
                           SDL_SetWindowFullscreen(intro.window, SDL_WINDOW_FULLSCREEN) != 0)) {
    SDL_SetWindowFullscreen(intro.window, 0);
    if (!windowedInstead()) {
      killGlWindow();
      return false;
    }
  }
  if (intro.fullscreen) SDL_ShowCursor(SDL_DISABLE);
  ResourceData icon = findResource(ResourceType::Icon, ICON_PROGRAM);
  if (SDL_Surface* surface = SDL_LoadBMP_RW(SDL_RWFromConstMem(icon.data, icon.size), 1)) {
    SDL_SetWindowIcon(intro.window, surface);
    SDL_FreeSurface(surface);
  }
  intro.context = SDL_GL_CreateContext(intro.window);
  if (!intro.context) return windowFailure("Can't Create A GL Rendering Context.");
  if (SDL_GL_MakeCurrent(intro.window, intro.context) != 0)
    return windowFailure("Can't Activate The GL Rendering Context.");
  SDL_ShowWindow(intro.window);
  SDL_RaiseWindow(intro.window);
  resizeGlScene(width, height);
  return true;
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
    std::memcpy(&pixels[static_cast<size_t>(surface->h - 1 - y) * rowBytes],
                static_cast<unsigned char*>(surface->pixels) + static_cast<size_t>(y) * surface->pitch, rowBytes);
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  gluBuild2DMipmaps(GL_TEXTURE_2D, 4, surface->w, surface->h, GL_BGR, GL_UNSIGNED_BYTE, pixels.data());
  SDL_FreeSurface(surface);
  return texture;
}

void drawText(float x, float y, float size, const char* format, ...) {
  char text[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);

  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glColor3f(1, 1, 1);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glDisable(GL_LIGHTING);
  glBindTexture(GL_TEXTURE_2D, intro.glyphTexture);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, intro.width, 0, intro.height, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();

  float width = size / 2, height = size;
  float baseline = intro.height - y;
  float pen = x;
  float advance = std::trunc(0.45f * size);
  glBegin(GL_QUADS);
  for (const char* c = text; *c; ++c, pen += advance) {
    unsigned char ch = static_cast<unsigned char>(*c);
    if (ch == ' ') continue;
    int column = ch % 16, row = (ch - 32) / 16;
    float u = column / 16.0f + 0.01f, v = 0.875f - row / 8.0f - 0.01f;
    glTexCoord2f(u, v);
    glVertex2f(pen, baseline);
    glTexCoord2f(u + 1 / 16.0f, v);
    glVertex2f(pen + width, baseline);
    glTexCoord2f(u + 1 / 16.0f, v + 1 / 8.0f);
    glVertex2f(pen + width, baseline + height);
    glTexCoord2f(u, v + 1 / 8.0f);
    glVertex2f(pen, baseline + height);
  }
  glEnd();

  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glPopAttrib();
  glDisable(GL_BLEND);
  glEnable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  resizeGlScene(intro.width, intro.height);
}

void drawMesh(float distance, float rx, float ry, float rz) {
  float m = secondsSinceStart() / 1.2f;
  glLoadIdentity();
  gluLookAt(0, 0, distance, 0, 0, 0, 0, 1, 0);
  glRotatef(rx, 1, 0, 0);
  glRotatef(ry, 0, 1, 0);
  glRotatef(rz, 0, 0, 1);
  float swell = 2.5f * std::sin(1.5f * m);
  for (int i = 0; i < GRID; ++i) {
    for (int j = 0; j < GRID; ++j) {
      meshVertices[i][j][0] = (j - 50) * 150.0f;
      meshVertices[i][j][1] = (i - 50) * 150.0f;
      meshVertices[i][j][2] = (26 * std::sin(j + 3 * m) + 25 * std::cos(i + 2 * m)) * swell;
    }
  }
  auto vertex = [](int i, int j) {
    const float* v = meshVertices[i][j];
    glTexCoord2f(v[0] / 400, v[1] / 400);
    glVertex3fv(v);
  };
  glBegin(GL_TRIANGLES);
  for (int i = 0; i + 1 < GRID; ++i) {
    for (int j = 0; j + 1 < GRID; ++j) {
      // Clockwise as seen by the camera: the scene culls front faces while it draws the mesh.
      vertex(i, j);
      vertex(i + 1, j);
      vertex(i, j + 1);
      vertex(i + 1, j);
      vertex(i + 1, j + 1);
      vertex(i, j + 1);
    }
  }
  glEnd();
}

void drawCube(float a) {
  static const float corners[6][4][3] = {
      {{-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}},  // front
      {{-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}, {1, -1, -1}},  // back
      {{-1, 1, -1}, {-1, 1, 1}, {1, 1, 1}, {1, 1, -1}},  // top
      {{-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1}},  // bottom
      {{1, -1, -1}, {1, 1, -1}, {1, 1, 1}, {1, -1, 1}},  // right
      {{-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}},  // left
  };
  static const float texture[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  glBegin(GL_QUADS);
  for (const auto& face : corners) {
    for (int k = 0; k < 4; ++k) {
      glNormal3f(face[k][0] * a, face[k][1] * a, face[k][2] * a);
      glTexCoord2fv(texture[k]);
      glVertex3f(face[k][0] * a, face[k][1] * a, face[k][2] * a);
    }
  }
  glEnd();
}

void advanceScroller(float& x) {
  x -= 2;
  if (x < SCROLLER_RESTART) x = 640;
}

void drawScene() {
  float t = secondsSinceStart();
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45, 1.33333, 1, 10000);
  glMatrixMode(GL_MODELVIEW);
  glDisable(GL_LIGHTING);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_ALWAYS);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glLineWidth(2);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_FRONT);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, intro.backgroundTexture);
  glColor3f(1, 1, 1);

  float s = std::sin(t / 1.2f);
  drawMesh(1000 + 150 * s, -45, 0, 360 + 30 * s);

  glDisable(GL_TEXTURE_2D);
  glLoadIdentity();
  gluLookAt(0, 0, -175, 0, 0, 0, 0, 1, 0);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_SRC_ALPHA);
  glCullFace(GL_BACK);
  for (int c = 16; c >= 1; --c) {
    glPushMatrix();
    GLubyte grey = static_cast<GLubyte>(12 * c);
    glColor4ub(grey, grey, grey, grey);
    glRotatef(30.5f * t - 8 * c, 1, 0, 0);
    glRotatef(32.7f * t - 8 * c, 0, 1, 0);
    glRotatef(34.1f * t - 8 * c, 0, 0, 1);
    drawCube(2.0f * c);
    glColor4f(0, 0, 0, 0);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    drawCube(2.0f * c);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glPopMatrix();
  }

  advanceScroller(intro.scrollerX);
  float y = std::trunc(480 - std::fabs(40 * std::sin(3 * t)));
  drawText(intro.scrollerX, y, 30, "%s", SCROLLER_TEXT);
  glDisable(GL_DEPTH_TEST);
}
