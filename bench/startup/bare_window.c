/* The least a GLFW program does before its first picture: the windowing library's start, a
 * window of the game's size (1280 x 720, or full screen on the primary monitor at its current
 * mode with -f) and its GL context, one clear and one rectangle, the swap. Then it waits to be
 * ended. The start-up bench measures it beside the game: what the game adds to it is the
 * game's own.
 *
 * usage: bare_window [-f] */
#include <GL/gl.h>
#include <GLFW/glfw3.h>
#include <string.h>

int main(int argc, char** argv) {
    const int fullScreen = argc > 1 && strcmp(argv[1], "-f") == 0;
    if (!glfwInit()) return 1;
    GLFWmonitor* monitor = fullScreen ? glfwGetPrimaryMonitor() : NULL;
    int width = 1280, height = 720;
    if (monitor) {
        const GLFWvidmode* mode = glfwGetVideoMode(monitor);
        width = mode->width;
        height = mode->height;
    }
    GLFWwindow* window = glfwCreateWindow(width, height, "bare window", monitor, NULL);
    if (!window) return 1;
    glfwMakeContextCurrent(window);
    glClearColor(0.2f, 0.3f, 0.4f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(width / 4, 0, width / 2, height);
    glClearColor(0.9f, 0.8f, 0.3f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glfwSwapBuffers(window);
    while (!glfwWindowShouldClose(window)) glfwWaitEvents();
    glfwTerminate();
    return 0;
}
