/* Starts a program and prints two times in seconds from its start: when its first window is
 * mapped, and when that window first shows a picture (more than one colour in its middle row).
 * Ends the program then. Exits with 1 when no window shows a picture within 30 s.
 *
 * usage: first_frame PROGRAM [ARGS...]   (on $DISPLAY) */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <stdio.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

/* A window not drawn yet is of one colour; the middle row of a drawn screen hardly is. */
static int showsPicture(Display* display, Window window) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable)
        return 0;
    XImage* row = XGetImage(display, window, 0, attributes.height / 2, (unsigned)attributes.width,
                            1, AllPlanes, ZPixmap);
    if (!row) return 0;
    int colours = 0;
    unsigned long first = XGetPixel(row, 0, 0);
    for (int x = 1; x < attributes.width && !colours; ++x) colours = XGetPixel(row, x, 0) != first;
    XDestroyImage(row);
    return colours;
}

static int ignoreErrors(Display* display, XErrorEvent* error) {
    (void)display;
    (void)error;
    return 0; /* a window may go away between two requests */
}

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: first_frame PROGRAM [ARGS...]\n");
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "first_frame: no display\n");
        return 2;
    }
    XSetErrorHandler(ignoreErrors);
    Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    double start = now();
    pid_t child = fork();
    if (child == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    double mapped = 0, drawn = 0;
    Window window = 0;
    while (!drawn && now() - start < 30) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && !window) {
                window = event.xmap.window;
                mapped = now() - start;
            }
        }
        if (window && showsPicture(display, window)) drawn = now() - start;
        if (!drawn) usleep(2000);
    }
    kill(child, SIGKILL);
    waitpid(child, NULL, 0);
    XCloseDisplay(display);
    if (!drawn) return 1;
    printf("%.3f %.3f\n", mapped, drawn);
    return 0;
}
