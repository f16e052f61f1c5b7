#pragma once
// Images as GUI textures: PNG decoding, texture upload and the per-name cache.

#include <cstdint>
#include <string>
#include <vector>

#include "util/joined_thread.h"
#include "util/string_hash.h"

// The image a GUI widget draws: a texture handle the size of a pointer plus the size to draw at
// (0 and 0 draw the whole texture at the widget's size). Here the handle holds the GL texture
// name; a null handle is the empty image, which draws nothing. Width and height stay 0: images
// are drawn at the size of their widget.
struct GuiImage {
    void* handle = nullptr;
    uint32_t width = 0;
    uint32_t height = 0;
};
static_assert(sizeof(void*) != 8 || sizeof(GuiImage) == 16, "GuiImage is a 16-byte record");

using StringImageMap = StringHash<GuiImage>;  // the image cache

extern template uint32_t hashGet(const StringHash<GuiImage>&, const char*);
extern template uint32_t hashPut(StringHash<GuiImage>&, const char*, HashOutcome*);
extern template void hashDelete(StringHash<GuiImage>&, uint32_t);
extern template bool hashExists(const StringHash<GuiImage>&, uint32_t);

// RGBA pixels decoded from a named picture, allocated with malloc (null when it could not be),
// and the mipmap levels below them once made (mipmapsOf).
struct DecodedImage {
    std::string name;
    unsigned char* rgba = nullptr;
    int width = 0;
    int height = 0;
    std::vector<std::vector<unsigned char>> mipmaps;
};

// The image half of the game's assets: the images archive and the per-name cache.
struct ImageAssets {
    std::string dataFolder = "data/";  // where the images archive and loose images are read
    const char* imagesArchive = nullptr;
    uint32_t imagesArchiveSize = 0;
    StringImageMap* imageCache = nullptr;  // image name -> GUI image
    std::vector<char> imagesArchiveBytes;  // the storage imagesArchive points into
    // Pictures decoded by `decoder` while the window is made, each waiting for its first use.
    std::vector<DecodedImage> decodedAhead;
    // Declared after what it fills, so that it is joined before those go (a start that ends
    // before its window leaves the thread running).
    JoinedThread decoder;
};

// Makes the cache empty and starts reading images.dat of the data folder on the decoding thread
// (at once without a thread); whatever reads the archive waits for the thread first.
void loadImageAssets(ImageAssets* images);
// Releases the cache and whatever was decoded ahead and not used.
void freeImageAssets(ImageAssets* images);

// Queues the decoding of the named pictures, with their mipmaps, on the decoding thread, after
// the work queued there before (the archive's reading; at start-up the fonts' bake too):
// loadImage takes them from there. The archive must not change until dropDecodedAhead or
// freeImageAssets. Without a thread they are decoded at once.
void decodeAhead(ImageAssets* images, std::vector<std::string> names);
// Waits for the decoding thread and frees the pictures decoded ahead that were not asked for.
void dropDecodedAhead(ImageAssets* images);

// The next mipmap level of an RGBA picture: half its size (a side of one stays one), each texel
// the rounded mean of the 2 x 2 it covers.
std::vector<unsigned char> halvedImage(const unsigned char* rgba, int width, int height);

// Every mipmap level below an RGBA picture, from half its size down to 1 x 1 (halvedImage of
// the level before); none for null pixels.
std::vector<std::vector<unsigned char>> mipmapsOf(const unsigned char* rgba, int width, int height);

// Creates a mipmapped, edge-clamped texture from RGBA pixels and frees the pixels
// (allocated by stb_image or malloc). Null pixels or a zero size give the empty image.
GuiImage uploadTexture(unsigned char* rgba, int width, int height);

// Pictures whose header claims more pixels than this are refused before decoding: a few bytes of
// header can ask the decoder for gigabytes. The game's largest picture has about 1.3 million.
constexpr int64_t kMaxImagePixels = int64_t{4096} * 4096;

// The RGBA pixels of a PNG in memory, allocated with malloc, with their size; null (and a zero
// size) when the bytes are no PNG, a PNG cut short or with a chunk longer than the file, or a
// picture larger than kMaxImagePixels.
unsigned char* decodeImage(const unsigned char* bytes, int length, int* width, int* height);

GuiImage loadImageFile(const char* path);
GuiImage loadImageMemory(const unsigned char* bytes, int length);

// data/images/<name> when that file exists, else the member name of the images archive.
GuiImage loadImage(ImageAssets* assets, const char* name);

// Cached loadImage: one load per name, failures included. name must stay valid
// for the life of the program (the cache keeps the pointer).
GuiImage getImage(ImageAssets* assets, const char* name);
