#include "gfx/gui_draw.h"

#include <GL/gl.h>
#include <backends/imgui_impl_opengl2.h>
#include <imgui.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

// The scrolling groups of one screen; a screen with more draws the rest as usual.
constexpr int kKeptAreas = 4;

// A rectangle of framebuffer pixels, origin at the bottom left as GL counts them.
struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
};

struct KeptArea {
    const ImDrawList* list = nullptr;  // marked this frame
    // Everything that painted the area, as bytes: this frame's and the previous frame's.
    std::vector<unsigned char> signature, previousSignature;
    bool copied = false;  // the texture holds the area as the previous signature painted it
    GLuint texture = 0;
    int textureWidth = 0, textureHeight = 0;
};

KeptArea keptAreas[kKeptAreas];
int markedAreas = 0;

// The frame last drawn, as the bytes that decided its pixels (empty: draw the next whatever it
// is), and the frame being compared with it.
std::vector<unsigned char> shownFrame, comparedFrame;

void append(std::vector<unsigned char>& bytes, const void* data, size_t size) {
    const unsigned char* from = static_cast<const unsigned char*>(data);
    bytes.insert(bytes.end(), from, from + size);
}

template <typename T>
void appendValue(std::vector<unsigned char>& bytes, const T& value) {
    append(bytes, &value, sizeof value);
}

void appendCommand(std::vector<unsigned char>& bytes, const ImDrawCmd& cmd) {
    appendValue(bytes, cmd.ClipRect);
    appendValue(bytes, cmd.TextureId);
}

// Every byte of a list that decides its pixels.
void appendList(std::vector<unsigned char>& bytes, const ImDrawList* list) {
    for (const ImDrawCmd& cmd : list->CmdBuffer) {
        appendCommand(bytes, cmd);
        for (unsigned int value : {cmd.VtxOffset, cmd.IdxOffset, cmd.ElemCount})
            appendValue(bytes, value);
    }
    append(bytes, list->VtxBuffer.Data, list->VtxBuffer.size_in_bytes());
    append(bytes, list->IdxBuffer.Data, list->IdxBuffer.size_in_bytes());
}

bool overlaps(const ImVec4& a, const ImVec4& b) {
    return a.x < b.z && b.x < a.z && a.y < b.w && b.y < a.w;
}

// Non-power-of-two textures, which the copies are, came with GL 2.0.
bool copiesSupported() {
    static const bool supported = [] {
        const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
        return version && std::atoi(version) >= 2;
    }();
    return supported;
}

// The area a list can paint: the union of its clip rectangles, in GUI coordinates. Empty for a
// list that draws nothing or calls back into the program (its pixels are not the lists' alone).
ImVec4 listArea(const ImDrawList* list) {
    ImVec4 area(0, 0, 0, 0);
    bool any = false;
    for (const ImDrawCmd& cmd : list->CmdBuffer) {
        if (cmd.UserCallback) return ImVec4(0, 0, 0, 0);
        if (cmd.ElemCount == 0) continue;
        const ImVec4& c = cmd.ClipRect;
        area = any ? ImVec4(std::min(area.x, c.x), std::min(area.y, c.y), std::max(area.z, c.z),
                            std::max(area.w, c.w))
                   : c;
        any = true;
    }
    return area;
}

// The framebuffer pixels of a GUI area: every pixel the GL scissor of any clip rectangle inside
// it can reach.
PixelRect pixelsOf(const ImVec4& area, const ImDrawData* data, int fbWidth, int fbHeight) {
    const ImVec2 pos = data->DisplayPos, scale = data->FramebufferScale;
    int left = std::max(0, static_cast<int>(std::floor((area.x - pos.x) * scale.x)));
    int top = std::max(0, static_cast<int>(std::floor((area.y - pos.y) * scale.y)));
    int right = std::min(fbWidth, static_cast<int>(std::ceil((area.z - pos.x) * scale.x)));
    int bottom = std::min(fbHeight, static_cast<int>(std::ceil((area.w - pos.y) * scale.y)));
    if (right <= left || bottom <= top) return PixelRect{};
    return PixelRect{left, fbHeight - bottom, right - left, bottom - top};
}

struct Triangle {
    const ImDrawVert* corners[3];
};

// The triangle of a command whose indices start at `first` (counted from the command's own).
Triangle triangleAt(const ImDrawList* list, const ImDrawCmd& cmd, unsigned int first) {
    Triangle triangle;
    for (int k = 0; k < 3; ++k)
        triangle.corners[k] =
            &list->VtxBuffer[cmd.VtxOffset + list->IdxBuffer[cmd.IdxOffset + first + k]];
    return triangle;
}

// The box (left, top, right, bottom) around the triangle's positions or texture coordinates.
ImVec4 boundsOf(const Triangle& triangle, ImVec2 ImDrawVert::*member) {
    const ImVec2 &a = triangle.corners[0]->*member, &b = triangle.corners[1]->*member,
                 &c = triangle.corners[2]->*member;
    return ImVec4(std::min({a.x, b.x, c.x}), std::min({a.y, b.y, c.y}), std::max({a.x, b.x, c.x}),
                  std::max({a.y, b.y, c.y}));
}

// The bytes of every triangle of a list that can touch the area, with its texture and clip.
void appendTrianglesOver(std::vector<unsigned char>& bytes, const ImDrawList* list,
                         const ImVec4& area) {
    for (const ImDrawCmd& cmd : list->CmdBuffer) {
        if (cmd.UserCallback || !overlaps(cmd.ClipRect, area)) continue;
        bool commandAppended = false;
        for (unsigned int i = 0; i + 2 < cmd.ElemCount; i += 3) {
            const Triangle triangle = triangleAt(list, cmd, i);
            ImVec4 box = boundsOf(triangle, &ImDrawVert::pos);
            // A pixel is drawn when its centre lies inside: a one-pixel margin is generous.
            box = ImVec4(box.x - 1, box.y - 1, box.z + 1, box.w + 1);
            if (!overlaps(box, area)) continue;
            if (!commandAppended) appendCommand(bytes, cmd);
            commandAppended = true;
            for (const ImDrawVert* vertex : triangle.corners) appendValue(bytes, *vertex);
        }
    }
}

// Everything that paints the area of the kept list at index `at`: the framebuffer and the clear,
// the triangles of the lists before it over its area, and the list itself.
void sign(KeptArea& kept, const ImDrawData* data, int at, const ImVec4& area, int fbWidth,
          int fbHeight, uint32_t clearedColour) {
    std::vector<unsigned char>& bytes = kept.signature;
    bytes.clear();
    appendValue(bytes, kept.list);
    for (int value : {fbWidth, fbHeight}) appendValue(bytes, value);
    appendValue(bytes, data->DisplayPos);
    appendValue(bytes, data->FramebufferScale);
    appendValue(bytes, clearedColour);
    for (int i = 0; i < at; ++i) appendTrianglesOver(bytes, data->CmdLists[i], area);
    appendList(bytes, kept.list);
}

void copyPixels(KeptArea& kept, const PixelRect& r) {
    GLint boundTexture = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundTexture);
    if (!kept.texture) glGenTextures(1, &kept.texture);
    glBindTexture(GL_TEXTURE_2D, kept.texture);
    if (kept.textureWidth != r.width || kept.textureHeight != r.height) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, r.width, r.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     nullptr);
        kept.textureWidth = r.width;
        kept.textureHeight = r.height;
    }
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, r.x, r.y, r.width, r.height);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(boundTexture));
}

// Puts the copy back texel for pixel: nearest sampling at pixel centres, no blending.
void pastePixels(const KeptArea& kept, const PixelRect& r, int fbWidth, int fbHeight) {
    glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_VIEWPORT_BIT | GL_TRANSFORM_BIT);
    glViewport(0, 0, fbWidth, fbHeight);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, fbWidth, 0, fbHeight, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_BLEND);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, kept.texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    const float x0 = static_cast<float>(r.x), y0 = static_cast<float>(r.y),
                x1 = static_cast<float>(r.x + r.width), y1 = static_cast<float>(r.y + r.height);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(x0, y0);
    glTexCoord2f(1, 0);
    glVertex2f(x1, y0);
    glTexCoord2f(1, 1);
    glVertex2f(x1, y1);
    glTexCoord2f(0, 1);
    glVertex2f(x0, y1);
    glEnd();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}

// True when the triangle cannot change a framebuffer of one colour, the clear's: every corner
// samples the atlas's white pixel and is either exactly that colour (blended over itself it stays
// itself, translucent or not) or fully transparent. Corners of both kinds would blend the
// framebuffer's alpha towards theirs.
bool keepsTheClear(const Triangle& triangle, ImVec2 white, uint32_t clearedColour) {
    int cleared = 0, transparent = 0;
    for (const ImDrawVert* corner : triangle.corners) {
        if (corner->uv.x != white.x || corner->uv.y != white.y) return false;
        cleared += corner->col == clearedColour;
        transparent += (corner->col & IM_COL32_A_MASK) == 0;
    }
    return cleared == 3 || transparent == 3;
}

// Drops the triangles a frame begins with that leave the cleared framebuffer as it is. Each
// screen's window begins with its background, a rectangle of the colour the frame is cleared
// with: at 3840 x 2160 eight million pixels the software driver would blend for nothing.
void dropTrianglesThatKeepTheClear(ImDrawData* data, uint32_t clearedColour) {
    const ImFontAtlas* atlas = ImGui::GetIO().Fonts;
    for (int i = 0; i < data->CmdListsCount; ++i) {
        ImDrawList* list = data->CmdLists[i];
        for (ImDrawCmd& cmd : list->CmdBuffer) {
            if (cmd.UserCallback || (cmd.ElemCount > 0 && cmd.TextureId != atlas->TexID)) return;
            while (cmd.ElemCount >= 3 &&
                   keepsTheClear(triangleAt(list, cmd, 0), atlas->TexUvWhitePixel, clearedColour)) {
                cmd.IdxOffset += 3;
                cmd.ElemCount -= 3;
            }
            if (cmd.ElemCount > 0) return;
        }
    }
}

// How large a texture's texels are drawn: framebuffer pixels per whole texture, across and
// down, the smallest of every triangle that samples it this frame.
struct TextureDraw {
    ImTextureID texture;
    float pixelsAcross, pixelsDown;
};

std::vector<TextureDraw> textureDraws(const ImDrawData* data) {
    std::vector<TextureDraw> draws;
    const ImTextureID atlas = ImGui::GetIO().Fonts->TexID;
    const ImVec2 scale = data->FramebufferScale;
    for (int i = 0; i < data->CmdListsCount; ++i) {
        const ImDrawList* list = data->CmdLists[i];
        for (const ImDrawCmd& cmd : list->CmdBuffer) {
            if (cmd.UserCallback || cmd.TextureId == atlas) continue;
            for (unsigned int k = 0; k + 2 < cmd.ElemCount; k += 3) {
                const Triangle triangle = triangleAt(list, cmd, k);
                const ImVec4 box = boundsOf(triangle, &ImDrawVert::pos),
                             uvBox = boundsOf(triangle, &ImDrawVert::uv);
                if (uvBox.z <= uvBox.x || uvBox.w <= uvBox.y) continue;
                const float across = (box.z - box.x) * scale.x / (uvBox.z - uvBox.x),
                            down = (box.w - box.y) * scale.y / (uvBox.w - uvBox.y);
                auto same = std::find_if(draws.begin(), draws.end(), [&](const TextureDraw& d) {
                    return d.texture == cmd.TextureId;
                });
                if (same == draws.end()) {
                    draws.push_back({cmd.TextureId, across, down});
                } else {
                    same->pixelsAcross = std::min(same->pixelsAcross, across);
                    same->pixelsDown = std::min(same->pixelsDown, down);
                }
            }
        }
    }
    return draws;
}

// Pictures are mipmapped for when they are drawn smaller than they are. Where every texel covers
// at least 0.75 pixels, GL samples the full-size level alone either way (a level of detail up to
// 0.5 rounds to level 0), and plain bilinear filtering gives the same pixels without the level
// of detail the software driver otherwise works out for every pixel (at 3840 x 2160 some 15 % of
// the first frame's rasterising).
void chooseImageFilters(const ImDrawData* data) {
    GLint boundTexture = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundTexture);
    for (const TextureDraw& draw : textureDraws(data)) {
        const GLuint texture = static_cast<GLuint>(reinterpret_cast<uintptr_t>(draw.texture));
        glBindTexture(GL_TEXTURE_2D, texture);
        GLint width = 0, height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        if (width <= 0 || height <= 0) continue;
        const bool fullSize = draw.pixelsAcross >= 0.75f * static_cast<float>(width) &&
                              draw.pixelsDown >= 0.75f * static_cast<float>(height);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                        fullSize ? GL_LINEAR : GL_LINEAR_MIPMAP_NEAREST);
    }
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(boundTexture));
}

void drawLists(ImDrawData* data, int from, int to) {
    if (from >= to) return;
    ImDrawData part = *data;
    part.CmdLists = data->CmdLists + from;
    part.CmdListsCount = to - from;
    ImGui_ImplOpenGL2_RenderDrawData(&part);
}

// Areas not marked in a frame keep their textures for when their screen comes back; the marks are
// made again every frame.
void clearMarks() {
    for (int i = 0; i < markedAreas; ++i) keptAreas[i].list = nullptr;
    markedAreas = 0;
}

KeptArea* keptAreaOf(const ImDrawList* list) {
    for (int i = 0; i < markedAreas; ++i)
        if (keptAreas[i].list == list) return &keptAreas[i];
    return nullptr;
}

}  // namespace

void keepListPixels(const ImDrawList* list) {
    if (markedAreas < kKeptAreas && !keptAreaOf(list)) keptAreas[markedAreas++].list = list;
}

int drawGui(ImDrawData* data, uint32_t clearedColour) {
    dropTrianglesThatKeepTheClear(data, clearedColour);
    chooseImageFilters(data);
    int pasted = 0;
    const int fbWidth = static_cast<int>(data->DisplaySize.x * data->FramebufferScale.x);
    const int fbHeight = static_cast<int>(data->DisplaySize.y * data->FramebufferScale.y);
    int drawnUpTo = 0;
    for (int i = 0; i < data->CmdListsCount && copiesSupported(); ++i) {
        KeptArea* kept = keptAreaOf(data->CmdLists[i]);
        if (!kept) continue;
        const ImVec4 area = listArea(kept->list);
        const PixelRect pixels = pixelsOf(area, data, fbWidth, fbHeight);
        if (pixels.width == 0) continue;
        sign(*kept, data, i, area, fbWidth, fbHeight, clearedColour);
        const bool unchanged = kept->signature == kept->previousSignature;
        kept->copied = kept->copied && unchanged;
        drawLists(data, drawnUpTo, kept->copied ? i : i + 1);
        drawnUpTo = i + 1;
        if (kept->copied) {
            pastePixels(*kept, pixels, fbWidth, fbHeight);
            ++pasted;
        } else if (unchanged) {
            copyPixels(*kept, pixels);
            kept->copied = true;
        }
        kept->signature.swap(kept->previousSignature);
    }
    drawLists(data, drawnUpTo, data->CmdListsCount);
    clearMarks();
    return pasted;
}

void snapTextToPixels(ImDrawData* data) {
    const ImFontAtlas* atlas = ImGui::GetIO().Fonts;
    const ImVec2 white = atlas->TexUvWhitePixel, pos = data->DisplayPos,
                 scale = data->FramebufferScale;
    const auto snap = [](float at, float origin, float factor) {
        return std::round((at - origin) * factor) / factor + origin;
    };
    for (int i = 0; i < data->CmdListsCount; ++i) {
        ImDrawList* list = data->CmdLists[i];
        for (const ImDrawCmd& cmd : list->CmdBuffer) {
            if (cmd.UserCallback || cmd.TextureId != atlas->TexID) continue;
            // Shapes sample the atlas's white pixel; everything else drawn from it is text.
            for (unsigned int k = 0; k < cmd.ElemCount; ++k) {
                ImDrawVert& v = list->VtxBuffer[cmd.VtxOffset + list->IdxBuffer[cmd.IdxOffset + k]];
                if (v.uv.x == white.x && v.uv.y == white.y) continue;
                v.pos.x = snap(v.pos.x, pos.x, scale.x);
                v.pos.y = snap(v.pos.y, pos.y, scale.y);
            }
        }
    }
}

bool showsLastFrame(const ImDrawData* data, uint32_t clearedColour) {
    std::vector<unsigned char>& bytes = comparedFrame;
    bytes.clear();
    appendValue(bytes, data->DisplayPos);
    appendValue(bytes, data->DisplaySize);
    appendValue(bytes, data->FramebufferScale);
    appendValue(bytes, clearedColour);
    for (int i = 0; i < data->CmdListsCount; ++i) appendList(bytes, data->CmdLists[i]);
    if (!shownFrame.empty() && bytes == shownFrame) {
        clearMarks();
        return true;
    }
    shownFrame.swap(comparedFrame);
    return false;
}

void redrawNextFrame() {
    shownFrame.clear();
}

void forgetKeptPixels() {
    redrawNextFrame();
    for (KeptArea& kept : keptAreas) {
        if (kept.texture) glDeleteTextures(1, &kept.texture);
        kept = KeptArea{};
    }
    markedAreas = 0;
}
