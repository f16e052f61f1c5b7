#pragma once
// Images as GUI textures: PNG decoding, texture upload and the per-name cache.

#include <cstdint>

#include "util/string_hash.h"

struct Assets;
struct KeyStore;

// GuiImage (util/string_hash.h) holds the GL texture name in its handle; a null
// handle is the empty image, which draws nothing. Width and height stay 0: images
// are drawn at the size of their widget.

// Creates a mipmapped, edge-clamped texture from RGBA pixels and frees the pixels
// (allocated by stb_image or malloc). Null pixels or a zero size give the empty image.
GuiImage uploadTexture(unsigned char *rgba, int width, int height);

// Pictures whose header claims more pixels than this are refused before decoding: a few bytes of
// header can ask the decoder for gigabytes. The game's largest picture has about 1.3 million.
constexpr int64_t kMaxImagePixels = int64_t{4096} * 4096;

// The RGBA pixels of a PNG in memory, allocated with malloc, with their size; null (and a zero
// size) when the bytes are no PNG, a PNG cut short or with a chunk longer than the file, or a
// picture larger than kMaxImagePixels.
unsigned char *decodeImage(const unsigned char *bytes, int length, int *width, int *height);

GuiImage loadImageFile(const char *path);
GuiImage loadImageMemory(const unsigned char *bytes, int length);

// data/images/<name> when that file exists, else the member name of the images archive.
GuiImage loadImage(Assets *assets, const char *name);

// Cached loadImage: one load per name, failures included. name must stay valid
// for the life of the program (the cache keeps the pointer).
GuiImage getImage(Assets *assets, const char *name);

// The picture of "lang" entry i ("pic").
GuiImage getLanguageImage(const KeyStore *config, int i);
