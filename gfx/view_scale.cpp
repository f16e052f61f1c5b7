#include "gfx/view_scale.h"

#include <algorithm>
#include <cmath>

ViewScale fitDesign(float designWidth, float designHeight, int fbWidth, int fbHeight) {
    ViewScale view;
    if (designWidth <= 0 || designHeight <= 0 || fbWidth <= 0 || fbHeight <= 0) return view;
    view.factor = std::min(fbWidth / designWidth, fbHeight / designHeight);
    // Whole pixels: at factor 1 the design lands exactly where an unscaled frame would.
    view.offsetX = std::floor((fbWidth - designWidth * view.factor) / 2);
    view.offsetY = std::floor((fbHeight - designHeight * view.factor) / 2);
    return view;
}

ViewPoint designToFramebuffer(const ViewScale& view, ViewPoint design) {
    return {design.x * view.factor + view.offsetX, design.y * view.factor + view.offsetY};
}

ViewPoint framebufferToDesign(const ViewScale& view, ViewPoint pixel) {
    return {(pixel.x - view.offsetX) / view.factor, (pixel.y - view.offsetY) / view.factor};
}
