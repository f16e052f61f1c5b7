#pragma once
// The picture layer drawn under every screen: placements from the configuration's "images" section.

#include <string>
#include <vector>

struct Config;
struct Game;
struct KeyNode;
struct Ui;

// Bits of an "anchor" text: l 1, t 2, r 4, b 8, c all four.
constexpr int kAnchorLeft = 1, kAnchorTop = 2, kAnchorRight = 4, kAnchorBottom = 8;
int parseAnchor(const char* text);

struct ImageRect {
    int left, top, width, height;
};
// Where a placement lands in a window of width W and height H, already lifted by the 20 pixels
// of window padding above the picture layer.
ImageRect placeImage(int width, int height, int x, int y, int anchor, int screenWidth,
                     int screenHeight);

// Reads the members of one placement object that are present; the caller presets the defaults.
void parseImagePlacement(const KeyNode* placement, int* width, int* height, int* x, int* y,
                         int* anchor);

// The picture layer of a screen: every placement of the configuration's "images" entry for the
// key, drawn from the window's top-left corner. Leaves the window padding at (20, 20).
void drawScreenDecor(Ui& ui, const char* key, int screenWidth, int screenHeight);

// The picture files of config's screens that the game opens on (the main menu and the language
// screen, in either theme), each once: worth decoding while the window is made.
std::vector<std::string> openingScreenImages(const Config& config);
