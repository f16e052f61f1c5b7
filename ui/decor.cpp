#include "ui/decor.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include <imgui.h>

#include "audio/sounds.h"
#include "gfx/image.h"
#include "store/config.h"
#include "store/keystore.h"
#include "ui/kit.h"
#include "ui/ui.h"

int parseAnchor(const char* text) {
    int flags = 0;
    for (const char* c = text; c && *c; ++c) {
        switch (std::tolower(static_cast<unsigned char>(*c))) {
        case 'l': flags |= kAnchorLeft; break;
        case 't': flags |= kAnchorTop; break;
        case 'r': flags |= kAnchorRight; break;
        case 'b': flags |= kAnchorBottom; break;
        case 'c': flags |= kAnchorLeft | kAnchorTop | kAnchorRight | kAnchorBottom; break;
        default: break;
        }
    }
    return flags;
}

ImageRect placeImage(int width, int height, int x, int y, int anchor, int screenWidth,
                     int screenHeight) {
    ImageRect r{x, y, width, height};
    if (anchor & kAnchorRight)
        r.left = (anchor & kAnchorLeft) ? x + (screenWidth - width) / 2 : screenWidth - width - x;
    if (anchor & kAnchorBottom)
        r.top = (anchor & kAnchorTop) ? y + (screenHeight - height) / 2 : screenHeight - height - y;
    // The layer starts below the window's top padding of 20; lifting every picture by it measures
    // the placements from the window's corner.
    r.top -= 20;
    return r;
}

namespace {

void readInt(const KeyNode* object, const char* key, int* out) {
    if (const char* text = nodeText(nodeMember(object, key))) *out = std::atoi(text);
}

// A placement without a file names no picture; it is skipped.
const char* placementFile(const KeyNode* placement) {
    return placement->type == NODE_OBJECT ? nodeText(nodeMember(placement, "file")) : nullptr;
}

}  // namespace

void parseImagePlacement(const KeyNode* placement, int* width, int* height, int* x, int* y,
                         int* anchor) {
    if (!placement || placement->type != NODE_OBJECT) return;
    readInt(placement, "width", width);
    readInt(placement, "height", height);
    readInt(placement, "x", x);
    readInt(placement, "y", y);
    if (const char* text = nodeText(nodeMember(placement, "anchor"))) *anchor = parseAnchor(text);
}

std::vector<std::string> openingScreenImages(const Config& config) {
    std::vector<std::string> files;
    if (!config.store) return files;
    for (const char* key : {"mainMenu", "mainMenuDark", "langSelect", "langSelectDark"}) {
        const KeyNode* placements = findNode(config.store->root, {"images", key});
        if (!placements || placements->type != NODE_ARRAY) continue;
        for (uint64_t i = 0; i < placements->childCount; ++i) {
            const char* file = placementFile(nodeChild(placements, i));
            if (file && std::find(files.begin(), files.end(), file) == files.end())
                files.push_back(file);
        }
    }
    return files;
}

void drawScreenDecor(Ui& ui, const char* key, int screenWidth, int screenHeight) {
    if (!key || !ui.assets.config->store || !ui.assets.config->store->root) return;
    const KeyNode* placements = findNode(ui.assets.config->store->root, {"images", key});
    if (!placements || placements->type != NODE_ARRAY) return;

    // Beneath the screen's window, on the list beginScreen keeps, clipped as the window clips.
    const ImDrawList* window = ImGui::GetWindowDrawList();
    ImDrawList* backdrop = ImGui::GetBackgroundDrawList();
    backdrop->PushClipRect(window->GetClipRectMin(), window->GetClipRectMax());
    ui.screenLayout.spaceBegin(static_cast<float>(screenHeight));
    for (uint64_t i = 0; i < placements->childCount; ++i) {
        const KeyNode* placement = nodeChild(placements, i);
        const char* file = placementFile(placement);
        if (!file) continue;
        int width = 100, height = 100, x = 0, y = 0, anchor = 0;
        parseImagePlacement(placement, &width, &height, &x, &y, &anchor);
        ImageRect r = placeImage(width, height, x, y, anchor, screenWidth, screenHeight);
        imageOn(
            backdrop,
            ui.screenLayout.spaceRect(static_cast<float>(r.left), static_cast<float>(r.top),
                                      static_cast<float>(r.width), static_cast<float>(r.height)),
            getImage(ui.assets.images, file));
    }
    backdrop->PopClipRect();
    ui.screenLayout.spaceEnd();
    ui.screenLayout.setPadding(ImVec2(20, 20));
}
