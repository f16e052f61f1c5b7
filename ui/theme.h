#pragma once
// The look shared by every screen: six colour themes, the fixed style metrics and the two
// custom button styles.

#include <imgui.h>

struct Game;
struct Ui;

constexpr int kThemeCount = 6;

// Swatch of each theme as the options screen shows it (red, green, blue, alpha).
extern const ImU32 themeSwatches[kThemeCount];

// Metrics of widgets that ImGui's style has no field for; setStyleMetrics resets them.
struct WidgetMetrics {
    ImVec2 groupPadding{4, 4};  // row inset inside a bordered group
    ImVec2 tooltipPadding{-20, -20};
    ImVec2 buttonImagePadding{-4, -2};  // image inset of an image-and-text button
    ImVec2 comboContentPadding{20, 2};
    ImVec2 comboButtonPadding{-15, 20};
    ImVec2 propertyPadding{10, 2};
    ImVec2 sliderCursorSize{45, 45};
    float buttonBorder = 1;
};

// A button look used instead of the GUI style's own where a screen asks for it.
struct ButtonStyle {
    ImVec4 normal;
    ImVec4 hover;
    ImVec4 active;
    ImVec4 borderColor;
    float border;
    float rounding;
    ImVec2
        padding;  // content inset from the button's bounds; negative values let an image overhang
};

// The current GUI style's own button look.
ButtonStyle defaultButtonStyle(Ui& ui);

// Sets colours and metrics, stores the index in the progress record and refreshes both button
// styles. Without a GUI context only the index is stored.
void applyTheme(Ui& ui, Game& game, int theme);
// Writes the theme's colour table into the style; an index outside 0..5 gives theme 1.
void setThemeColors(ImGuiStyle& style, int theme);
void setStyleMetrics(Ui& ui, ImGuiStyle& style);
bool isDarkTheme(int theme);

// Colour of one of the 28 slots of a theme's table (see theme.cpp), for widgets that pick their
// own colour from the table (slider, combo, chart).
enum class ThemeSlot {
    Text,
    Window,
    Header,
    Border,
    Button,
    ButtonHover,
    ButtonActive,
    Toggle,
    ToggleHover,
    ToggleCursor,
    Select,
    SelectActive,
    Slider,
    SliderCursor,
    SliderCursorHover,
    SliderCursorActive,
    Property,
    Edit,
    EditCursor,
    Combo,
    Chart,
    ChartColor,
    ChartColorHighlight,
    Scrollbar,
    ScrollbarCursor,
    ScrollbarCursorHover,
    ScrollbarCursorActive,
    TabHeader,
};
constexpr int kThemeSlotCount = 28;
ImU32 themeColor(int theme, ThemeSlot slot);

// The statistics chart's colours. The tables' chart slots and the active button colour cannot be
// told apart in most themes (theme 2 even draws found words in the background colour), so each
// theme has its own set: each series and the hover contrast 3:1 or more with the background, and
// the found words with both the other series and the hover. The hovered column differs from the
// others by hue, as no four colours can all be 3:1 apart.
struct ChartColors {
    ImU32 background, notFound, found, hover;
};
ChartColors chartColors(int theme);
