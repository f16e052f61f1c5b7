#include "ui/kit.h"

#include <climits>
#include <cstdio>
#include <cstdlib>

#include "core/level.h"
#include "gfx/gui_draw.h"
#include "ui/screens.h"
#include "ui/theme.h"
#include "ui/ui.h"

namespace {

ImDrawList* drawList() {
    return ImGui::GetWindowDrawList();
}

ImU32 color(ImGuiCol slot) {
    return ImGui::GetColorU32(slot);
}

// The clickable face of every button: its background in the state's colour and its border.
// Like the original widgets, a button reacts when the mouse goes down on it.
bool buttonFrame(ImGuiID id, const ImRect& r, const ButtonStyle& s) {
    if (!ImGui::ItemAdd(r, id)) return false;
    bool hovered = false, held = false;
    bool pressed = ImGui::ButtonBehavior(r, id, &hovered, &held, ImGuiButtonFlags_PressedOnClick);
    const ImVec4& face = held && hovered ? s.active : hovered ? s.hover : s.normal;
    if (face.w > 0)
        drawList()->AddRectFilled(r.Min, r.Max, ImGui::ColorConvertFloat4ToU32(face), s.rounding);
    if (s.border > 0 && s.borderColor.w > 0)
        drawList()->AddRect(r.Min, r.Max, ImGui::ColorConvertFloat4ToU32(s.borderColor), s.rounding,
                            0, s.border);
    return pressed;
}

ImVec2 alignment(TextAlign align) {
    switch (align) {
    case TextAlign::Left: return ImVec2(0, 0.5f);
    case TextAlign::Centered: return ImVec2(0.5f, 0.5f);
    case TextAlign::Right: return ImVec2(1, 0.5f);
    case TextAlign::TopLeft: return ImVec2(0, 0);
    case TextAlign::Top: return ImVec2(0.5f, 0);
    }
    return ImVec2(0, 0);
}

ImRect shrink(const ImRect& r, ImVec2 by) {
    return ImRect(r.Min.x + by.x, r.Min.y + by.y, r.Max.x - by.x, r.Max.y - by.y);
}

}  // namespace

void beginScreensFrame(Ui& ui) {
    ui.kit.screenWindows.clear();
}

void finishScreensFrame(Ui& ui) {
    for (size_t i = 0; i + 1 < ui.kit.screenWindows.size(); ++i)
        ui.kit.screenWindows[i]->Hidden = true;
}

bool beginScreen(Ui& ui, int width, int height) {
    // The screen's background, and its pictures (drawScreenDecor), go on the GUI's background
    // list, beneath the screen's window, in the order the window would draw them. They change far
    // less often than the widgets: a list of their own is kept as pixels while it stays the same,
    // and a frame pastes them instead of blending every picture over the whole screen again. A
    // screen begun before in this frame (the screen changed while drawn) leaves nothing there.
    ImDrawList* backdrop = ImGui::GetBackgroundDrawList();
    if (!ui.kit.screenWindows.empty()) {
        // As the GUI starts the list each frame.
        const ImGuiViewport* viewport = ImGui::GetMainViewport();
        backdrop->_ResetForNewFrame();
        backdrop->PushTextureID(ImGui::GetIO().Fonts->TexID);
        backdrop->PushClipRect(viewport->Pos, ImVec2(viewport->Pos.x + viewport->Size.x,
                                                     viewport->Pos.y + viewport->Size.y));
    }
    backdrop->AddRectFilled(
        ImVec2(0, 0), ImVec2(static_cast<float>(width), static_cast<float>(height)),
        ImGui::GetColorU32(ImGuiCol_WindowBg), ImGui::GetStyle().WindowRounding);
    keepListPixels(backdrop);
    ImGui::SetNextWindowPos(ImVec2(0, 0));
    ImGui::SetNextWindowSize(ImVec2(static_cast<float>(width), static_cast<float>(height)));
    // Rows are placed by the layout, so ImGui's own padding must not shrink the clip rectangle.
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0, 0));
    ImGui::PushStyleVar(ImGuiStyleVar_WindowBorderSize, 0);
    const ImGuiWindowFlags flags =
        ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings |
        ImGuiWindowFlags_NoScrollWithMouse | ImGuiWindowFlags_NoBringToFrontOnFocus |
        ImGuiWindowFlags_NoBackground;
    char name[16];
    std::snprintf(name, sizeof name, "game##%d", static_cast<int>(ui.currentScreen));
    bool open = ImGui::Begin(name, nullptr, flags);
    ImGui::PopStyleVar(2);
    ui.kit.screenWindows.push_back(ImGui::GetCurrentWindow());
    ui.screenLayout.begin(ImGui::GetWindowPos(), static_cast<float>(width), ImVec2(0, 20));
    return open;
}

void endScreen() {
    ImGui::End();
}

bool beginGroup(Ui& ui, const char* id, const ImRect& bounds, int* scrollY) {
    ImGui::SetCursorScreenPos(bounds.Min);
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0, 0));
    bool open =
        ImGui::BeginChild(id, bounds.GetSize(), true, ImGuiWindowFlags_AlwaysVerticalScrollbar);
    ImGui::PopStyleVar();
    keepListPixels(ImGui::GetWindowDrawList());
    ui.kit.groupScroll = scrollY;
    ui.kit.groupScrollRequested = false;
    if (scrollY && *scrollY != ui.kit.lastGroupScroll) {
        // The program moved the offset (the found list does after every new word): scroll there
        // once the content of this frame is known.
        ImGui::SetScrollY(static_cast<float>(*scrollY));
        ui.kit.groupScrollRequested = true;
    }
    ui.kit.groupRows.begin(ImGui::GetCursorScreenPos(), ImGui::GetContentRegionAvail().x,
                           ui.widgetMetrics.groupPadding);
    return open;
}

RowLayout& groupLayout(Ui& ui) {
    return ui.kit.groupRows;
}

void endGroup(Ui& ui) {
    // Tell ImGui how far the rows reach so that the scroll range covers them.
    ImGui::SetCursorScreenPos(ImVec2(ImGui::GetCursorScreenPos().x,
                                     ui.kit.groupRows.bottom() + ui.kit.groupRows.padding().y));
    ImGui::Dummy(ImVec2(0, 0));
    if (ui.kit.groupScroll) {
        if (!ui.kit.groupScrollRequested)
            *ui.kit.groupScroll = static_cast<int>(ImGui::GetScrollY());
        ui.kit.lastGroupScroll = *ui.kit.groupScroll;
    }
    ui.kit.groupScroll = nullptr;
    ImGui::EndChild();
}

void beginLayer(const char* id, const ImRect& bounds) {
    // Widgets reach a pixel past their rectangles (anti-aliased edges): the margin keeps the
    // layer's clip rectangle clear of them.
    const float margin = 2;
    ImGui::SetCursorScreenPos(ImVec2(bounds.Min.x - margin, bounds.Min.y - margin));
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0, 0));
    ImGui::BeginChild(id, ImVec2(bounds.GetWidth() + 2 * margin, bounds.GetHeight() + 2 * margin),
                      false,
                      ImGuiWindowFlags_NoBackground | ImGuiWindowFlags_NoScrollbar |
                          ImGuiWindowFlags_NoScrollWithMouse);
    ImGui::PopStyleVar();
    keepListPixels(ImGui::GetWindowDrawList());
}

void endLayer() {
    ImGui::EndChild();
}

void label(const ImRect& r, const char* text, TextAlign align) {
    if (!text) return;
    ImGui::RenderTextClipped(r.Min, r.Max, text, nullptr, nullptr, alignment(align), &r);
}

void labelWrap(const ImRect& r, const char* text) {
    if (!text) return;
    ImGui::PushClipRect(r.Min, r.Max, true);
    ImGui::RenderTextWrapped(r.Min, text, nullptr, r.GetWidth());
    ImGui::PopClipRect();
}

void image(const ImRect& r, GuiImage img) {
    imageOn(drawList(), r, img);
}

void imageOn(ImDrawList* list, const ImRect& r, GuiImage img) {
    if (!img.handle) return;
    list->AddImage(static_cast<ImTextureID>(img.handle), r.Min, r.Max);
}

void styledImage(const ImRect& r, GuiImage img, const ButtonStyle& style) {
    image(shrink(r, style.padding), img);
}

bool button(Ui& ui, const ImRect& r, const char* text) {
    ButtonStyle s = defaultButtonStyle(ui);
    return styledButton(r, text, s);
}

bool styledButton(const ImRect& r, const char* text, const ButtonStyle& style) {
    // Most words of a long found list lie outside its visible part: nothing to draw or click.
    if (!ImGui::IsRectVisible(r.Min, r.Max)) return false;
    bool pressed = buttonFrame(ImGui::GetID(text ? text : ""), r, style);
    label(shrink(r, style.padding), text, TextAlign::Centered);
    return pressed;
}

bool imageButton(const char* id, const ImRect& r, GuiImage img, const ButtonStyle& style) {
    bool pressed = buttonFrame(ImGui::GetID(id), r, style);
    styledImage(r, img, style);
    return pressed;
}

bool imageLabelButton(Ui& ui, const char* id, const ImRect& r, GuiImage img, const char* text,
                      TextAlign align) {
    ButtonStyle s = defaultButtonStyle(ui);
    bool pressed = buttonFrame(ImGui::GetID(id), r, s);
    ImRect content = shrink(r, s.padding);
    float side = r.GetHeight() - 2 * s.padding.y;
    ImRect icon(r.Min.x + 2 * s.padding.x, r.Min.y + s.padding.y, r.Min.x + 2 * s.padding.x + side,
                r.Min.y + s.padding.y + side);
    image(shrink(icon, ui.widgetMetrics.buttonImagePadding), img);
    label(content, text, align);
    return pressed;
}

bool colorButton(Ui& ui, const char* id, const ImRect& r, ImU32 fill) {
    ButtonStyle s = defaultButtonStyle(ui);
    s.normal = s.hover = s.active = ImGui::ColorConvertU32ToFloat4(fill);
    s.borderColor = ImGui::GetStyle().Colors[ImGuiCol_Text];
    s.border = 2;
    return buttonFrame(ImGui::GetID(id), r, s);
}

void propertyInt(Ui& ui, const ImRect& r, const char* name, int min, int* value, int max,
                 bool leftArrow, bool rightArrow) {
    // The typing box shares the field's id; "##" keeps the box from drawing the name again.
    char idText[64];
    std::snprintf(idText, sizeof idText, "##%s", name ? name : "property");
    ImGuiID id = ImGui::GetID(idText);
    if (!ImGui::ItemAdd(r, id)) return;

    const ImVec2 pad = ui.widgetMetrics.propertyPadding;
    const float arrow = ImGui::GetFontSize();
    const float midY = (r.Min.y + r.Max.y) * 0.5f;
    ImRect left(r.Min.x + pad.x, midY - arrow / 2, r.Min.x + pad.x + arrow, midY + arrow / 2);
    ImRect right(r.Max.x - pad.x - arrow, midY - arrow / 2, r.Max.x - pad.x, midY + arrow / 2);
    ImRect inner(left.Max.x + pad.x, r.Min.y, right.Min.x - pad.x, r.Max.y);
    // The value's box, where a click starts typing: room for four digits, one line high.
    const ImGuiStyle& style = ImGui::GetStyle();
    const ImVec2 boxSize(ImGui::CalcTextSize("0000").x + 2 * style.FramePadding.x,
                         arrow + 2 * style.FramePadding.y);
    ImRect valueBox(inner.Max.x - boxSize.x, midY - boxSize.y / 2, inner.Max.x,
                    midY + boxSize.y / 2);

    bool startTyping = false;
    if (ui.kit.typingFieldId != id) {
        bool hovered = false, held = false;
        bool pressed =
            ImGui::ButtonBehavior(r, id, &hovered, &held, ImGuiButtonFlags_PressedOnClick);
        ImGuiIO& io = ImGui::GetIO();
        if (pressed && leftArrow && left.Contains(io.MousePos))
            *value -= 1;
        else if (pressed && rightArrow && right.Contains(io.MousePos))
            *value += 1;
        else if (pressed && valueBox.Contains(io.MousePos))
            startTyping = true;
        else if (held && !pressed)
            *value += static_cast<int>(io.MouseDelta.x);  // one unit per pixel dragged
    }
    if (*value > max) *value = max;
    if (*value < min) *value = min;

    drawList()->AddRectFilled(r.Min, r.Max, color(ImGuiCol_FrameBg), r.GetHeight() / 2);
    drawList()->AddRect(r.Min, r.Max, color(ImGuiCol_Border), r.GetHeight() / 2, 0,
                        ui.widgetMetrics.buttonBorder);
    ImU32 text = color(ImGuiCol_Text);
    if (leftArrow) ImGui::RenderArrow(drawList(), left.Min, text, ImGuiDir_Left);
    if (rightArrow) ImGui::RenderArrow(drawList(), right.Min, text, ImGuiDir_Right);
    label(inner, name, TextAlign::Left);
    if (startTyping) {
        ui.kit.typingFieldId = id;
        std::snprintf(ui.kit.typedNumber, sizeof ui.kit.typedNumber, "%d", *value);
    }
    if (ui.kit.typingFieldId != id) {
        char number[16];
        std::snprintf(number, sizeof number, "%d", *value);
        label(inner, number, TextAlign::Right);
        return;
    }
    ImGui::TempInputText(valueBox, id, idText, ui.kit.typedNumber, sizeof ui.kit.typedNumber,
                         ImGuiInputTextFlags_CharsDecimal | ImGuiInputTextFlags_AutoSelectAll);
    if (ImGui::GetActiveID() == id) return;
    // Enter, a click elsewhere, or Escape (which has put the old number back) ends the typing.
    ui.kit.typingFieldId = 0;
    char* end = nullptr;
    long typed = std::strtol(ui.kit.typedNumber, &end, 10);
    if (end == ui.kit.typedNumber) return;
    *value = typed > max ? max : typed < min ? min : static_cast<int>(typed);
}

bool isTypingInField(Ui& ui) {
    return ui.kit.typingFieldId != 0 && ImGui::GetCurrentContext() &&
           ImGui::GetActiveID() == ui.kit.typingFieldId;
}

void sliderInt(Ui& ui, const ImRect& r, int min, int* value, int max) {
    ImGuiID id = ImGui::GetID("slider");
    if (!ImGui::ItemAdd(r, id) || max <= min) return;
    bool hovered = false, held = false;
    ImGui::ButtonBehavior(r, id, &hovered, &held, ImGuiButtonFlags_PressedOnClick);

    const float cursor = ui.widgetMetrics.sliderCursorSize.x;
    const float from = r.Min.x + cursor / 2, to = r.Max.x - cursor / 2;
    if (held && to > from) {
        float t = (ImGui::GetIO().MousePos.x - from) / (to - from);
        t = t < 0 ? 0 : t > 1 ? 1 : t;
        *value = min + static_cast<int>(t * (max - min) + 0.5f);
    }
    if (*value > max) *value = max;
    if (*value < min) *value = min;

    const float midY = (r.Min.y + r.Max.y) * 0.5f;
    const float barHalf = r.GetHeight() / 12;
    const float at = from + (to - from) * (*value - min) / (max - min);
    const int theme = ui.theme;
    drawList()->AddRectFilled(ImVec2(from, midY - barHalf), ImVec2(to, midY + barHalf),
                              themeColor(theme, ThemeSlot::Slider), barHalf);
    drawList()->AddRectFilled(ImVec2(from, midY - barHalf), ImVec2(at, midY + barHalf),
                              themeColor(theme, ThemeSlot::SliderCursor), barHalf);
    ThemeSlot grab = held      ? ThemeSlot::SliderCursorActive
                     : hovered ? ThemeSlot::SliderCursorHover
                               : ThemeSlot::SliderCursor;
    drawList()->AddCircleFilled(ImVec2(at, midY), cursor / 2, themeColor(theme, grab));
}

bool beginColorCombo(Ui& ui, const char* id, const ImRect& r, ImU32 swatch, ImVec2 popupSize) {
    ImGuiID itemId = ImGui::GetID(id);
    ButtonStyle s = defaultButtonStyle(ui);
    s.normal = s.hover = s.active =
        ImGui::ColorConvertU32ToFloat4(themeColor(ui.theme, ThemeSlot::Combo));
    if (buttonFrame(itemId, r, s)) ImGui::OpenPopup(id);

    // The arrow's box is square, as high as the row less the vertical button padding on both
    // sides, and sits a row height in from the right edge, moved by the horizontal padding.
    const ImVec2 pad = ui.widgetMetrics.comboContentPadding;
    const ImVec2 buttonPad = ui.widgetMetrics.comboButtonPadding;
    const float boxSide = r.GetHeight() - 2 * buttonPad.y;
    const ImRect arrowBox(r.Max.x - r.GetHeight() - buttonPad.x, r.Min.y + buttonPad.y,
                          r.Max.x - r.GetHeight() - buttonPad.x + boxSide,
                          r.Min.y + buttonPad.y + boxSide);
    ImRect face(r.Min.x + pad.x, r.Min.y + pad.y, arrowBox.Min.x - pad.x - RowLayout::kSpacing,
                r.Max.y - pad.y);
    drawList()->AddRectFilled(face.Min, face.Max, swatch);
    drawList()->AddRect(face.Min, face.Max, color(ImGuiCol_Text), 0, 0, 2);
    const float size = ImGui::GetFontSize();
    ImGui::RenderArrow(drawList(),
                       ImVec2(arrowBox.GetCenter().x - size / 2, arrowBox.GetCenter().y - size / 2),
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
    if (open) ui.kit.popupRows.begin(ImGui::GetWindowPos(), popupSize.x, ImVec2(4, 4));
    return open;
}

RowLayout& popupLayout(Ui& ui) {
    return ui.kit.popupRows;
}

void closeColorCombo() {
    ImGui::CloseCurrentPopup();
}

void endColorCombo() {
    ImGui::EndPopup();
}

bool isHovered(const ImRect& r) {
    return ImGui::IsMouseHoveringRect(r.Min, r.Max, false);
}

void scrollGroupToShow(Ui& ui, const ImRect& r) {
    ImGuiWindow* group = ImGui::GetCurrentWindow();
    const ImRect& seen = group->InnerRect;
    float scroll = group->Scroll.y;
    if (r.Min.y < seen.Min.y)
        scroll -= seen.Min.y - r.Min.y + ui.widgetMetrics.groupPadding.y;
    else if (r.Max.y > seen.Max.y)
        scroll += r.Max.y - seen.Max.y + ui.widgetMetrics.groupPadding.y;
    else
        return;
    ImGui::SetScrollY(scroll);
}

void tooltip(const char* text, ImVec2 position, ImVec2 pivot) {
    if (!text) return;
    const ImVec2 padding(10, 6);
    ImVec4 background = ImGui::GetStyle().Colors[ImGuiCol_WindowBg];
    background.w = 1;
    ImGui::PushStyleColor(ImGuiCol_PopupBg, background);
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, padding);
    // Kept inside the display, so that a hint beside its edge is not cut off.
    const ImVec2 size(ImGui::CalcTextSize(text).x + 2 * padding.x,
                      ImGui::CalcTextSize(text).y + 2 * padding.y);
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    const ImVec2 topLeft(
        ImClamp(position.x - size.x * pivot.x, 0.0f, ImMax(0.0f, display.x - size.x)),
        ImClamp(position.y - size.y * pivot.y, 0.0f, ImMax(0.0f, display.y - size.y)));
    ImGui::SetNextWindowPos(topLeft);
    ImGui::BeginTooltip();
    ImGui::TextUnformatted(text);
    ImGui::EndTooltip();
    ImGui::PopStyleVar();
    ImGui::PopStyleColor();
}
