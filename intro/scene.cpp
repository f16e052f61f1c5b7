#include "intro/scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdarg>
#include <cstdio>

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

unsigned mipmappedTexture(int width, int height, const void* pixels) {
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  gluBuild2DMipmaps(GL_TEXTURE_2D, 4, width, height, GL_BGR_EXT, GL_UNSIGNED_BYTE, pixels);
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
      {{-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}},      // front
      {{-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}, {1, -1, -1}},  // back
      {{-1, 1, -1}, {-1, 1, 1}, {1, 1, 1}, {1, 1, -1}},      // top
      {{-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1}},  // bottom
      {{1, -1, -1}, {1, 1, -1}, {1, 1, 1}, {1, -1, 1}},      // right
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
