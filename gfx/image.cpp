#include "gfx/image.h"

#include <GL/gl.h>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <stb_image.h>
#include <string>
#include <vector>

#include "audio/sounds.h"
#include "store/archive.h"
#include "store/files.h"
#include "store/folders.h"
#include "store/keystore.h"

#ifndef GL_GENERATE_MIPMAP
#define GL_GENERATE_MIPMAP 0x8191
#endif
#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F
#endif

GuiImage uploadTexture(unsigned char *rgba, int width, int height)
{
    GuiImage image;
    if (!rgba || width <= 0 || height <= 0) {
        std::free(rgba);
        return image;
    }
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    std::free(rgba);  // stb_image allocates with malloc
    image.handle = (void *)(uintptr_t)texture;
    return image;
}

unsigned char *decodeImage(const unsigned char *bytes, int length, int *width, int *height)
{
    *width = *height = 0;
    int claimedWidth = 0, claimedHeight = 0, channels = 0;
    if (!bytes || length <= 0 || !stbi_info_from_memory(bytes, length, &claimedWidth, &claimedHeight, &channels) ||
        (int64_t)claimedWidth * claimedHeight > kMaxImagePixels)
        return nullptr;
    return stbi_load_from_memory(bytes, length, width, height, &channels, 4);
}

GuiImage loadImageFile(const char *path)
{
    std::optional<std::vector<char>> file = readWholeFile(path);
    if (!file || file->size() > INT32_MAX)
        return GuiImage();
    return loadImageMemory((const unsigned char *)file->data(), (int)file->size());
}

GuiImage loadImageMemory(const unsigned char *bytes, int length)
{
    int width = 0, height = 0;
    unsigned char *rgba = decodeImage(bytes, length, &width, &height);
    return uploadTexture(rgba, width, height);
}

GuiImage loadImage(Assets *assets, const char *name)
{
    std::string path = dataFolder + "images/" + name;
    if (fileExists(path.c_str()))
        return loadImageFile(path.c_str());
    size_t size = 0;
    const char *member = archiveFind(assets->imagesArchive, assets->imagesArchiveSize, name, &size);
    if (!member || size > INT32_MAX)
        return GuiImage();
    return loadImageMemory((const unsigned char *)member, (int)size);
}

GuiImage getImage(Assets *assets, const char *name)
{
    if (!name || !assets->imageCache)
        return GuiImage();
    StringImageMap &cache = *assets->imageCache;
    uint32_t slot = hashGet(cache, name);
    if (slot != cache.capacity)
        return cache.values[slot];
    int outcome = 0;
    slot = hashPut(cache, name, &outcome);
    GuiImage image = loadImage(assets, name);
    if (slot != cache.capacity)  // when the cache cannot grow, the image is still shown
        cache.values[slot] = image;
    return image;
}

GuiImage getLanguageImage(const KeyStore *config, int i)
{
    return getImage(&assets, getLangString(config, i, "pic"));
}
