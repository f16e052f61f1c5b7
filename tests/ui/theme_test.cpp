// The themes: colour tables as the players know them, how they land on the GUI's colours, and
// what a theme change does to the two custom button styles.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/game.h"
#include "core/level.h"
#include "ui/theme.h"
#include "ui/ui.h"

namespace {

ImU32 rgba(int r, int g, int b, int a) {
    return IM_COL32(r, g, b, a);
}

ImU32 styleColor(const ImGuiStyle& style, ImGuiCol col) {
    return ImGui::ColorConvertFloat4ToU32(style.Colors[col]);
}

// Each GUI colour the widgets draw with and the table slot it must show.
const std::pair<ImGuiCol, ThemeSlot> mapping[] = {
    {ImGuiCol_Text, ThemeSlot::Text},
    {ImGuiCol_WindowBg, ThemeSlot::Window},
    {ImGuiCol_ChildBg, ThemeSlot::Window},
    {ImGuiCol_PopupBg, ThemeSlot::Window},
    {ImGuiCol_TitleBg, ThemeSlot::Header},
    {ImGuiCol_Border, ThemeSlot::Border},
    {ImGuiCol_Button, ThemeSlot::Button},
    {ImGuiCol_ButtonHovered, ThemeSlot::ButtonHover},
    {ImGuiCol_ButtonActive, ThemeSlot::ButtonActive},
    {ImGuiCol_CheckMark, ThemeSlot::ToggleCursor},
    {ImGuiCol_Header, ThemeSlot::Select},
    {ImGuiCol_HeaderActive, ThemeSlot::SelectActive},
    {ImGuiCol_FrameBg, ThemeSlot::Property},
    {ImGuiCol_SliderGrab, ThemeSlot::SliderCursor},
    {ImGuiCol_SliderGrabActive, ThemeSlot::SliderCursorActive},
    {ImGuiCol_ScrollbarBg, ThemeSlot::Scrollbar},
    {ImGuiCol_ScrollbarGrab, ThemeSlot::ScrollbarCursor},
    {ImGuiCol_ScrollbarGrabHovered, ThemeSlot::ScrollbarCursorHover},
    {ImGuiCol_ScrollbarGrabActive, ThemeSlot::ScrollbarCursorActive},
    {ImGuiCol_PlotHistogram, ThemeSlot::ChartColor},
    {ImGuiCol_PlotHistogramHovered, ThemeSlot::ChartColorHighlight},
    {ImGuiCol_Tab, ThemeSlot::TabHeader},
};

}  // namespace

TEST(Themes, TablesHoldTheThemesColours) {
    // A sample of every theme, including alphas and the slots near the ends of the table.
    EXPECT_EQ(themeColor(0, ThemeSlot::Text), rgba(70, 70, 70, 255));
    EXPECT_EQ(themeColor(0, ThemeSlot::Window), rgba(225, 245, 255, 80));
    EXPECT_EQ(themeColor(0, ThemeSlot::Border), rgba(111, 206, 228, 255));
    EXPECT_EQ(themeColor(0, ThemeSlot::Property), rgba(220, 230, 245, 0));
    EXPECT_EQ(themeColor(0, ThemeSlot::TabHeader), rgba(180, 180, 180, 255));
    EXPECT_EQ(themeColor(1, ThemeSlot::Window), rgba(45, 45, 45, 255));
    EXPECT_EQ(themeColor(1, ThemeSlot::Button), rgba(50, 50, 50, 255));
    EXPECT_EQ(themeColor(2, ThemeSlot::Button), rgba(185, 185, 185, 127));
    EXPECT_EQ(themeColor(2, ThemeSlot::ChartColor), rgba(45, 45, 45, 255));
    EXPECT_EQ(themeColor(2, ThemeSlot::SliderCursorActive), rgba(60, 60, 60, 255));
    EXPECT_EQ(themeColor(3, ThemeSlot::Header), rgba(181, 45, 69, 220));
    EXPECT_EQ(themeColor(3, ThemeSlot::Edit), rgba(51, 55, 67, 225));
    EXPECT_EQ(themeColor(3, ThemeSlot::ScrollbarCursor), rgba(64, 84, 95, 255));
    EXPECT_EQ(themeColor(4, ThemeSlot::SliderCursor), rgba(137, 182, 224, 245));
    EXPECT_EQ(themeColor(4, ThemeSlot::TabHeader), rgba(156, 193, 220, 255));
    EXPECT_EQ(themeColor(4, ThemeSlot::ToggleHover), rgba(182, 215, 215, 255));
    EXPECT_EQ(themeColor(5, ThemeSlot::Select), rgba(57, 67, 61, 255));
    EXPECT_EQ(themeColor(5, ThemeSlot::ChartColorHighlight), rgba(255, 0, 0, 255));
    EXPECT_EQ(themeColor(5, ThemeSlot::Window), rgba(57, 67, 71, 215));
    // An index outside 0..5 is the dark grey theme.
    EXPECT_EQ(themeColor(9, ThemeSlot::Window), themeColor(1, ThemeSlot::Window));
    EXPECT_EQ(themeColor(-1, ThemeSlot::Text), themeColor(1, ThemeSlot::Text));
}

TEST(Themes, EverySlotLandsOnItsGuiColour) {
    for (int theme = -1; theme <= kThemeCount; ++theme) {
        ImGuiStyle style;
        setThemeColors(style, theme);
        for (const auto& [col, slot] : mapping)
            EXPECT_EQ(styleColor(style, col), themeColor(theme, slot))
                << "theme " << theme << " colour " << ImGui::GetStyleColorName(col);
    }
}

TEST(Themes, DarkThemesAreOneThreeAndFive) {
    const int dark[] = {0, 1, 0, 1, 0, 1, 0};
    for (int theme = 0; theme <= 6; ++theme) EXPECT_EQ(isDarkTheme(theme), dark[theme]) << theme;
    EXPECT_EQ(isDarkTheme(-1), 0);
}

TEST(Themes, SwatchesMatchTheThemes) {
    EXPECT_EQ(themeSwatches[0], rgba(238, 248, 255, 255));
    EXPECT_EQ(themeSwatches[1], themeColor(1, ThemeSlot::Button));
    EXPECT_EQ(themeSwatches[3], themeColor(3, ThemeSlot::Button));
    EXPECT_EQ(themeSwatches[5], themeColor(5, ThemeSlot::Button));
}

TEST(ApplyTheme, WithoutGuiOnlyStoresTheIndex) {
    Ui ui;
    Game game;
    ASSERT_EQ(ImGui::GetCurrentContext(), nullptr);
    applyTheme(ui, game, 3);
    EXPECT_EQ(game.progress.theme, 3);
    applyTheme(ui, game, 0);
    EXPECT_EQ(game.progress.theme, 0);
}

TEST(ApplyTheme, ButtonStylesFollowTheTheme) {
    Ui ui;
    Game game;
    ImGuiContext* context = ImGui::CreateContext();
    ui.iconButtonStyle = ButtonStyle{};
    ui.iconButtonStyle.rounding = 10;
    ui.iconButtonStyle.padding = ImVec2(-12, -10);
    for (int theme : {3, 4, 0, 5}) {
        applyTheme(ui, game, theme);
        const ImGuiStyle& style = ImGui::GetStyle();
        EXPECT_EQ(game.progress.theme, theme);
        EXPECT_EQ(styleColor(style, ImGuiCol_WindowBg), themeColor(theme, ThemeSlot::Window));
        // A highlighted word wears the active colour as its face.
        EXPECT_EQ(ImGui::ColorConvertFloat4ToU32(ui.highlightButtonStyle.normal),
                  themeColor(theme, ThemeSlot::ButtonActive));
        EXPECT_EQ(ImGui::ColorConvertFloat4ToU32(ui.iconButtonStyle.hover),
                  themeColor(theme, ThemeSlot::ButtonHover));
        // An icon has no face until hovered, and keeps the metrics set at start-up.
        EXPECT_EQ(ui.iconButtonStyle.normal.w, 0);
        EXPECT_EQ(ui.iconButtonStyle.active.w, 0);
        EXPECT_EQ(ui.iconButtonStyle.border, 0);
        EXPECT_EQ(ui.iconButtonStyle.rounding, 10);
        EXPECT_EQ(ui.iconButtonStyle.padding.x, -12);
        // Metrics are written after the colours on every change.
        EXPECT_EQ(style.FrameRounding, 20);
        EXPECT_EQ(style.ScrollbarSize, 20);
        EXPECT_EQ(style.GrabMinSize, 45);
    }
    ImGui::DestroyContext(context);
}

namespace {

// Relative luminance and contrast ratio of two opaque colours, as readability guidelines define
// them.
double luminance(ImU32 colour) {
    auto channel = [](unsigned value) {
        double c = value / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour & 0xFF) + 0.7152 * channel((colour >> 8) & 0xFF) +
           0.0722 * channel((colour >> 16) & 0xFF);
}

double contrast(ImU32 a, ImU32 b) {
    double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

int channelDistance(ImU32 a, ImU32 b) {
    int sum = 0;
    for (int shift : {0, 8, 16})
        sum +=
            std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
    return sum;
}

}  // namespace

TEST(ChartColours, BothSeriesAndTheHoverStandOutInEveryTheme) {
    for (int theme = 0; theme < kThemeCount; ++theme) {
        const ChartColors c = chartColors(theme);
        for (ImU32 colour : {c.background, c.notFound, c.found, c.hover})
            EXPECT_EQ(colour >> 24, 255u) << theme;
        EXPECT_GE(contrast(c.notFound, c.background), 3) << "theme " << theme;
        EXPECT_GE(contrast(c.found, c.background), 3) << "theme " << theme;
        EXPECT_GE(contrast(c.hover, c.background), 3) << "theme " << theme;
        EXPECT_GE(contrast(c.found, c.notFound), 3) << "theme " << theme;
        EXPECT_GE(contrast(c.found, c.hover), 3) << "theme " << theme;
        // No four colours can all be 3:1 apart; the hovered column stands out from the others by
        // hue.
        EXPECT_GE(channelDistance(c.hover, c.notFound), 150) << "theme " << theme;
    }
    // The charts keep their themes' backgrounds, except the mid grey of theme 2.
    for (int theme : {0, 1, 3, 4, 5})
        EXPECT_EQ(chartColors(theme).background, themeColor(theme, ThemeSlot::Chart));
    EXPECT_GE(contrast(chartColors(2).background, themeColor(2, ThemeSlot::Chart)), 1.5);
    EXPECT_EQ(chartColors(9).found, chartColors(1).found);
}
