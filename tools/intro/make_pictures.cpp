// make_pictures: the intro's background (640 x 480: a lighthouse on a rocky coast at night,
// its beam across the sea) and its 32 x 32 program icon, painted procedurally.
//   make_pictures BACKGROUND.bmp ICON.bmp
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "tools/intro/bitmap.h"

namespace {

Rgb mix(Rgb a, Rgb b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

void add(Rgb& p, Rgb light, float amount) {
    p.r += light.r * amount;
    p.g += light.g * amount;
    p.b += light.b * amount;
}

uint32_t nextRandom(uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

// Everything is drawn in units of the picture's height so both sizes share one painter.
void paint(Picture& pic, bool detailed) {
    const float w = pic.width, h = pic.height;
    const float horizon = 0.62f * h;
    const Rgb skyTop{0.02f, 0.03f, 0.12f}, skyLow{0.22f, 0.12f, 0.30f};
    const Rgb seaNear{0.01f, 0.04f, 0.10f}, seaFar{0.06f, 0.10f, 0.22f};
    const Rgb beamColour{1.0f, 0.9f, 0.55f};
    const float moonX = 0.80f * w, moonY = 0.18f * h, moonR = 0.055f * h;
    const float towerX = 0.27f * w, towerBase = 0.80f * h, towerTop = 0.36f * h;
    const float lampY = towerTop - 0.035f * h;

    for (int y = 0; y < pic.height; ++y) {
        for (int x = 0; x < pic.width; ++x) {
            Rgb& p = pic.at(x, y);
            if (y < horizon) {
                p = mix(skyTop, skyLow, std::pow(y / horizon, 1.6f));
                float d = std::hypot(x - moonX, y - moonY);
                if (d < moonR)
                    p = mix(Rgb{0.95f, 0.93f, 0.80f}, Rgb{0.80f, 0.78f, 0.70f}, d / moonR * 0.5f);
                else
                    add(p, Rgb{0.35f, 0.33f, 0.45f}, 0.5f * std::exp(-(d - moonR) / (0.12f * h)));
            } else {
                float depth = (y - horizon) / (h - horizon);
                p = mix(seaFar, seaNear, depth);
                float wave = std::sin(x * 0.05f + y * 0.9f / (0.05f + depth)) *
                             std::sin(x * 0.013f - y * 0.21f);
                add(p, Rgb{0.10f, 0.14f, 0.22f}, 0.25f * wave * (1 - depth));
                // The moon's path on the water.
                float path =
                    std::exp(-std::pow((x - moonX) / (0.03f * h + depth * 0.10f * h), 2.0f));
                if (wave > 0.2f) add(p, Rgb{0.8f, 0.8f, 0.7f}, 0.7f * path * wave);
            }
            // The beam: a wedge from the lamp towards the right, fading with distance.
            float dx = x - towerX, dy = y - lampY;
            if (dx > 0) {
                float angle = std::atan2(dy, dx) - 0.10f;
                float spread = 0.07f + 0.02f * dx / w;
                if (std::fabs(angle) < spread) {
                    float edge = 1 - std::fabs(angle) / spread;
                    add(p, beamColour, 0.45f * edge * edge * std::exp(-dx / (0.9f * w)));
                }
            }
        }
    }

    if (detailed) {
        uint32_t seed = 7;
        for (int i = 0; i < 260; ++i) {
            int x = nextRandom(seed) % pic.width,
                y = nextRandom(seed) % static_cast<int>(horizon - 10);
            float bright = 0.3f + (nextRandom(seed) % 70) / 100.0f;
            if (std::hypot(x - moonX, y - moonY) > moonR * 2)
                add(pic.at(x, y), Rgb{1, 1, 1}, bright);
        }
    }

    // Rocks under the tower.
    for (int y = static_cast<int>(0.70f * h); y < pic.height; ++y) {
        for (int x = 0; x < pic.width; ++x) {
            float ridge = 0.74f * h - 0.05f * h * std::sin(x * 9.0f / w) +
                          0.25f * h * std::pow(std::max(0.0f, x / w - 0.32f) * 3, 2.0f);
            if (y > ridge) {
                float shade = 0.06f + 0.04f * std::sin(x * 0.3f) * std::sin(y * 0.27f);
                pic.at(x, y) = Rgb{shade, shade * 0.9f, shade * 1.1f};
            }
        }
    }

    // The tower: narrowing, with red and white bands, the lantern and its roof.
    for (int y = static_cast<int>(towerTop); y < static_cast<int>(towerBase); ++y) {
        float t = (y - towerTop) / (towerBase - towerTop);
        float half = (0.022f + 0.020f * t) * h;
        bool red = static_cast<int>(t * 5) % 2 == 0;
        for (int x = static_cast<int>(towerX - half); x <= static_cast<int>(towerX + half); ++x) {
            if (!pic.inside(x, y)) continue;
            float light = 0.55f + 0.45f * (towerX - x) /
                                      half;  // lit from the left by the moon... and dimmer right
            Rgb band = red ? Rgb{0.55f, 0.08f, 0.07f} : Rgb{0.75f, 0.75f, 0.78f};
            pic.at(x, y) = mix(Rgb{0, 0, 0}, band, 0.35f + 0.4f * light);
        }
    }
    for (int y = static_cast<int>(lampY - 0.03f * h); y < static_cast<int>(towerTop); ++y) {
        for (int x = static_cast<int>(towerX - 0.022f * h);
             x <= static_cast<int>(towerX + 0.022f * h); ++x)
            if (pic.inside(x, y)) pic.at(x, y) = Rgb{1.0f, 0.92f, 0.55f};
    }
    float roofBottom = lampY - 0.03f * h, roofTop = roofBottom - 0.045f * h;
    for (int y = static_cast<int>(roofTop); y < static_cast<int>(roofBottom); ++y) {
        float half = 0.032f * h * (y - roofTop) / (roofBottom - roofTop);
        for (int x = static_cast<int>(towerX - half); x <= static_cast<int>(towerX + half); ++x)
            if (pic.inside(x, y)) pic.at(x, y) = Rgb{0.25f, 0.05f, 0.05f};
    }
    // The lamp's glow.
    for (int y = 0; y < pic.height; ++y) {
        for (int x = 0; x < pic.width; ++x) {
            float d = std::hypot(x - towerX, y - lampY);
            add(pic.at(x, y), beamColour, 0.6f * std::exp(-d / (0.035f * h)));
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_pictures BACKGROUND.bmp ICON.bmp\n");
        return 2;
    }
    Picture background(640, 480);
    paint(background, true);
    Picture icon(32, 32);
    paint(icon, false);
    if (!writeBmp(argv[1], background) || !writeBmp(argv[2], icon)) {
        std::fprintf(stderr, "make_pictures: cannot write the pictures\n");
        return 1;
    }
    return 0;
}
