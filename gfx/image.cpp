#include "gfx/image.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <stb_image.h>
#include <string>
#include <utility>
#include <vector>

#include "gfx/gui_draw.h"
#include "store/archive.h"
#include "store/files.h"
#include "store/folders.h"
#include "util/string_hash_templates.h"

#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F
#endif

std::vector<unsigned char> halvedImage(const unsigned char* rgba, int width, int height) {
    const int halfWidth = std::max(width / 2, 1), halfHeight = std::max(height / 2, 1);
    std::vector<unsigned char> half(static_cast<size_t>(halfWidth) * halfHeight * 4);
    // Each texel averages the 2 x 2 it covers; an odd last row or column is left out, and a side
    // of one texel is averaged with itself.
    const size_t stride = static_cast<size_t>(width) * 4;
    const size_t down = height > 1 ? stride : 0, right = width > 1 ? 4 : 0;
    unsigned char* to = half.data();
    for (int y = 0; y < halfHeight; ++y) {
        const unsigned char* row = rgba + static_cast<size_t>(y) * 2 * stride;
        for (int x = 0; x < halfWidth; ++x, to += 4) {
            const unsigned char* p = row + static_cast<size_t>(x) * 2 * right;
            for (int c = 0; c < 4; ++c) {
                const int sum = p[c] + p[c + right] + p[c + down] + p[c + down + right];
                to[c] = static_cast<unsigned char>((sum + 2) / 4);
            }
        }
    }
    return half;
}

std::vector<std::vector<unsigned char>> mipmapsOf(const unsigned char* rgba, int width,
                                                  int height) {
    // The software driver takes 60-90 ms to make a picture's mipmaps itself; halving here takes a
    // few.
    std::vector<std::vector<unsigned char>> levels;
    if (!rgba) return levels;
    while (width > 1 || height > 1) {
        levels.push_back(halvedImage(levels.empty() ? rgba : levels.back().data(), width, height));
        width = std::max(width / 2, 1);
        height = std::max(height / 2, 1);
    }
    return levels;
}

namespace {

// uploadTexture for a decoded picture, with its mipmaps where they were made already; takes its
// pixels and levels.
GuiImage uploadDecoded(DecodedImage* decoded) {
    GuiImage image;
    unsigned char* rgba = decoded->rgba;
    decoded->rgba = nullptr;
    int width = decoded->width, height = decoded->height;
    if (!rgba || width <= 0 || height <= 0) {
        std::free(rgba);
        return image;
    }
    if (decoded->mipmaps.empty()) decoded->mipmaps = mipmapsOf(rgba, width, height);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    std::free(rgba);  // stb_image allocates with malloc
    for (size_t level = 0; level < decoded->mipmaps.size(); ++level) {
        width = std::max(width / 2, 1);
        height = std::max(height / 2, 1);
        glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level + 1), GL_RGBA8, width, height, 0,
                     GL_RGBA, GL_UNSIGNED_BYTE, decoded->mipmaps[level].data());
    }
    decoded->mipmaps.clear();
    forgetKeptPixels();
    image.handle = reinterpret_cast<void*>(static_cast<uintptr_t>(texture));
    return image;
}

}  // namespace

GuiImage uploadTexture(unsigned char* rgba, int width, int height) {
    DecodedImage decoded{"", rgba, width, height, {}};
    return uploadDecoded(&decoded);
}

namespace {

uint32_t bigEndian32(const unsigned char* bytes) {
    return static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
           static_cast<uint32_t>(bytes[2]) << 8 | bytes[3];
}

// A PNG whose chunks all lie inside the bytes, from its header to its end chunk, and whose header
// asks for at most kMaxImagePixels. The decoder trusts chunk lengths (a 50-byte file can make it
// allocate megabytes for a chunk that is not there) and the header's size.
bool pngLooksSound(const unsigned char* bytes, size_t length) {
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (length < 8 + 12 + 13 || std::memcmp(bytes, signature, 8) != 0) return false;
    const unsigned char* header = bytes + 8;
    if (bigEndian32(header) != 13 || std::memcmp(header + 4, "IHDR", 4) != 0) return false;
    uint32_t width = bigEndian32(header + 8), height = bigEndian32(header + 12);
    if (width == 0 || height == 0 ||
        static_cast<uint64_t>(width) * height > static_cast<uint64_t>(kMaxImagePixels))
        return false;
    for (size_t at = 8; length - at >= 12;) {
        uint32_t chunkLength = bigEndian32(bytes + at);
        if (chunkLength > length - at - 12) return false;
        if (std::memcmp(bytes + at + 4, "IEND", 4) == 0) return true;
        at += 12 + static_cast<size_t>(chunkLength);
    }
    return false;  // cut short before its end chunk
}

}  // namespace

unsigned char* decodeImage(const unsigned char* bytes, int length, int* width, int* height) {
    *width = *height = 0;
    if (!bytes || length <= 0 || !pngLooksSound(bytes, static_cast<size_t>(length))) return nullptr;
    int channels = 0;
    return stbi_load_from_memory(bytes, length, width, height, &channels, 4);
}

namespace {

unsigned char* decodeImageFile(const char* path, int* width, int* height) {
    *width = *height = 0;
    std::optional<std::vector<char>> file = readWholeFile(path);
    if (!file || file->size() > INT32_MAX) return nullptr;
    return decodeImage(reinterpret_cast<const unsigned char*>(file->data()),
                       static_cast<int>(file->size()), width, height);
}

DecodedImage decodeNamedImage(const ImageAssets* assets, const std::string& name) {
    DecodedImage decoded{name, nullptr, 0, 0, {}};
    const std::string path = assets->dataFolder + "images/" + name;
    if (fileExists(path.c_str())) {
        decoded.rgba = decodeImageFile(path.c_str(), &decoded.width, &decoded.height);
        return decoded;
    }
    size_t size = 0;
    const char* member =
        archiveFind(assets->imagesArchive, assets->imagesArchiveSize, name.c_str(), &size);
    if (member && size <= INT32_MAX)
        decoded.rgba = decodeImage(reinterpret_cast<const unsigned char*>(member),
                                   static_cast<int>(size), &decoded.width, &decoded.height);
    return decoded;
}

}  // namespace

GuiImage loadImageFile(const char* path) {
    int width = 0, height = 0;
    unsigned char* rgba = decodeImageFile(path, &width, &height);
    return uploadTexture(rgba, width, height);
}

GuiImage loadImageMemory(const unsigned char* bytes, int length) {
    int width = 0, height = 0;
    unsigned char* rgba = decodeImage(bytes, length, &width, &height);
    return uploadTexture(rgba, width, height);
}

namespace {

void freeDecodedAhead(ImageAssets* assets) {
    for (DecodedImage& decoded : assets->decodedAhead) std::free(decoded.rgba);
    assets->decodedAhead.clear();
}

}  // namespace

void decodeAhead(ImageAssets* assets, std::vector<std::string> names) {
    // After the archive's reading, on the same core.
    assets->decoder.then([assets, names = std::move(names)] {
        freeDecodedAhead(assets);
        for (const std::string& name : names) {
            DecodedImage decoded = decodeNamedImage(assets, name);
            decoded.mipmaps = mipmapsOf(decoded.rgba, decoded.width, decoded.height);
            assets->decodedAhead.push_back(std::move(decoded));
        }
    });
}

void dropDecodedAhead(ImageAssets* assets) {
    assets->decoder.join();
    freeDecodedAhead(assets);
}

GuiImage loadImage(ImageAssets* assets, const char* name) {
    assets->decoder.join();
    std::vector<DecodedImage>& ahead = assets->decodedAhead;
    auto found = std::find_if(ahead.begin(), ahead.end(),
                              [name](const DecodedImage& decoded) { return decoded.name == name; });
    DecodedImage decoded;
    if (found != ahead.end()) {
        decoded = std::move(*found);
        ahead.erase(found);
    } else {
        decoded = decodeNamedImage(assets, name);
    }
    return uploadDecoded(&decoded);
}

GuiImage getImage(ImageAssets* assets, const char* name) {
    if (!name || !assets->imageCache) return GuiImage();
    StringImageMap& cache = *assets->imageCache;
    uint32_t slot = hashGet(cache, name);
    if (slot != cache.capacity) return cache.values[slot];
    HashOutcome outcome = HashOutcome::Present;
    slot = hashPut(cache, name, &outcome);
    GuiImage image = loadImage(assets, name);
    if (slot != cache.capacity)  // when the cache cannot grow, the image is still shown
        cache.values[slot] = image;
    return image;
}

void loadImageAssets(ImageAssets* images) {
    dropDecodedAhead(images);
    delete images->imageCache;
    images->imageCache = new StringImageMap();
    images->decoder.start([images] {
        readArchive(images->dataFolder, "images", &images->imagesArchiveBytes,
                    &images->imagesArchive, &images->imagesArchiveSize);
    });
}

void freeImageAssets(ImageAssets* images) {
    dropDecodedAhead(images);
    delete images->imageCache;
    images->imageCache = nullptr;
}

template uint32_t hashGet(const StringHash<GuiImage>&, const char*);
template uint32_t hashPut(StringHash<GuiImage>&, const char*, HashOutcome*);
template void hashDelete(StringHash<GuiImage>&, uint32_t);
template bool hashExists(const StringHash<GuiImage>&, uint32_t);
