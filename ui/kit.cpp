#include "ui/kit.h"

#include <climits>
#include <cstdio>

#include "core/level.h"
#include "ui/screens.h"
#include "ui/theme.h"

RowLayout screenLayout;

namespace {

ImVector<ImGuiWindow*> screenWindows;  // screen windows drawn in this frame, in order

RowLayout groupRows;
RowLayout popupRows;
int* groupScroll = nullptr;
int lastGroupScroll = INT_MIN;  // the offset last seen in the bound variable
bool groupScrollRequested = false;

ImDrawList* drawList() { return ImGui::GetWindowDrawList(); }

ImU32 color(ImGuiCol slot) { return ImGui::GetColorU32(slot); }

// The clickable face of every button: its background in the state's colour and its border.
// Like the original widgets, a button reacts when the mouse goes down on it.
bool buttonFrame(ImGuiID id, const ImRect& r, const ButtonStyle& s) {
    if (!ImGui::ItemAdd(r, id)) return false;
    bool hovered = false, held = false;
    bool pressed = ImGui::ButtonBehavior(r, id, &hovered, &held, ImGuiButtonFlags_PressedOnClick);
    const ImVec4& face = held && hovered ? s.active : hovered ? s.hover : s.normal;
    if (face.w > 0) drawList()->AddRectFilled(r.Min, r.Max, ImGui::ColorConvertFloat4ToU32(face), s.rounding);
    if (s.border > 0 && s.borderColor.w > 0)
        drawList()->AddRect(r.Min, r.Max, ImGui::ColorConvertFloat4ToU32(s.borderColor), s.rounding, 0, s.border);
    return pressed;
}

ImVec2 alignment(TextAlign align) {
    switch (align) {
    case AlignLeft: return ImVec2(0, 0.5f);
    case AlignCentered: return ImVec2(0.5f, 0.5f);
    case AlignRight: return ImVec2(1, 0.5f);
    case AlignTopLeft: return ImVec2(0, 0);
    }
    return ImVec2(0, 0);
}

ImRect shrink(const ImRect& r, ImVec2 by) {
    return ImRect(r.Min.x + by.x, r.Min.y + by.y, r.Max.x - by.x, r.Max.y - by.y);
}

}  // namespace

void beginScreensFrame() { screenWindows.clear(); }

void finishScreensFrame() {
    for (int i = 0; i + 1 < screenWindows.Size; ++i) screenWindows[i]->Hidden = true;
}

bool beginScreen(int width, int height) {
    ImGui::SetNextWindowPos(ImVec2(0, 0));
    ImGui::SetNextWindowSize(ImVec2((float)width, (float)height));
    // Rows are placed by the layout, so ImGui's own padding must not shrink the clip rectangle.
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0, 0));
    ImGui::PushStyleVar(ImGuiStyleVar_WindowBorderSize, 0);
    const ImGuiWindowFlags flags = ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                                   ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoScrollWithMouse |
                                   ImGuiWindowFlags_NoBringToFrontOnFocus;
    char name[16];
    std::snprintf(name, sizeof name, "game##%d", currentScreen);
    bool open = ImGui::Begin(name, nullptr, flags);
    ImGui::PopStyleVar(2);
    screenWindows.push_back(ImGui::GetCurrentWindow());
    screenLayout.begin(ImGui::GetWindowPos(), (float)width, ImVec2(0, 20));
    return open;
}

void endScreen() { ImGui::End(); }

bool beginGroup(const char* id, const ImRect& bounds, int* scrollY) {
    ImGui::SetCursorScreenPos(bounds.Min);
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0, 0));
    bool open = ImGui::BeginChild(id, bounds.GetSize(), true, ImGuiWindowFlags_AlwaysVerticalScrollbar);
    ImGui::PopStyleVar();
    groupScroll = scrollY;
    groupScrollRequested = false;
    if (scrollY && *scrollY != lastGroupScroll) {
        // The program moved the offset (the found list does after every new word): scroll there
        // once the content of this frame is known.
        ImGui::SetScrollY((float)*scrollY);
        groupScrollRequested = true;
    }
    groupRows.begin(ImGui::GetCursorScreenPos(), ImGui::GetContentRegionAvail().x, widgetMetrics.groupPadding);
    return open;
}

RowLayout& groupLayout() { return groupRows; }

void endGroup() {
    // Tell ImGui how far the rows reach so that the scroll range covers them.
    ImGui::SetCursorScreenPos(ImVec2(ImGui::GetCursorScreenPos().x, groupRows.bottom() + groupRows.padding().y));
    ImGui::Dummy(ImVec2(0, 0));
    if (groupScroll) {
        if (!groupScrollRequested) *groupScroll = (int)ImGui::GetScrollY();
        lastGroupScroll = *groupScroll;
    }
    groupScroll = nullptr;
    ImGui::EndChild();
}

void label(const ImRect& r, const char* text, TextAlign align) {
    if (!text) return;
    // Text placed against a side keeps a little air, so that it does not touch an icon that
    // overhangs its own cell.
    const float inset = align == AlignLeft || align == AlignRight ? 8 : 0;
    ImRect box(r.Min.x + inset, r.Min.y, r.Max.x - inset, r.Max.y);
    ImGui::RenderTextClipped(box.Min, box.Max, text, nullptr, nullptr, alignment(align), &r);
}

void labelWrap(const ImRect& r, const char* text) {
    if (!text) return;
    ImGui::PushClipRect(r.Min, r.Max, true);
    ImGui::RenderTextWrapped(r.Min, text, nullptr, r.GetWidth());
    ImGui::PopClipRect();
}

void image(const ImRect& r, GuiImage img) {
    if (!img.handle) return;
    drawList()->AddImage((ImTextureID)img.handle, r.Min, r.Max);
}

bool button(const ImRect& r, const char* text) {
    ButtonStyle s = defaultButtonStyle();
    return styledButton(r, text, s);
}

bool styledButton(const ImRect& r, const char* text, const ButtonStyle& style) {
    bool pressed = buttonFrame(ImGui::GetID(text ? text : ""), r, style);
    label(shrink(r, style.padding), text, AlignCentered);
    return pressed;
}

bool imageButton(const char* id, const ImRect& r, GuiImage img, const ButtonStyle& style) {
    bool pressed = buttonFrame(ImGui::GetID(id), r, style);
    image(shrink(r, style.padding), img);
    return pressed;
}

bool imageLabelButton(const char* id, const ImRect& r, GuiImage img, const char* text, TextAlign align) {
    ButtonStyle s = defaultButtonStyle();
    bool pressed = buttonFrame(ImGui::GetID(id), r, s);
    ImRect content = shrink(r, s.padding);
    float side = r.GetHeight() - 2 * s.padding.y;
    ImRect icon(r.Min.x + 2 * s.padding.x, r.Min.y + s.padding.y, r.Min.x + 2 * s.padding.x + side,
                r.Min.y + s.padding.y + side);
    image(shrink(icon, widgetMetrics.buttonImagePadding), img);
    label(content, text, align);
    return pressed;
}

bool colorButton(const char* id, const ImRect& r, ImU32 fill) {
    ButtonStyle s = defaultButtonStyle();
    s.normal = s.hover = s.active = ImGui::ColorConvertU32ToFloat4(fill);
    return buttonFrame(ImGui::GetID(id), r, s);
}

void propertyInt(const ImRect& r, const char* name, int min, int* value, int max, bool leftArrow,
                 bool rightArrow) {
    ImGuiID id = ImGui::GetID(name ? name : "property");
    if (!ImGui::ItemAdd(r, id)) return;
    bool hovered = false, held = false;
    bool pressed = ImGui::ButtonBehavior(r, id, &hovered, &held, ImGuiButtonFlags_PressedOnClick);

    const ImVec2 pad = widgetMetrics.propertyPadding;
    const float arrow = ImGui::GetFontSize();
    const float midY = (r.Min.y + r.Max.y) * 0.5f;
    ImRect left(r.Min.x + pad.x, midY - arrow / 2, r.Min.x + pad.x + arrow, midY + arrow / 2);
    ImRect right(r.Max.x - pad.x - arrow, midY - arrow / 2, r.Max.x - pad.x, midY + arrow / 2);

    ImGuiIO& io = ImGui::GetIO();
    if (pressed && leftArrow && left.Contains(io.MousePos)) *value -= 1;
    else if (pressed && rightArrow && right.Contains(io.MousePos)) *value += 1;
    else if (held && !pressed) *value += (int)io.MouseDelta.x;  // one unit per pixel dragged
    if (*value > max) *value = max;
    if (*value < min) *value = min;

    drawList()->AddRectFilled(r.Min, r.Max, color(ImGuiCol_FrameBg), r.GetHeight() / 2);
    drawList()->AddRect(r.Min, r.Max, color(ImGuiCol_Border), r.GetHeight() / 2, 0, widgetMetrics.buttonBorder);
    ImU32 text = color(ImGuiCol_Text);
    if (leftArrow) ImGui::RenderArrow(drawList(), left.Min, text, ImGuiDir_Left);
    if (rightArrow) ImGui::RenderArrow(drawList(), right.Min, text, ImGuiDir_Right);
    ImRect inner(left.Max.x + pad.x, r.Min.y, right.Min.x - pad.x, r.Max.y);
    label(inner, name, AlignLeft);
    char number[16];
    snprintf(number, sizeof number, "%d", *value);
    label(inner, number, AlignRight);
}

void sliderInt(const ImRect& r, int min, int* value, int max) {
    ImGuiID id = ImGui::GetID("slider");
    if (!ImGui::ItemAdd(r, id) || max <= min) return;
    bool hovered = false, held = false;
    ImGui::ButtonBehavior(r, id, &hovered, &held, ImGuiButtonFlags_PressedOnClick);

    const float cursor = widgetMetrics.sliderCursorSize.x;
    const float from = r.Min.x + cursor / 2, to = r.Max.x - cursor / 2;
    if (held && to > from) {
        float t = (ImGui::GetIO().MousePos.x - from) / (to - from);
        t = t < 0 ? 0 : t > 1 ? 1 : t;
        *value = min + (int)(t * (max - min) + 0.5f);
    }
    if (*value > max) *value = max;
    if (*value < min) *value = min;

    const float midY = (r.Min.y + r.Max.y) * 0.5f;
    const float barHalf = r.GetHeight() / 12;
    const float at = from + (to - from) * (*value - min) / (max - min);
    const int theme = progress.theme;
    drawList()->AddRectFilled(ImVec2(from, midY - barHalf), ImVec2(to, midY + barHalf),
                              themeColor(theme, SlotSlider), barHalf);
    drawList()->AddRectFilled(ImVec2(from, midY - barHalf), ImVec2(at, midY + barHalf),
                              themeColor(theme, SlotSliderCursor), barHalf);
    ThemeSlot grab = held ? SlotSliderCursorActive : hovered ? SlotSliderCursorHover : SlotSliderCursor;
    drawList()->AddCircleFilled(ImVec2(at, midY), cursor / 2, themeColor(theme, grab));
}

bool beginColorCombo(const char* id, const ImRect& r, ImU32 swatch, ImVec2 popupSize) {
    ImGuiID itemId = ImGui::GetID(id);
    ButtonStyle s = defaultButtonStyle();
    s.normal = s.hover = s.active = ImGui::ColorConvertU32ToFloat4(themeColor(progress.theme, SlotCombo));
    if (buttonFrame(itemId, r, s)) ImGui::OpenPopup(id);

    const ImVec2 pad = widgetMetrics.comboContentPadding;
    const float arrowBox = r.GetHeight();
    ImRect face(r.Min.x + pad.x, r.Min.y + pad.y + 8, r.Max.x - arrowBox, r.Max.y - pad.y - 8);
    drawList()->AddRectFilled(face.Min, face.Max, swatch, 4);
    const float size = ImGui::GetFontSize();
    ImGui::RenderArrow(drawList(), ImVec2(r.Max.x - arrowBox / 2 - size / 2, r.Min.y + (r.GetHeight() - size) / 2),
                       color(ImGuiCol_Text), ImGuiDir_Down);

    ImGui::SetNextWindowPos(ImVec2(r.Min.x, r.Max.y));
    ImGui::SetNextWindowSize(popupSize);
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0, 0));
    // The list wears the window colour nearly opaque, like the hover hints, so that the
    // settings behind it do not show through.
    ImVec4 background = ImGui::GetStyle().Colors[ImGuiCol_PopupBg];
    background.w = 240 / 255.0f;
    ImGui::PushStyleColor(ImGuiCol_PopupBg, background);
    bool open = ImGui::BeginPopup(id, ImGuiWindowFlags_NoScrollbar);
    ImGui::PopStyleColor();
    ImGui::PopStyleVar();
    if (open) popupRows.begin(ImGui::GetWindowPos(), popupSize.x, ImVec2(4, 4));
    return open;
}

RowLayout& popupLayout() { return popupRows; }

void closeColorCombo() { ImGui::CloseCurrentPopup(); }

void endColorCombo() { ImGui::EndPopup(); }

bool isHovered(const ImRect& r) { return ImGui::IsMouseHoveringRect(r.Min, r.Max, false); }

void tooltip(const char* text, ImVec2 padding) {
    if (!text) return;
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, padding);
    ImGui::BeginTooltip();
    ImGui::TextUnformatted(text);
    ImGui::EndTooltip();
    ImGui::PopStyleVar();
}
