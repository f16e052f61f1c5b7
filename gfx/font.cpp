#include "gfx/font.h"

#include <backends/imgui_impl_opengl2.h>
#include <cstring>
#include <imgui.h>
#include <imgui_internal.h>
#include <optional>
#include <vector>

#include "gfx/font_check.h"
#include "gfx/gui_draw.h"
#include "store/files.h"

ImFont* smallFont = nullptr;
ImFont* mainFont = nullptr;

namespace {

// Larger fonts take seconds to bake and no longer fit the atlas texture.
constexpr float kMaxPixelHeight = 256;

// Bakes the font alone in an atlas of its own: a font that fails there never reaches the GUI's
// atlas, whose next bake would fail as a whole and take the fonts loaded before with it.
bool bakesAlone(const unsigned char* data, size_t size, float pixelHeight, const uint16_t* ranges) {
    ImFontAtlas trial;
    ImFontConfig fontConfig;
    fontConfig.OversampleH = 1;
    fontConfig.OversampleV = 1;
    fontConfig.FontDataOwnedByAtlas = false;
    void* bytes = const_cast<unsigned char*>(data);
    return trial.AddFontFromMemoryTTF(bytes, (int)size, pixelHeight, &fontConfig, ranges) &&
           trial.Build();
}

}  // namespace

bool fontCanBeBaked(const unsigned char* data, size_t size, float pixelHeight,
                    const uint16_t* ranges) {
    return pixelHeight > 0 && pixelHeight <= kMaxPixelHeight && fontIsUsable(data, size, ranges) &&
           bakesAlone(data, size, pixelHeight, ranges);
}

ImFont* loadFont(const char* path, float pixelHeight, const uint16_t* ranges) {
    std::optional<std::vector<char>> file = readWholeFile(path);
    if (!file) return nullptr;
    const unsigned char* bytes = (const unsigned char*)file->data();
    if (!fontCanBeBaked(bytes, file->size(), pixelHeight, ranges)) return nullptr;
    ImFontConfig fontConfig;
    fontConfig.OversampleH = 1;
    fontConfig.OversampleV = 1;
    // Fonts loaded before stay in the atlas and are baked again with the new one,
    // so every font keeps working. The atlas frees its copy of the file.
    void* owned = ImGui::MemAlloc(file->size());
    std::memcpy(owned, bytes, file->size());
    ImFontAtlas* atlas = ImGui::GetIO().Fonts;
    ImFont* font =
        atlas->AddFontFromMemoryTTF(owned, (int)file->size(), pixelHeight, &fontConfig, ranges);
    if (!font) return nullptr;
    ImGui_ImplOpenGL2_DestroyFontsTexture();
    ImGui_ImplOpenGL2_CreateFontsTexture();
    forgetKeptPixels();
    // The texture holds the glyphs now; the atlas's own pixel copies (megabytes with Cyrillic at
    // two sizes) are baked again from the kept font files when another font is added.
    atlas->ClearTexData();
    setFont(font);
    return font;
}

void setFont(ImFont* font) {
    if (!font || !ImGui::GetCurrentContext()) return;
    ImGui::GetIO().FontDefault = font;  // a new frame starts with the default font
    if (GImGui->WithinFrameScope) ImGui::SetCurrentFont(font);
}
