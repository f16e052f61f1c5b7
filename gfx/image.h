#pragma once
// Images as GUI textures: PNG decoding, texture upload and the per-name cache.

#include <cstdint>

struct Assets;
struct KeyStore;

// A GUI image: the GL texture name drawn over the whole widget. 16 bytes, the
// value stored in the image cache. texture 0 is the empty image, which draws nothing.
struct GuiImage {
    uint32_t texture;
    uint16_t width;      // 0: drawn at the size of the widget
    uint16_t height;
    uint16_t region[4];  // all 0: the whole texture
};
static_assert(sizeof(GuiImage) == 16, "the image cache stores 16-byte values");

// Creates a mipmapped, edge-clamped texture from RGBA pixels and frees the pixels
// (allocated by stb_image or malloc). Null pixels or a zero size give the empty image.
GuiImage uploadTexture(unsigned char *rgba, int width, int height);

GuiImage loadImageFile(const char *path);
GuiImage loadImageMemory(const unsigned char *bytes, int length);

// data/images/<name> when that file exists, else the member name of the images archive.
GuiImage loadImage(Assets *assets, const char *name);

// Cached loadImage: one load per name, failures included. name must stay valid
// for the life of the program (the cache keeps the pointer).
GuiImage getImage(Assets *assets, const char *name);

// The picture of "lang" entry i ("pic").
GuiImage getLanguageImage(const KeyStore *config, int i);

// The GUI's texture id for an image.
inline void *imageTextureId(GuiImage image) { return (void *)(uintptr_t)image.texture; }
