// The design on the framebuffer and the mouse back on the design, and the size of a window on a
// scaled desktop.
#include <gtest/gtest.h>

#include "app/app.h"
#include "gfx/view_scale.h"

namespace {

struct Fit {
    int fbWidth, fbHeight;
    float designHeight;
    float factor, offsetX, offsetY;
};

TEST(ViewScale, DesignFitsCentredOnWholePixels) {
    const Fit fits[] = {
        {1280, 720, 720, 1, 0, 0},  // unscaled: nothing moves
        {1920, 1080, 720, 1.5f, 0, 0},
        {3840, 2160, 720, 3, 0, 0},
        {1024, 576, 720, 0.8f, 0, 0},      // smaller than the design
        {1280, 1024, 1024, 1, 0, 0},       // 5:4, the design at its aspect
        {1280, 1024, 720, 1, 0, 152},      // 16:9 design on 5:4: bands above and below
        {2560, 1080, 720, 1.5f, 320, 0},   // 21:9: bands left and right
        {3440, 1440, 535, 2.6875f, 0, 1},  // 21:9, the design at its aspect (1280 x 535)
        {1366, 768, 719, 1366 / 1280.0f, 0, 0},
    };
    for (const Fit& f : fits) {
        SCOPED_TRACE(testing::Message()
                     << f.fbWidth << "x" << f.fbHeight << " design 1280x" << f.designHeight);
        ViewScale view = fitDesign(1280, f.designHeight, f.fbWidth, f.fbHeight);
        EXPECT_FLOAT_EQ(view.factor, f.factor);
        EXPECT_EQ(view.offsetX, f.offsetX);
        EXPECT_EQ(view.offsetY, f.offsetY);
        // The design's far corner stays inside the framebuffer, and touches one of its edges.
        ViewPoint corner = designToFramebuffer(view, {1280, f.designHeight});
        EXPECT_LE(corner.x, f.fbWidth + 0.01f);
        EXPECT_LE(corner.y, f.fbHeight + 0.01f);
        EXPECT_TRUE(corner.x >= f.fbWidth - view.offsetX - 1 ||
                    corner.y >= f.fbHeight - view.offsetY - 1);
    }
}

TEST(ViewScale, MouseLandsWhereTheDesignWasDrawn) {
    for (ViewScale view : {fitDesign(1280, 720, 1280, 720), fitDesign(1280, 720, 1280, 1024),
                           fitDesign(1280, 720, 2560, 1080), fitDesign(1280, 720, 1024, 576),
                           fitDesign(1280, 719, 1366, 768)}) {
        for (ViewPoint design : {ViewPoint{0, 0}, ViewPoint{165, 439}, ViewPoint{1236, 55},
                                 ViewPoint{1279.5f, 719.5f}}) {
            ViewPoint back = framebufferToDesign(view, designToFramebuffer(view, design));
            EXPECT_NEAR(back.x, design.x, 1e-3f);
            EXPECT_NEAR(back.y, design.y, 1e-3f);
        }
    }
    // A click in the band left of a 21:9 screen is outside the design; at its edge it is at 0.
    ViewScale wide = fitDesign(1280, 720, 2560, 1080);
    EXPECT_LT(framebufferToDesign(wide, {100, 500}).x, 0);
    EXPECT_FLOAT_EQ(framebufferToDesign(wide, {320, 540}).x, 0);
    EXPECT_FLOAT_EQ(framebufferToDesign(wide, {320, 540}).y, 360);
    // Unscaled, a pixel is its own design point, exactly.
    ViewPoint same = framebufferToDesign(fitDesign(1280, 720, 1280, 720), {640.25f, 33.5f});
    EXPECT_EQ(same.x, 640.25f);
    EXPECT_EQ(same.y, 33.5f);
}

TEST(ViewScale, NothingToFitGivesTheUnscaledView) {
    for (ViewScale view : {fitDesign(1280, 720, 0, 0), fitDesign(0, 720, 1280, 720),
                           fitDesign(1280, -1, 1280, 720)}) {
        EXPECT_EQ(view.factor, 1);
        EXPECT_EQ(view.offsetX, 0);
        EXPECT_EQ(view.offsetY, 0);
    }
}

TEST(ScaledWindow, FollowsTheDesktopScaleWithinTheWorkArea) {
    int width = 0, height = 0;
    scaledWindowSize(1280, 720, 1, 1920, 1050, &width, &height);
    EXPECT_EQ(width, 1280);
    EXPECT_EQ(height, 720);
    scaledWindowSize(1280, 720, 2, 3840, 2100, &width, &height);
    EXPECT_EQ(width, 2560);
    EXPECT_EQ(height, 1440);
    scaledWindowSize(1280, 720, 1.5f, 0, 0, &width, &height);  // no work area known
    EXPECT_EQ(width, 1920);
    EXPECT_EQ(height, 1080);
    // 200 % on a 1920 x 1080 screen with a task bar: as large as the work area lets it be.
    scaledWindowSize(1280, 720, 2, 1920, 1040, &width, &height);
    EXPECT_EQ(width, 1849);
    EXPECT_EQ(height, 1040);
    // Never smaller than unscaled, as it always was.
    scaledWindowSize(1280, 720, 2, 1200, 700, &width, &height);
    EXPECT_EQ(width, 1280);
    EXPECT_EQ(height, 720);
    scaledWindowSize(1280, 720, 0.75f, 1920, 1080, &width, &height);
    EXPECT_EQ(width, 1280);
    EXPECT_EQ(height, 720);
    // A configured width far beyond any screen does not overflow.
    scaledWindowSize(2000000000, 1125000000, 2, 0, 0, &width, &height);
    EXPECT_GT(width, 0);
    EXPECT_GT(height, 0);
}

}  // namespace
