#include "device/display_watch.h"

#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>

namespace {

// Xlib's error handlers take no data of ours: what they are to save is kept here.
void (*saveBeforeExit)(void*) = nullptr;
void* saveData = nullptr;

// Nothing more can be drawn or asked of the server: keep the progress and end at once, without
// the teardown, which would only talk to the server again.
[[noreturn]] void endAfterDisplayLoss(const char* what) {
    static bool ending = false;
    if (!ending) {
        ending = true;
        std::fprintf(stderr, "The display was lost (%s); progress saved, the game ends\n", what);
        if (saveBeforeExit) saveBeforeExit(saveData);
        std::fflush(stderr);
        std::fflush(stdout);
    }
    _exit(0);
}

int onProtocolError(Display*, XErrorEvent* event) {
    char what[64];
    std::snprintf(what, sizeof what, "X error %d on request %d", event->error_code,
                  event->request_code);
    endAfterDisplayLoss(what);
}

int onConnectionError(Display*) {
    endAfterDisplayLoss("the connection to the X server failed");
}

}  // namespace

void watchDisplayLoss(void (*save)(void*), void* data) {
    saveBeforeExit = save;
    saveData = data;
    XSetErrorHandler(onProtocolError);
    XSetIOErrorHandler(onConnectionError);
}
