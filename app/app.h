// The application record, start-up from the configuration, and the window with its frame loop.
#pragma once

#include <cstdint>

#include "device/keyboard.h"
#include "gfx/view_scale.h"

struct GLFWwindow;
struct ImDrawData;
struct ImGuiContext;
struct FontsAhead;
struct ImageAssets;
struct Config;
struct Game;
struct Ui;
struct KeyStore;
struct MusicPlayer;
struct SoundAssets;

struct App {
    uint32_t initMarker = 0;      // 1234 once createWindow has finished
    ImGuiContext* gui = nullptr;  // the GUI context made by createWindow
    int32_t running = 0;          // frame-loop flag
    GLFWwindow* window = nullptr;
    bool audioStarted = false;  // once the first frame is shown
    bool frameShownAgain = false;  // the last frame was the one on screen: not drawn, not swapped
    uint32_t clearColour = 0;   // of the next clear; a new GL context clears transparent
    ViewScale view;  // of this frame: the design (windowWidth x windowHeight) on the framebuffer
    int fbWidth = 0, fbHeight = 0;  // of this frame's framebuffer, measured as it starts
    float contentScale = 1;         // of the desktop, that a window (not full screen) was sized for
    KeyQueue keyPresses;            // of the window, filled by the window system's callbacks
    Game* game = nullptr;           // the game the frames play, owned by main
    Ui* ui = nullptr;               // the screens they draw, owned by main
};

// Value of App::initMarker after a successful createWindow.
constexpr uint32_t kAppInitMarker = 1234;

enum class InputType { None, Close, Key };
// Code reported with InputType::None and InputType::Close; (InputType::Close, kInputNoKey) is the
// close request.
constexpr int32_t kInputNoKey = 3;

struct InputEvent {
    InputType type;
    int32_t code;   // the GLFW key code for InputType::Key, else kInputNoKey
    uint32_t text;  // for InputType::Key the one code point of text the press made; else 0
};

// Reads game.dat of loaded's data folder into loaded (readConfig, readSettings, whose problems go
// to standard error) and sets up the start from it: the window's size and title, no language
// chosen, a fresh game and fresh screens; then loads the asset archives into the screens' assets.
// false when the file is missing or does not parse.
bool loadConfig(App* app, Config* loaded, Game& game);

// The game's assets, its halves kept by the layers that use them: points each at the
// configuration's data folder and starts reading the images archive (creating the empty image
// cache). The sounds are decoded when the audio starts, after the first picture (frameStep).
void loadAssets(const Config& config, ImageAssets* images, SoundAssets* sounds, MusicPlayer* music);
// Stops the music thread, then releases the slots' sounds and the image cache.
void freeAssets(ImageAssets* images, SoundAssets* sounds);

using FrameFunction = void (*)(void* arg);

// Calls fn(arg) until stopFrameLoop; fn runs at least once.
void runFrameLoop(App* app, FrameFunction fn, void* arg);
void stopFrameLoop(App* app);
// One frame of the game; arg is the App.
void frameStep(void* arg);
// Saves the progress of the language being played in game (a Game), if any: the last thing done
// when the window system goes away under the game.
void saveBeforeDisplayLoss(void* game);
// Polls the window and starts the GUI's frame at this frame's view scale (fonts baked again when it
// changed, the mouse in design units); reports at most one key press per frame, the oldest not yet
// reported. After a frame that was not drawn (nothing changed, so no swap paced the loop) and
// with no key press waiting, it waits for the window system up to a frame's time first.
InputEvent pollInput(App* app);
// The key part of pollInput: the oldest queued press of a watched key, or of any key whose text
// is a letter beyond ASCII, as an InputType::Key event (the presses before it leave the queue
// unreported); else (type, kInputNoKey).
InputEvent nextKeyEvent(KeyQueue* queue, InputType type);
// Starts the GUI's frame (pollInput's part after polling): the screens are laid out on the design
// and the mouse is seen there; the fonts are baked again when the view's factor changed.
void startGuiFrame(App* app);
// Makes the rendered frame's draw data cover the whole framebuffer in design units, the design
// at its place inside (drawGuiFrame's part before drawing).
void placeDesign(App* app, ImDrawData* data);
// Renders the GUI and, unless the frame is the one on screen already, clears (with the colour of
// the previous call) and draws it: true when drawn. colour is the next frame's clear.
bool drawGuiFrame(App* app, uint32_t colour);
// drawGuiFrame, and the swap of a frame drawn.
void endFrame(App* app, uint32_t colour);
// Clears with the current clear colour, then makes colour (packed RGBA, red in
// the low byte) the clear colour of the next call. Returns the colour this clear used.
uint32_t clearFrame(App* app, uint32_t colour);

// mode is 'f' (full screen on the primary monitor) or 'x' (windowed, fixed size: width x height
// in the desktop's logical pixels, so times its content scale, shrunk to the work area when that
// is smaller but never below width x height).
// The GUI is made with the atlas of fonts (bakeFontsAhead) when it is given, else with the built-in
// font alone. Returns the GUI context, or nullptr after logging why.
ImGuiContext* createWindow(App* app, const char* title, int width, int height, char mode,
                           FontsAhead* fonts = nullptr);
// The view factor the first frame of createWindow's window is expected to have (its fonts can be
// baked at it before the window exists): windowed, the desktop's scale as createWindow applies
// it; full screen, a video mode of exactly width x height where the monitor has one, else the
// monitor's current mode. 1 when no monitor is known.
float expectedViewFactor(App* app, int width, int height, char mode);
// 1 and the primary monitor's current video-mode size, or 0 when there is none.
bool primaryMonitorSize(App* app, int* width, int* height);
// Gives windowHeight the primary monitor's aspect for windowWidth, when a monitor is known.
void adjustHeightToMonitor(App* app);
// A window (not full screen) whose content scale changed, moved to another monitor, takes the
// design's size at the new scale.
void followDesktopScale(App* app);
// The size of a window for a design of width x height at the desktop's content scale, within a
// work area of workWidth x workHeight (0 when unknown).
void scaledWindowSize(int width, int height, float contentScale, int workWidth, int workHeight,
                      int* windowedWidth, int* windowedHeight);
// Releases the GUI and its back ends, then the windowing library.
void shutdownWindow(App* app);

// The windowing library's error callback: "Error %d: %s" on standard output.
void printGlfwError(int code, const char* text);
// The formatted message and a newline on standard error.
void logError(const char* format, ...) __attribute__((format(printf, 1, 2)));

// 'f' or 'x': the first letter of the configured mode, overridden by every
// argument starting with '-' or '/' (its second letter; the last one wins).
char windowModeFromArgs(const char* configured, int argc, const char* const* argv);
