// Key presses from the window system, kept in the order they happen so that none is lost between
// two frames, each with the text the keyboard layout made of it; and the layout's key names.
#pragma once

#include <cstdint>

struct GLFWwindow;

// The window system's codes of the keys the game acts on by code (GLFW's key codes).
enum : int32_t {
    KEY_ESCAPE = 256,
    KEY_ENTER = 257,
    KEY_BACKSPACE = 259,
    KEY_DELETE = 261,
    KEY_F1 = 290,
    KEY_KP_ENTER = 335
};

struct KeyPress {
    int32_t key;    // the window system's key code
    uint32_t text;  // the one code point of text the press made; 0 when it made none or several
};

// Far more presses than a player makes while one frame is drawn.
constexpr int32_t kKeyQueueSize = 128;

struct KeyQueue {
    KeyPress presses[kKeyQueueSize]{};
    int32_t first = 0;  // slot of the oldest press
    int32_t count = 0;
    int32_t textOpen = 0;  // 1 while text from the window system belongs to the newest press
    int32_t textSeen = 0;  // 1 once the newest press received a code point
};

// A key went down (a held key's repeats are not presses). A full queue keeps what it holds.
void keyQueueDown(KeyQueue* queue, int32_t key);
// Any other key event (a release, a repeat, a key without a code): text after it is no press's.
void keyQueueOther(KeyQueue* queue);
// A code point of text the layout made; it belongs to the press just before it, if any.
void keyQueueText(KeyQueue* queue, uint32_t codePoint);
// 1 and the oldest press, which leaves the queue; 0 when there is none.
int keyQueueTake(KeyQueue* queue, KeyPress* press);

// The lower-case form of a Latin or Cyrillic letter beyond ASCII; 0 when cp is no such letter.
uint32_t lowerNonAsciiLetter(uint32_t cp);

// The key's name under the active keyboard layout (UTF-8), or null when it has none.
const char* keyLayoutName(int32_t key);
// From now on every key press in the window, and the text it makes, goes to the queue.
void queueKeyPresses(GLFWwindow* window, KeyQueue* queue);
