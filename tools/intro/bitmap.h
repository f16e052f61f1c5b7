// 24-bit bitmaps for the intro's resources, written as BMP files (rows bottom-up).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct Rgb {
    float r, g, b;
};

struct Picture {
    int width, height;
    std::vector<Rgb> pixels;  // top-down

    Picture(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h, Rgb{0, 0, 0}) {}
    Rgb& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

inline void putLittleEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

inline uint8_t toByte(float v) {
    return static_cast<uint8_t>(v <= 0 ? 0 : v >= 1 ? 255 : v * 255 + 0.5f);
}

inline bool writeBmp(const std::string& path, const Picture& picture) {
    int rowBytes = (picture.width * 3 + 3) / 4 * 4;
    uint32_t imageBytes = static_cast<uint32_t>(rowBytes) * picture.height;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    putLittleEndian(out, 54 + imageBytes, 4);
    putLittleEndian(out, 0, 4);
    putLittleEndian(out, 54, 4);
    putLittleEndian(out, 40, 4);
    putLittleEndian(out, picture.width, 4);
    putLittleEndian(out, picture.height, 4);  // positive: bottom-up
    putLittleEndian(out, 1, 2);
    putLittleEndian(out, 24, 2);
    putLittleEndian(out, 0, 4);
    putLittleEndian(out, imageBytes, 4);
    putLittleEndian(out, 2835, 4);
    putLittleEndian(out, 2835, 4);
    putLittleEndian(out, 0, 4);
    putLittleEndian(out, 0, 4);
    for (int y = picture.height - 1; y >= 0; --y) {
        for (int x = 0; x < picture.width; ++x) {
            const Rgb& p = picture.pixels[static_cast<size_t>(y) * picture.width + x];
            out.push_back(toByte(p.b));
            out.push_back(toByte(p.g));
            out.push_back(toByte(p.r));
        }
        out.insert(out.end(), rowBytes - picture.width * 3, 0);
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    return std::fclose(file) == 0 && written;
}
