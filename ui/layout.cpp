#include "ui/layout.h"

#include <utility>

void RowLayout::begin(ImVec2 origin, float width, ImVec2 padding) {
    origin_ = origin;
    width_ = width;
    padding_ = padding;
    rowTop_ = origin.y + padding.y;
    rowHeight_ = 0;
    columns_ = 0;
    index_ = 0;
}

void RowLayout::startRow(Kind kind, float height, int columns) {
    rowTop_ += rowHeight_;
    rowHeight_ = height + kSpacing;
    itemHeight_ = height;
    kind_ = kind;
    columns_ = columns;
    index_ = 0;
    ratioOffset_ = 0;
}

void RowLayout::dynamicRow(float height, int columns) {
    startRow(Kind::Dynamic, height, columns);
}

void RowLayout::staticRow(float height, float itemWidth, int columns) {
    startRow(Kind::Static, height, columns);
    itemWidth_ = itemWidth;
}

void RowLayout::ratioRow(float height, std::vector<float> ratios) {
    int columns = static_cast<int>(ratios.size());
    ratios_ = std::move(ratios);
    startRow(Kind::Ratio, height, columns);
}

float RowLayout::usableWidth(int columns) const {
    float gaps = columns > 1 ? (columns - 1) * kSpacing : 0;
    return width_ - 2 * padding_.x - gaps;
}

ImRect RowLayout::next() {
    if (columns_ <= 0) return ImRect(origin_.x, rowTop_, origin_.x, rowTop_);
    if (index_ >= columns_) startRow(kind_, itemHeight_, columns_);
    float offset = 0, itemWidth = 0;
    switch (kind_) {
    case Kind::Dynamic:
        itemWidth = usableWidth(columns_) / columns_;
        offset = index_ * itemWidth;
        break;
    case Kind::Static:
        itemWidth = itemWidth_;
        offset = index_ * itemWidth;
        break;
    case Kind::Ratio:
        itemWidth = ratios_[index_] * usableWidth(columns_);
        offset = ratioOffset_;
        ratioOffset_ += itemWidth;
        break;
    case Kind::Space: break;
    }
    float x = origin_.x + padding_.x + offset + index_ * kSpacing;
    ++index_;
    return ImRect(x, rowTop_, x + itemWidth, rowTop_ + itemHeight_);
}

ImRect RowLayout::rowBounds() const {
    const float left = origin_.x + padding_.x;
    return ImRect(left, rowTop_, origin_.x + width_ - padding_.x, rowTop_ + itemHeight_);
}

void RowLayout::skip(int count) {
    for (int i = 0; i < count; ++i) next();
}

void RowLayout::spaceBegin(float height) {
    startRow(Kind::Space, height, 0);
}

ImRect RowLayout::spaceRect(float x, float y, float width, float height) const {
    float left = origin_.x + padding_.x + x;
    float top = rowTop_ + y;
    return ImRect(left, top, left + width, top + height);
}

void RowLayout::spaceEnd() {
    rowHeight_ = 0;
}
