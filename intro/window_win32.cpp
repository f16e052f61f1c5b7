// The intro's window, WGL context, message boxes, display-mode switch, counter and bitmap
// resources over Win32.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "intro/resources.h"
#include "intro/scene.h"
#include "intro/window.h"

namespace {

HINSTANCE instance;
HWND window;
HDC deviceContext;
HGLRC glContext;
bool fullscreen;

UINT boxIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information:
      return MB_ICONINFORMATION;
    case MessageIcon::Warning:
      return MB_ICONEXCLAMATION;
    case MessageIcon::Error:
      return MB_ICONSTOP;
    case MessageIcon::Plain:
      break;
  }
  return 0;
}

LRESULT CALLBACK windowProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    intro.running = false;
    PostQuitMessage(0);
    return 0;
  }
  if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
    intro.running = false;
    PostQuitMessage(0);
  }
  return DefWindowProcA(handle, message, wParam, lParam);
}

// Undoes what createGlWindow made so far, then shows the failure.
bool failWindow(const char* text) {
  killGlWindow();
  showMessage(text, "ERROR", MessageIcon::Warning);
  return false;
}

}  // namespace

void showMessage(const char* text, const char* caption, MessageIcon icon) {
  MessageBoxA(nullptr, text, caption, MB_OK | boxIcon(icon));
}

bool askYesNo(const char* text, const char* caption, MessageIcon icon) {
  return MessageBoxA(nullptr, text, caption, MB_YESNO | boxIcon(icon)) != IDNO;
}

float secondsSinceStart() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<float>(static_cast<uint64_t>(now.QuadPart) - intro.timerStart) /
         intro.timerFrequency;
}

void killGlWindow() {
  if (fullscreen) {
    ChangeDisplaySettingsA(nullptr, 0);
    ShowCursor(TRUE);
  }
  if (glContext) {
    if (!wglMakeCurrent(nullptr, nullptr))
      showMessage("Release Of DC And RC Failed.", "SHUTDOWN ERROR", MessageIcon::Information);
    if (!wglDeleteContext(glContext))
      showMessage("Release Rendering Context Failed.", "SHUTDOWN ERROR", MessageIcon::Information);
    glContext = nullptr;
  }
  if (deviceContext) {
    ReleaseDC(window, deviceContext);
    deviceContext = nullptr;
  }
  if (window) {
    DestroyWindow(window);
    window = nullptr;
  }
  if (instance) {
    UnregisterClassA("OpenGL", instance);
    instance = nullptr;
  }
}

bool createGlWindow(const char* title, int width, int height, int bits, bool fullScreen) {
  fullscreen = fullScreen;
  instance = GetModuleHandleA(nullptr);
  WNDCLASSA windowClass{};
  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
  windowClass.lpfnWndProc = windowProcedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(ICON_PROGRAM));
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  windowClass.lpszClassName = "OpenGL";
  if (!RegisterClassA(&windowClass)) {
    instance = nullptr;
    showMessage("Failed To Register The Window Class.", "ERROR", MessageIcon::Warning);
    return false;
  }

  if (fullscreen) {
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = DWORD(width);
    mode.dmPelsHeight = DWORD(height);
    mode.dmBitsPerPel = DWORD(bits);
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    if (ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) {
      if (askYesNo("The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use "
                   "Windowed Mode Instead?",
                   "Orvo GL", MessageIcon::Warning)) {
        fullscreen = false;
      } else {
        showMessage("Program Will Now Close.", "ERROR", MessageIcon::Error);
        killGlWindow();
        return false;
      }
    }
  }
  DWORD style = WS_OVERLAPPEDWINDOW, extendedStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
  if (fullscreen) {
    style = WS_POPUP;
    extendedStyle = WS_EX_APPWINDOW;
    ShowCursor(FALSE);
  }
  RECT frame{0, 0, width, height};
  AdjustWindowRectEx(&frame, style, FALSE, extendedStyle);
  window = CreateWindowExA(
      extendedStyle, "OpenGL", title, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
      frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
  if (!window) return failWindow("Window Creation Error.");

  deviceContext = GetDC(window);
  if (!deviceContext) return failWindow("Can't Create A GL Device Context.");
  PIXELFORMATDESCRIPTOR format{};
  format.nSize = sizeof format;
  format.nVersion = 1;
  format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  format.iPixelType = PFD_TYPE_RGBA;
  format.cColorBits = BYTE(bits);
  format.cDepthBits = 32;
  format.iLayerType = PFD_MAIN_PLANE;
  int chosen = ChoosePixelFormat(deviceContext, &format);
  if (!chosen) return failWindow("Can't Find A Suitable PixelFormat.");
  if (!SetPixelFormat(deviceContext, chosen, &format))
    return failWindow("Can't Set The PixelFormat.");
  glContext = wglCreateContext(deviceContext);
  if (!glContext) return failWindow("Can't Create A GL Rendering Context.");
  if (!wglMakeCurrent(deviceContext, glContext))
    return failWindow("Can't Activate The GL Rendering Context.");

  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  SetFocus(window);
  resizeGlScene(width, height);
  return true;
}

void swapGlWindow() {
  SwapBuffers(deviceContext);
}

unsigned loadBitmapTexture(int id) {
  HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id),
                                                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!bitmap) return 0;
  BITMAP pixels;
  GetObjectA(bitmap, sizeof pixels, &pixels);
  // A DIB section keeps its rows bottom-up in blue-green-red order, as the texture wants them.
  unsigned texture = mipmappedTexture(pixels.bmWidth, pixels.bmHeight, pixels.bmBits);
  DeleteObject(bitmap);
  return texture;
}

ResourceData findResource(ResourceType type, int id) {
  LPCSTR kind = type == ResourceType::Bitmap ? MAKEINTRESOURCEA(2)    // RT_BITMAP
                : type == ResourceType::Icon ? MAKEINTRESOURCEA(14)   // RT_GROUP_ICON
                                             : MAKEINTRESOURCEA(10);  // RT_RCDATA
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), kind);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  if (!loaded) return {nullptr, 0};
  return {static_cast<const uint8_t*>(LockResource(loaded)),
          static_cast<uint32_t>(SizeofResource(module, found))};
}
