// All that the screens keep between frames: the screen shown, the window they are laid out for,
// the story page, the theme's widget looks and the widgets' own bookkeeping. One record, so that
// resetting the screens is a fresh one (resetUi).
#pragma once

#include "ui/kit.h"
#include "ui/screen_parts.h"
#include "ui/screens.h"
#include "ui/theme.h"

struct Config;
struct ImageAssets;
struct ImFont;
struct MusicPlayer;
struct SoundAssets;

// What the screens read, draw and play, owned by main: the configuration, the images, the two
// fonts (null when a font's file is missing) and the sound slots and music. A reset of the screens
// keeps it.
struct UiAssets {
    const Config* config = nullptr;
    ImageAssets* images = nullptr;
    ImFont* smallFont = nullptr;
    ImFont* mainFont = nullptr;
    SoundAssets* sounds = nullptr;
    MusicPlayer* music = nullptr;
};

struct Ui {
    UiAssets assets;
    Screen currentScreen = Screen::Language;  // loadConfig starts at the language screen
    // The window's size, which the screens are laid out for, and its title; loadConfig sets them
    // (windowTitle points into the configuration store).
    int windowWidth = 0;
    int windowHeight = 0;
    const char* windowTitle = nullptr;
    // Hover hint of the in-game screen for the current frame (null when nothing is hovered).
    const char* hintText = nullptr;
    // The story chapter being told (a member name of the configuration's "story" section) and
    // its page; startChapter sets both.
    const char* storyChapter = nullptr;
    int storyPage = 0;

    // The theme applyTheme gave the GUI style, and its looks: metrics ImGui's style has no field
    // for; a found word's pressed look; icons, which show no face until hovered.
    int theme = 0;
    WidgetMetrics widgetMetrics;
    ButtonStyle highlightButtonStyle{};
    ButtonStyle iconButtonStyle{{}, {}, {}, {}, 0, 10, ImVec2(-12, -10)};

    RowLayout screenLayout;  // the layout of the screen window being drawn
    KitState kit;
    InGameState inGame;
};
