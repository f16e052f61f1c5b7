#include "gfx/font.h"

#include <backends/imgui_impl_opengl2.h>
#include <cstdio>
#include <cstring>
#include <imgui.h>

#include "ui/theme.h"

const uint16_t gameGlyphRanges[] = {
    0x0020, 0x00FF,  // Basic Latin and Latin-1
    0x0100, 0x017F,  // Latin Extended-A
    0x0400, 0x052F,  // Cyrillic and Cyrillic Supplement
    0x2018, 0x201F,  // single and double quotation marks
    0x2039, 0x203A,  // single angle quotation marks
    0x2DE0, 0x2DFF,  // Cyrillic Extended-A
    0xA640, 0xA69F,  // Cyrillic Extended-B
    0,
};

ImFont *smallFont = nullptr;
ImFont *mainFont = nullptr;

namespace {

// The font baker asserts on data that is not a font, so only files that start
// like TrueType, OpenType or a font collection are handed to it.
bool looksLikeFontFile(const char *path)
{
    FILE *file = std::fopen(path, "rb");
    if (!file)
        return false;
    unsigned char tag[4] = {};
    size_t got = std::fread(tag, 1, sizeof tag, file);
    std::fclose(file);
    if (got != sizeof tag)
        return false;
    static const unsigned char trueType[4] = {0, 1, 0, 0};
    return std::memcmp(tag, trueType, 4) == 0 || std::memcmp(tag, "true", 4) == 0 ||
           std::memcmp(tag, "OTTO", 4) == 0 || std::memcmp(tag, "ttcf", 4) == 0;
}

}  // namespace

ImFont *loadFont(App *app, const char *path, float pixelHeight, const uint16_t *ranges)
{
    if (!looksLikeFontFile(path))
        return nullptr;
    ImFontConfig fontConfig;
    fontConfig.OversampleH = 1;
    fontConfig.OversampleV = 1;
    // Fonts loaded before stay in the atlas and are baked again with the new one,
    // so every font keeps working.
    ImFontAtlas *atlas = ImGui::GetIO().Fonts;
    ImFont *font = atlas->AddFontFromFileTTF(path, pixelHeight, &fontConfig, ranges);
    if (!font)
        return nullptr;
    ImGui_ImplOpenGL2_DestroyFontsTexture();
    ImGui_ImplOpenGL2_CreateFontsTexture();
    setFont(app, font);
    return font;
}
