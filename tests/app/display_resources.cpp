#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstring>

bool setDisplayResources(const char* resources) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    XChangeProperty(display, DefaultRootWindow(display), XA_RESOURCE_MANAGER, XA_STRING, 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(resources),
                    static_cast<int>(std::strlen(resources)));
    XCloseDisplay(display);
    return true;
}
