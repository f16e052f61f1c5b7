#pragma once
// Rows of widgets inside one GUI window, placed the way the screens describe them:
// dynamic rows of n equal columns, static rows of a fixed item width, rows with width ratios,
// and a free space for pictures. Widgets are asked for one after another; when a row is full
// the next widget starts a new row of the same kind below it.
//
// A row's usable width is the window width less the padding on both sides and the spacing
// between its columns; dynamic and ratio columns share it, static columns ignore it. Each row
// starts below the previous one by its height plus the vertical spacing.

#include <imgui.h>
#include <imgui_internal.h>

#include <vector>

class RowLayout {
public:
    static constexpr float kSpacing = 4;  // between columns and between rows

    // Rows start padding.y below origin, inset padding.x from both sides of width.
    void begin(ImVec2 origin, float width, ImVec2 padding);
    // The inset of rows started from now on (the top of the next row is not moved).
    void setPadding(ImVec2 padding) { padding_ = padding; }
    ImVec2 padding() const { return padding_; }

    void dynamicRow(float height, int columns);
    void staticRow(float height, float itemWidth, int columns);
    void ratioRow(float height, std::vector<float> ratios);

    // The width that a row of that many columns shares out among them.
    float usableWidth(int columns) const;

    // Bounds of the next widget of the current row.
    ImRect next();
    // Leaves columns empty.
    void skip(int count = 1);
    // Where the widgets of the current row go: its height, across the usable width.
    ImRect rowBounds() const;

    // A row of the given height in which rectangles are placed freely, relative to the row's
    // top-left corner. Ending it forgets its height, so the next row starts at the same top.
    void spaceBegin(float height);
    ImRect spaceRect(float x, float y, float width, float height) const;
    void spaceEnd();

    // The lowest point reached so far (for the scroll range of a group).
    float bottom() const { return rowTop_ + rowHeight_; }

private:
    enum class Kind { Dynamic, Static, Ratio, Space };
    void startRow(Kind kind, float height, int columns);

    ImVec2 origin_{0, 0};
    float width_ = 0;
    ImVec2 padding_{0, 0};
    Kind kind_ = Kind::Dynamic;
    float rowTop_ = 0;     // top of the current row
    float rowHeight_ = 0;  // height of the current row plus the spacing below it; 0 before any row
    float itemHeight_ = 0;
    float itemWidth_ = 0;  // static rows
    std::vector<float> ratios_;
    float ratioOffset_ = 0;
    int columns_ = 0;
    int index_ = 0;
};
