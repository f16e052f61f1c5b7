#include <GLFW/glfw3.h>

#include "device/keyboard.h"

static_assert(KEY_ESCAPE == GLFW_KEY_ESCAPE && KEY_BACKSPACE == GLFW_KEY_BACKSPACE &&
                  KEY_DELETE == GLFW_KEY_DELETE && KEY_F1 == GLFW_KEY_F1,
              "the game's key codes are GLFW's");

namespace {

// GLFW's callbacks carry no pointer of ours; the game has one window.
KeyQueue* listeningQueue = nullptr;

void onKey(GLFWwindow*, int key, int, int action, int) {
    if (action == GLFW_PRESS && key != GLFW_KEY_UNKNOWN)
        keyQueueDown(listeningQueue, key);
    else
        keyQueueOther(listeningQueue);
}

void onCharacter(GLFWwindow*, unsigned int codePoint) {
    keyQueueText(listeningQueue, codePoint);
}

}  // namespace

const char* keyLayoutName(int32_t key) {
    return glfwGetKeyName(key, 0);
}

void queueKeyPresses(GLFWwindow* window, KeyQueue* queue) {
    listeningQueue = queue;
    glfwSetKeyCallback(window, onKey);
    glfwSetCharCallback(window, onCharacter);
}
