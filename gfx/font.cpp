#include "gfx/font.h"

#include <backends/imgui_impl_opengl2.h>
#include <cstring>
#include <imgui.h>
#include <imgui_internal.h>
#include <algorithm>
#include <future>
#include <optional>
#include <utility>
#include <vector>

#include "gfx/font_check.h"
#include "gfx/gui_draw.h"
#include "store/files.h"

namespace {

// Larger fonts take seconds to bake and no longer fit the atlas texture.
constexpr float kMaxPixelHeight = 256;

// The factor the atlas is baked at, and the height each of its fonts was loaded with (by atlas
// order). A font added to the atlas outside loadFont was added at the baked factor.
float bakedFactor = 1;
std::vector<float> loadedHeights;

void noteLoadedHeights(const ImFontAtlas& atlas) {
    for (int i = static_cast<int>(loadedHeights.size()); i < atlas.ConfigData.Size; ++i)
        loadedHeights.push_back(atlas.ConfigData[i].SizePixels / bakedFactor);
}

// The texture again from the atlas; kept copies may hold the old one's name.
void uploadAtlas(ImFontAtlas* atlas) {
    ImGui_ImplOpenGL2_DestroyFontsTexture();
    ImGui_ImplOpenGL2_CreateFontsTexture();
    forgetKeptPixels();
    // The texture holds the glyphs now; the atlas's own pixel copies (megabytes with Cyrillic at
    // two sizes) are baked again from the kept font files when another font is added.
    atlas->ClearTexData();
}

// A font baked at one height and drawn at another keeps the layout's height; the bake is held
// below the limit, so a very large factor draws the largest fonts magnified rather than not at
// all.
void setDrawnHeights(ImFontAtlas* atlas) {
    for (int i = 0; i < atlas->ConfigData.Size; ++i) {
        ImFontConfig& config = atlas->ConfigData[i];
        if (config.DstFont) config.DstFont->Scale = loadedHeights[i] / config.SizePixels;
    }
}

float bakedHeight(float loadedHeight) {
    const float height =
        std::min(loadedHeight * bakedFactor, std::max(loadedHeight, kMaxPixelHeight));
    return std::max(height, 1.0f);
}

// Bakes the font alone in an atlas of its own: a font that fails there never reaches the GUI's
// atlas, whose next bake would fail as a whole and take the fonts loaded before with it.
bool bakesAlone(const unsigned char* data, size_t size, float pixelHeight, const uint16_t* ranges) {
    ImFontAtlas trial;
    ImFontConfig fontConfig;
    fontConfig.OversampleH = 1;
    fontConfig.OversampleV = 1;
    fontConfig.FontDataOwnedByAtlas = false;
    void* bytes = const_cast<unsigned char*>(data);
    return trial.AddFontFromMemoryTTF(bytes, static_cast<int>(size), pixelHeight, &fontConfig,
                                      ranges) &&
           trial.Build();
}

}  // namespace

bool fontCanBeBaked(const unsigned char* data, size_t size, float pixelHeight,
                    const uint16_t* ranges) {
    return pixelHeight > 0 && pixelHeight <= kMaxPixelHeight && fontIsUsable(data, size, ranges) &&
           bakesAlone(data, size, pixelHeight, ranges);
}

ImFont* addFont(ImFontAtlas* atlas, const char* path, float pixelHeight, const uint16_t* ranges) {
    std::optional<std::vector<char>> file = readWholeFile(path);
    if (!file) return nullptr;
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(file->data());
    if (!fontCanBeBaked(bytes, file->size(), pixelHeight, ranges)) return nullptr;
    ImFontConfig fontConfig;
    fontConfig.OversampleH = 1;
    fontConfig.OversampleV = 1;
    // Fonts loaded before stay in the atlas and are baked again with the new one,
    // so every font keeps working. The atlas frees its copy of the file.
    void* owned = ImGui::MemAlloc(file->size());
    std::memcpy(owned, bytes, file->size());
    noteLoadedHeights(*atlas);
    ImFont* font = atlas->AddFontFromMemoryTTF(owned, static_cast<int>(file->size()),
                                               bakedHeight(pixelHeight), &fontConfig, ranges);
    if (font) loadedHeights.push_back(pixelHeight);
    return font;
}

void bakeFonts() {
    ImFontAtlas* atlas = ImGui::GetIO().Fonts;
    noteLoadedHeights(*atlas);
    uploadAtlas(atlas);
    setDrawnHeights(atlas);
}

ImFont* loadFont(const char* path, float pixelHeight, const uint16_t* ranges) {
    ImFont* font = addFont(ImGui::GetIO().Fonts, path, pixelHeight, ranges);
    if (!font) return nullptr;
    bakeFonts();
    setFont(font);
    return font;
}

void scaleFonts(float factor) {
    if (factor == bakedFactor || factor <= 0 || !ImGui::GetCurrentContext()) return;
    ImFontAtlas* atlas = ImGui::GetIO().Fonts;
    noteLoadedHeights(*atlas);
    bakedFactor = factor;
    for (int i = 0; i < atlas->ConfigData.Size; ++i)
        atlas->ConfigData[i].SizePixels = bakedHeight(loadedHeights[i]);
    atlas->ClearTexData();  // the next upload bakes again
    uploadAtlas(atlas);
    setDrawnHeights(atlas);
}

void bakeFontsAhead(FontsAhead* fonts, float factor, std::vector<FontFile> files,
                    const uint16_t* ranges, JoinedThread* worker) {
    // A new atlas: its fonts are the only ones loaded, at the factor they are baked at.
    forgetFontScale();
    bakedFactor = factor > 0 ? factor : 1;
    std::promise<void> baked;
    fonts->baked = baked.get_future();
    worker->then([fonts, files = std::move(files), ranges, baked = std::move(baked)]() mutable {
        ImFontAtlas& atlas = fonts->atlas;
        ImFontConfig builtIn;
        builtIn.SizePixels = bakedHeight(13);  // the built-in font's own height
        atlas.AddFontDefault(&builtIn);
        for (const FontFile& file : files)
            fonts->fonts.push_back(addFont(&atlas, file.path.c_str(), file.pixelHeight, ranges));
        unsigned char* pixels = nullptr;
        int width = 0, height = 0;
        atlas.GetTexDataAsRGBA32(&pixels, &width, &height);
        baked.set_value();
    });
}

FontsAhead::~FontsAhead() {
    if (baked.valid()) baked.wait();
}

void forgetFontScale() {
    bakedFactor = 1;
    loadedHeights.clear();
}

void setFont(ImFont* font) {
    if (!font || !ImGui::GetCurrentContext()) return;
    ImGui::GetIO().FontDefault = font;  // a new frame starts with the default font
    if (GImGui->WithinFrameScope) ImGui::SetCurrentFont(font);
}
