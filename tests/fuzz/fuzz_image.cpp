// Hostile bytes as a picture in data/images/ or the images archive: the game's size check and
// decoding, up to the pixels a texture would be made of. The decoder is a prebuilt library, so
// every picture the check lets through is also decoded here by the same decoder built from its
// header with the sanitizers.
#include <climits>
#include <cstdint>
#include <cstdlib>

#include "gfx/image.h"

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ASSERT(x) ((x) ? (void)0 : abort())  // a failed assertion is a finding
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > INT_MAX) return 0;
    int width = 0, height = 0;
    unsigned char* rgba = decodeImage(data, static_cast<int>(size), &width, &height);
    if (rgba) {
        if (width <= 0 || height <= 0 || static_cast<int64_t>(width) * height > kMaxImagePixels)
            abort();
        volatile unsigned char last = rgba[static_cast<size_t>(width) * height * 4 - 1];
        (void)last;
        free(rgba);
        int channels = 0;
        free(stbi_load_from_memory(data, static_cast<int>(size), &width, &height, &channels, 4));
    }
    return 0;
}
