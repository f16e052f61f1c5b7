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

// The box around every pixel the triangle can paint: a pixel is drawn when its centre lies inside,
// and a one-unit margin is generous.
ImVec4 boxPainted(const Triangle& triangle) {
    const ImVec4 box = boundsOf(triangle, &ImDrawVert::pos);
    return ImVec4(box.x - 1, box.y - 1, box.z + 1, box.w + 1);
}

// The bytes of every triangle of a list that can touch the area, with its texture and clip.
void appendTrianglesOver(std::vector<unsigned char>& bytes, const ImDrawList* list,
                         const ImVec4& area) {
    for (const ImDrawCmd& cmd : list->CmdBuffer) {
        if (cmd.UserCallback || !overlaps(cmd.ClipRect, area)) continue;
        bool commandAppended = false;
        for (unsigned int i = 0; i + 2 < cmd.ElemCount; i += 3) {
            const Triangle triangle = triangleAt(list, cmd, i);
            if (!overlaps(boxPainted(triangle), area)) continue;
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

// Puts the copy of r back texel for pixel over the parts of r given: nearest sampling at pixel
// centres, no blending.
void pastePixels(const KeptArea& kept, const PixelRect& r, const std::vector<PixelRect>& parts,
                 int fbWidth, int fbHeight) {
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
    glBegin(GL_QUADS);
    for (const PixelRect& part : parts) {
        const float x0 = static_cast<float>(part.x), y0 = static_cast<float>(part.y),
                    x1 = static_cast<float>(part.x + part.width),
                    y1 = static_cast<float>(part.y + part.height);
        const float u0 = (x0 - r.x) / r.width, v0 = (y0 - r.y) / r.height,
                    u1 = (x1 - r.x) / r.width, v1 = (y1 - r.y) / r.height;
        glTexCoord2f(u0, v0);
        glVertex2f(x0, y0);
        glTexCoord2f(u1, v0);
        glVertex2f(x1, y0);
        glTexCoord2f(u1, v1);
        glVertex2f(x1, y1);
        glTexCoord2f(u0, v1);
        glVertex2f(x0, y1);
    }
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

// What a kept area does this frame: drawn with its lists, copied once drawn, or pasted instead of
// its list.
enum class AreaStep { Draw, Copy, Paste };

struct AreaPlan {
    int list;  // the kept list's index in the frame
    KeptArea* kept;
    PixelRect pixels;
    AreaStep step;
};

// Signs every kept area of the frame and decides its step; nothing is drawn yet.
std::vector<AreaPlan> planKeptAreas(const ImDrawData* data, int fbWidth, int fbHeight,
                                    uint32_t clearedColour) {
    std::vector<AreaPlan> plans;
    for (int i = 0; i < data->CmdListsCount && copiesSupported(); ++i) {
        KeptArea* kept = keptAreaOf(data->CmdLists[i]);
        if (!kept) continue;
        const ImVec4 area = listArea(kept->list);
        const PixelRect pixels = pixelsOf(area, data, fbWidth, fbHeight);
        if (pixels.width == 0) continue;
        sign(*kept, data, i, area, fbWidth, fbHeight, clearedColour);
        const bool unchanged = kept->signature == kept->previousSignature;
        kept->copied = kept->copied && unchanged;
        kept->signature.swap(kept->previousSignature);
        const AreaStep step = kept->copied ? AreaStep::Paste
                              : unchanged  ? AreaStep::Copy
                                           : AreaStep::Draw;
        plans.push_back(AreaPlan{i, kept, pixels, step});
    }
    return plans;
}

// The areas pasted after the list at index `list`: whatever is drawn before beneath them is
// covered, pixel for pixel.
std::vector<PixelRect> pastedAfter(const std::vector<AreaPlan>& plans, int list) {
    std::vector<PixelRect> pasted;
    for (const AreaPlan& plan : plans)
        if (plan.list > list && plan.step == AreaStep::Paste) pasted.push_back(plan.pixels);
    return pasted;
}

PixelRect intersection(const PixelRect& a, const PixelRect& b) {
    const int left = std::max(a.x, b.x), right = std::min(a.x + a.width, b.x + b.width);
    const int bottom = std::max(a.y, b.y), top = std::min(a.y + a.height, b.y + b.height);
    if (right <= left || top <= bottom) return PixelRect{};
    return PixelRect{left, bottom, right - left, top - bottom};
}

// The parts of `from` outside every rectangle of `cuts`, as rectangles.
std::vector<PixelRect> partsOutside(const PixelRect& from, const std::vector<PixelRect>& cuts) {
    std::vector<PixelRect> parts{from};
    for (const PixelRect& cut : cuts) {
        std::vector<PixelRect> left;
        for (const PixelRect& p : parts) {
            const PixelRect both = intersection(p, cut);
            if (both.width == 0) {
                left.push_back(p);
                continue;
            }
            // The rows below and above the cut, then the cut's rows beside it.
            if (p.y < both.y) left.push_back(PixelRect{p.x, p.y, p.width, both.y - p.y});
            if (both.y + both.height < p.y + p.height)
                left.push_back(PixelRect{p.x, both.y + both.height, p.width,
                                         p.y + p.height - both.y - both.height});
            if (p.x < both.x) left.push_back(PixelRect{p.x, both.y, both.x - p.x, both.height});
            if (both.x + both.width < p.x + p.width)
                left.push_back(PixelRect{both.x + both.width, both.y,
                                         p.x + p.width - both.x - both.width, both.height});
        }
        parts.swap(left);
    }
    return parts;
}

// The pixels the GUI's renderer lets a command draw: its clip rectangle in framebuffer pixels,
// cut to whole pixels as the renderer cuts it (GL counts rows from the bottom).
PixelRect scissorOf(const ImDrawCmd& cmd, const ImDrawData* data, int fbHeight) {
    const ImVec2 pos = data->DisplayPos, scale = data->FramebufferScale;
    const float minX = (cmd.ClipRect.x - pos.x) * scale.x,
                minY = (cmd.ClipRect.y - pos.y) * scale.y,
                maxX = (cmd.ClipRect.z - pos.x) * scale.x,
                maxY = (cmd.ClipRect.w - pos.y) * scale.y;
    if (maxX <= minX || maxY <= minY) return PixelRect{};
    return PixelRect{static_cast<int>(minX), static_cast<int>(fbHeight - maxY),
                     static_cast<int>(maxX - minX), static_cast<int>(maxY - minY)};
}

// A clip rectangle the renderer cuts to exactly these pixels: each edge it truncates lies a
// quarter pixel inside, far beyond the rounding of the way back.
ImVec4 clipRectOf(const PixelRect& r, const ImDrawData* data, int fbHeight) {
    const ImVec2 pos = data->DisplayPos, scale = data->FramebufferScale;
    const float minX = r.x + 0.25f, maxX = r.x + r.width + 0.5f;
    const float maxY = fbHeight - r.y - 0.25f, minY = maxY - r.height - 0.25f;
    return ImVec4(minX / scale.x + pos.x, minY / scale.y + pos.y, maxX / scale.x + pos.x,
                  maxY / scale.y + pos.y);
}

// The pixels a command's triangles can paint.
PixelRect reachOf(const ImDrawList* list, const ImDrawCmd& cmd, const ImDrawData* data, int fbWidth,
                  int fbHeight) {
    if (cmd.ElemCount < 3) return PixelRect{};
    ImVec4 reach = boxPainted(triangleAt(list, cmd, 0));
    for (unsigned int i = 3; i + 2 < cmd.ElemCount; i += 3) {
        const ImVec4 box = boxPainted(triangleAt(list, cmd, i));
        reach = ImVec4(std::min(reach.x, box.x), std::min(reach.y, box.y), std::max(reach.z, box.z),
                       std::max(reach.w, box.w));
    }
    return pixelsOf(reach, data, fbWidth, fbHeight);
}

// Leaves to the pastes what a list would draw beneath them: a command that reaches under one is
// drawn over the parts of its reach outside them alone (not at all when it lies beneath one).
void leaveToPastes(ImDrawList* list, const std::vector<PixelRect>& pastes, const ImDrawData* data,
                   int fbWidth, int fbHeight) {
    ImVector<ImDrawCmd> commands;
    bool changed = false;
    for (const ImDrawCmd& cmd : list->CmdBuffer) {
        const PixelRect scissor = scissorOf(cmd, data, fbHeight);
        // A scissor the renderer would not cut as scissorOf does (off the framebuffer's bottom or
        // left edge) stays whole.
        const bool cuttable = !cmd.UserCallback && scissor.width > 0 && scissor.height > 0 &&
                              scissor.x >= 0 && scissor.y >= 0;
        const PixelRect reach =
            cuttable ? intersection(scissor, reachOf(list, cmd, data, fbWidth, fbHeight))
                     : PixelRect{};
        const bool covered = std::any_of(pastes.begin(), pastes.end(), [&](const PixelRect& r) {
            return intersection(reach, r).width > 0;
        });
        if (!covered) {
            commands.push_back(cmd);
            continue;
        }
        const std::vector<PixelRect> parts = partsOutside(reach, pastes);
        changed = true;
        for (const PixelRect& part : parts) {
            ImDrawCmd piece = cmd;
            piece.ClipRect = clipRectOf(part, data, fbHeight);
            commands.push_back(piece);
        }
    }
    if (changed) list->CmdBuffer.swap(commands);
}

}  // namespace

void keepListPixels(const ImDrawList* list) {
    if (markedAreas < kKeptAreas && !keptAreaOf(list)) keptAreas[markedAreas++].list = list;
}

int drawGui(ImDrawData* data, uint32_t clearedColour) {
    dropTrianglesThatKeepTheClear(data, clearedColour);
    chooseImageFilters(data);
    const int fbWidth = static_cast<int>(data->DisplaySize.x * data->FramebufferScale.x);
    const int fbHeight = static_cast<int>(data->DisplaySize.y * data->FramebufferScale.y);
    const std::vector<AreaPlan> plans = planKeptAreas(data, fbWidth, fbHeight, clearedColour);
    // What a paste covers need not be drawn before it, unless a copy is taken this frame: it
    // holds every pixel of its area as drawn.
    const bool copying = std::any_of(plans.begin(), plans.end(), [](const AreaPlan& plan) {
        return plan.step == AreaStep::Copy;
    });
    const auto covering = [&](int list) {
        return copying ? std::vector<PixelRect>{} : pastedAfter(plans, list);
    };
    const auto isPasted = [&](int list) {
        return std::any_of(plans.begin(), plans.end(), [list](const AreaPlan& plan) {
            return plan.list == list && plan.step == AreaStep::Paste;
        });
    };
    for (int i = 0; i < data->CmdListsCount; ++i) {
        const std::vector<PixelRect> pastes = covering(i);
        // A pasted list is not drawn at all.
        if (!pastes.empty() && !isPasted(i))
            leaveToPastes(data->CmdLists[i], pastes, data, fbWidth, fbHeight);
    }
    int pasted = 0, drawnUpTo = 0;
    for (const AreaPlan& plan : plans) {
        const bool paste = plan.step == AreaStep::Paste;
        drawLists(data, drawnUpTo, paste ? plan.list : plan.list + 1);
        drawnUpTo = plan.list + 1;
        if (paste) {
            pastePixels(*plan.kept, plan.pixels, partsOutside(plan.pixels, covering(plan.list)),
                        fbWidth, fbHeight);
            ++pasted;
        } else if (plan.step == AreaStep::Copy) {
            copyPixels(*plan.kept, plan.pixels);
            plan.kept->copied = true;
        }
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
