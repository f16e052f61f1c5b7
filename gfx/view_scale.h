#pragma once
// The one scale of the picture. Screens are laid out in design units (a window 1280 wide at the
// monitor's aspect); the framebuffer shows that design as large as it fits, centred, so that any
// band left over on two sides is cleared with the screen's own background colour.

struct ViewScale {
    float factor = 1;                // framebuffer pixels per design unit
    float offsetX = 0, offsetY = 0;  // framebuffer pixels left of and above the design
};

struct ViewPoint {
    float x = 0, y = 0;
};

// The largest factor at which designWidth x designHeight fits fbWidth x fbHeight, the design
// centred on whole pixels. An empty framebuffer or design (a minimised window) gives factor 1.
ViewScale fitDesign(float designWidth, float designHeight, int fbWidth, int fbHeight);

ViewPoint designToFramebuffer(const ViewScale& view, ViewPoint design);
ViewPoint framebufferToDesign(const ViewScale& view, ViewPoint pixel);
