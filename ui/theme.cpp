#include "ui/theme.h"

#include <imgui_internal.h>

#include "core/game.h"
#include "core/level.h"
#include "ui/ui.h"

namespace {

struct Rgba {
    unsigned char r, g, b, a;
};

// One colour per slot, in ThemeSlot order, for each of the six themes. Theme 1 is the plain dark
// grey look the options screen labels "default".
const Rgba themeTables[kThemeCount][kThemeSlotCount] = {
    {
        // 0: light, pale blue
        {70, 70, 70, 255},    {225, 245, 255, 80},  {230, 240, 255, 255}, {111, 206, 228, 255},
        {220, 230, 245, 127}, {176, 224, 230, 255}, {135, 206, 250, 255}, {150, 150, 150, 255},
        {120, 120, 120, 255}, {175, 175, 175, 255}, {230, 240, 255, 255}, {176, 224, 230, 255},
        {220, 230, 245, 127}, {135, 206, 250, 255}, {111, 206, 228, 255}, {176, 224, 230, 255},
        {220, 230, 245, 0},   {150, 150, 150, 255}, {0, 0, 0, 255},       {220, 230, 245, 127},
        {230, 240, 255, 255}, {204, 229, 255, 255}, {150, 240, 240, 255}, {230, 240, 255, 255},
        {176, 224, 230, 255}, {135, 206, 250, 255}, {102, 204, 255, 255}, {180, 180, 180, 255},
    },
    {
        // 1: dark grey
        {175, 175, 175, 255}, {45, 45, 45, 255},    {40, 40, 40, 255},    {65, 65, 65, 255},
        {50, 50, 50, 255},    {40, 40, 40, 255},    {35, 35, 35, 255},    {100, 100, 100, 255},
        {120, 120, 120, 255}, {45, 45, 45, 255},    {45, 45, 45, 255},    {35, 35, 35, 255},
        {38, 38, 38, 255},    {100, 100, 100, 255}, {120, 120, 120, 255}, {150, 150, 150, 255},
        {38, 38, 38, 255},    {38, 38, 38, 255},    {175, 175, 175, 255}, {45, 45, 45, 255},
        {120, 120, 120, 255}, {45, 45, 45, 255},    {255, 0, 0, 255},     {40, 40, 40, 255},
        {100, 100, 100, 255}, {120, 120, 120, 255}, {150, 150, 150, 255}, {40, 40, 40, 255},
    },
    {
        // 2: light grey
        {70, 70, 70, 255},    {175, 175, 175, 80},  {175, 175, 175, 255}, {0, 0, 0, 255},
        {185, 185, 185, 127}, {170, 170, 170, 255}, {160, 160, 160, 255}, {150, 150, 150, 255},
        {120, 120, 120, 255}, {175, 175, 175, 255}, {190, 190, 190, 255}, {175, 175, 175, 255},
        {190, 190, 190, 255}, {80, 80, 80, 255},    {70, 70, 70, 255},    {60, 60, 60, 255},
        {175, 175, 175, 255}, {150, 150, 150, 255}, {0, 0, 0, 255},       {175, 175, 175, 255},
        {160, 160, 160, 255}, {45, 45, 45, 255},    {255, 0, 0, 255},     {180, 180, 180, 255},
        {140, 140, 140, 255}, {150, 150, 150, 255}, {160, 160, 160, 255}, {180, 180, 180, 255},
    },
    {
        // 3: dark, red accents
        {190, 190, 190, 255}, {30, 33, 40, 215},  {181, 45, 69, 220},   {51, 55, 67, 255},
        {181, 45, 69, 255},   {190, 50, 70, 255}, {195, 55, 75, 255},   {51, 55, 67, 255},
        {45, 60, 60, 255},    {181, 45, 69, 255}, {51, 55, 67, 255},    {181, 45, 69, 255},
        {51, 55, 67, 255},    {181, 45, 69, 255}, {186, 50, 74, 255},   {191, 55, 79, 255},
        {51, 55, 67, 255},    {51, 55, 67, 225},  {190, 190, 190, 255}, {51, 55, 67, 255},
        {51, 55, 67, 255},    {170, 40, 60, 255}, {255, 0, 0, 255},     {30, 33, 40, 255},
        {64, 84, 95, 255},    {70, 90, 100, 255}, {75, 95, 105, 255},   {181, 45, 69, 220},
    },
    {
        // 4: light blue
        {20, 20, 20, 255},    {202, 212, 214, 215}, {137, 182, 224, 220}, {140, 159, 173, 255},
        {137, 182, 224, 255}, {142, 187, 229, 255}, {147, 192, 234, 255}, {177, 210, 210, 255},
        {182, 215, 215, 255}, {137, 182, 224, 255}, {177, 210, 210, 255}, {137, 182, 224, 255},
        {177, 210, 210, 255}, {137, 182, 224, 245}, {142, 188, 229, 255}, {147, 193, 234, 255},
        {210, 210, 210, 255}, {210, 210, 210, 225}, {20, 20, 20, 255},    {210, 210, 210, 255},
        {210, 210, 210, 255}, {137, 182, 224, 255}, {255, 0, 0, 255},     {190, 200, 200, 255},
        {64, 84, 95, 255},    {70, 90, 100, 255},   {75, 95, 105, 255},   {156, 193, 220, 255},
    },
    {
        // 5: dark blue
        {210, 210, 210, 255}, {57, 67, 71, 215},  {51, 51, 56, 220},    {46, 46, 46, 255},
        {48, 83, 111, 255},   {58, 93, 121, 255}, {63, 98, 126, 255},   {50, 58, 61, 255},
        {45, 53, 56, 255},    {48, 83, 111, 255}, {57, 67, 61, 255},    {48, 83, 111, 255},
        {50, 58, 61, 255},    {48, 83, 111, 245}, {53, 88, 116, 255},   {58, 93, 121, 255},
        {50, 58, 61, 255},    {50, 58, 61, 225},  {210, 210, 210, 255}, {50, 58, 61, 255},
        {50, 58, 61, 255},    {48, 83, 111, 255}, {255, 0, 0, 255},     {50, 58, 61, 255},
        {48, 83, 111, 255},   {53, 88, 116, 255}, {58, 93, 121, 255},   {48, 83, 111, 255},
    },
};

// How the 28 slots land on ImGui's colours. Every ImGui colour the game's widgets draw with is
// written from exactly one slot:
//   Text                                    <- Text
//   WindowBg, ChildBg (groups), PopupBg     <- Window   (tooltips and drop-downs wear the window
//   colour) TitleBg, TitleBgActive, TitleBgCollapsed, MenuBarBg <- Header Border, Separator <-
//   Border Button / ButtonHovered / ButtonActive   <- Button / ButtonHover / ButtonActive CheckMark
//   <- ToggleCursor Header / HeaderHovered, HeaderActive    <- Select / SelectActive FrameBg,
//   FrameBgHovered, FrameBgActive  <- Property (the level selector) SliderGrab / SliderGrabActive
//   <- SliderCursor / SliderCursorActive ScrollbarBg / Grab / GrabHovered / GrabActive <- Scrollbar
//   / ScrollbarCursor / ...Hover / ...Active PlotHistogram, PlotLines                <- ChartColor
//   PlotHistogramHovered, PlotLinesHovered  <- ChartColorHighlight
//   Tab, TabHovered, TabActive, TableHeaderBg <- TabHeader
// The slots ImGui has no colour for are read from the table by the kit's own widgets through
// themeColor: Slider (the slider's bar), SliderCursorHover, Combo (the theme drop-down). The chart
// draws with chartColors instead of Chart, ChartColor and ChartColorHighlight. Toggle, ToggleHover,
// Edit and EditCursor belong to widgets the game does not show.
struct SlotTarget {
    ThemeSlot slot;
    ImGuiCol target;
};
const SlotTarget slotTargets[] = {
    {ThemeSlot::Text, ImGuiCol_Text},
    {ThemeSlot::Window, ImGuiCol_WindowBg},
    {ThemeSlot::Window, ImGuiCol_ChildBg},
    {ThemeSlot::Window, ImGuiCol_PopupBg},
    {ThemeSlot::Header, ImGuiCol_TitleBg},
    {ThemeSlot::Header, ImGuiCol_TitleBgActive},
    {ThemeSlot::Header, ImGuiCol_TitleBgCollapsed},
    {ThemeSlot::Header, ImGuiCol_MenuBarBg},
    {ThemeSlot::Border, ImGuiCol_Border},
    {ThemeSlot::Border, ImGuiCol_Separator},
    {ThemeSlot::Button, ImGuiCol_Button},
    {ThemeSlot::ButtonHover, ImGuiCol_ButtonHovered},
    {ThemeSlot::ButtonActive, ImGuiCol_ButtonActive},
    {ThemeSlot::ToggleCursor, ImGuiCol_CheckMark},
    {ThemeSlot::Select, ImGuiCol_Header},
    {ThemeSlot::SelectActive, ImGuiCol_HeaderHovered},
    {ThemeSlot::SelectActive, ImGuiCol_HeaderActive},
    {ThemeSlot::Property, ImGuiCol_FrameBg},
    {ThemeSlot::Property, ImGuiCol_FrameBgHovered},
    {ThemeSlot::Property, ImGuiCol_FrameBgActive},
    {ThemeSlot::SliderCursor, ImGuiCol_SliderGrab},
    {ThemeSlot::SliderCursorActive, ImGuiCol_SliderGrabActive},
    {ThemeSlot::Scrollbar, ImGuiCol_ScrollbarBg},
    {ThemeSlot::ScrollbarCursor, ImGuiCol_ScrollbarGrab},
    {ThemeSlot::ScrollbarCursorHover, ImGuiCol_ScrollbarGrabHovered},
    {ThemeSlot::ScrollbarCursorActive, ImGuiCol_ScrollbarGrabActive},
    {ThemeSlot::ChartColor, ImGuiCol_PlotHistogram},
    {ThemeSlot::ChartColor, ImGuiCol_PlotLines},
    {ThemeSlot::ChartColorHighlight, ImGuiCol_PlotHistogramHovered},
    {ThemeSlot::ChartColorHighlight, ImGuiCol_PlotLinesHovered},
    {ThemeSlot::TabHeader, ImGuiCol_Tab},
    {ThemeSlot::TabHeader, ImGuiCol_TabHovered},
    {ThemeSlot::TabHeader, ImGuiCol_TabActive},
    {ThemeSlot::TabHeader, ImGuiCol_TableHeaderBg},
};

int tableIndex(int theme) {
    return theme >= 0 && theme < kThemeCount ? theme : 1;
}

// Background, not found, found, hover. The backgrounds are the tables' chart colours except in
// theme 2, whose mid grey leaves no room for two series and a hover that all stand out from it.
const ChartColors chartTables[kThemeCount] = {
    {IM_COL32(230, 240, 255, 255), IM_COL32(70, 130, 200, 255), IM_COL32(20, 40, 80, 255),
     IM_COL32(230, 80, 60, 255)},
    {IM_COL32(120, 120, 120, 255), IM_COL32(225, 225, 225, 255), IM_COL32(25, 25, 25, 255),
     IM_COL32(255, 215, 60, 255)},
    {IM_COL32(235, 235, 235, 255), IM_COL32(110, 110, 110, 255), IM_COL32(30, 30, 30, 255),
     IM_COL32(255, 0, 0, 255)},
    {IM_COL32(51, 55, 67, 255), IM_COL32(120, 140, 170, 255), IM_COL32(250, 250, 250, 255),
     IM_COL32(255, 40, 40, 255)},
    {IM_COL32(210, 210, 210, 255), IM_COL32(60, 110, 170, 255), IM_COL32(10, 20, 40, 255),
     IM_COL32(210, 0, 0, 255)},
    {IM_COL32(50, 58, 61, 255), IM_COL32(90, 140, 190, 255), IM_COL32(240, 245, 250, 255),
     IM_COL32(255, 60, 40, 255)},
};

}  // namespace

const ImU32 themeSwatches[kThemeCount] = {
    IM_COL32(238, 248, 255, 255), IM_COL32(50, 50, 50, 255),    IM_COL32(185, 185, 185, 255),
    IM_COL32(181, 45, 69, 255),   IM_COL32(137, 182, 224, 255), IM_COL32(48, 83, 111, 255),
};

ImU32 themeColor(int theme, ThemeSlot slot) {
    Rgba c = themeTables[tableIndex(theme)][static_cast<int>(slot)];
    return IM_COL32(c.r, c.g, c.b, c.a);
}

ChartColors chartColors(int theme) {
    return chartTables[tableIndex(theme)];
}

void setThemeColors(ImGuiStyle& style, int theme) {
    for (const SlotTarget& t : slotTargets)
        style.Colors[t.target] = ImGui::ColorConvertU32ToFloat4(themeColor(theme, t.slot));
    style.Colors[ImGuiCol_BorderShadow] = ImVec4(0, 0, 0, 0);
}

void setStyleMetrics(Ui& ui, ImGuiStyle& style) {
    style.WindowPadding = ImVec2(10, 20);
    style.ScrollbarSize = 20;
    style.ScrollbarRounding = 0;
    style.FrameRounding = 20;  // buttons and the theme drop-down
    style.CircleTessellationMaxError = 0.7f;
    style.FramePadding = ImVec2(2, 2);
    style.GrabMinSize = 45;  // the slider's cursor
    style.GrabRounding = 22.5f;
    style.ItemSpacing = ImVec2(4, 4);
    style.WindowBorderSize = 0;
    style.ChildBorderSize = 1;
    style.PopupBorderSize = 1;
    style.FrameBorderSize = 1;
    style.WindowRounding = 0;
    style.ChildRounding = 0;
    style.PopupRounding = 0;
    ui.widgetMetrics = WidgetMetrics{};
}

ButtonStyle defaultButtonStyle(Ui& ui) {
    const ImGuiStyle& style = ImGui::GetStyle();
    ButtonStyle s;
    s.normal = style.Colors[ImGuiCol_Button];
    s.hover = style.Colors[ImGuiCol_ButtonHovered];
    s.active = style.Colors[ImGuiCol_ButtonActive];
    s.borderColor = style.Colors[ImGuiCol_Border];
    s.border = ui.widgetMetrics.buttonBorder;
    s.rounding = style.FrameRounding;
    s.padding = style.FramePadding;
    return s;
}

bool isDarkTheme(int theme) {
    return theme == 1 || theme == 3 || theme == 5;
}

void applyTheme(Ui& ui, Game& game, int theme) {
    game.progress.theme = theme;
    ui.theme = theme;
    if (!ImGui::GetCurrentContext()) return;
    ImGuiStyle& style = ImGui::GetStyle();
    setThemeColors(style, theme);
    setStyleMetrics(ui, style);

    ui.highlightButtonStyle = defaultButtonStyle(ui);
    ui.highlightButtonStyle.normal = style.Colors[ImGuiCol_ButtonActive];

    ui.iconButtonStyle.hover = style.Colors[ImGuiCol_ButtonHovered];
}
