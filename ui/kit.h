#pragma once
// The widgets the screens are built from, drawn at the rectangles the row layout hands out.
// Colours come from the theme through the GUI style (theme.cpp).

#include <climits>
#include <vector>

#include <imgui.h>
#include <imgui_internal.h>

#include "gfx/image.h"
#include "ui/layout.h"

struct ButtonStyle;
struct Ui;

// Text placement inside a widget's rectangle.
enum class TextAlign {
    Left,      // left, vertically centred
    Centered,  // centred both ways
    Right,     // right, vertically centred
    TopLeft,   // left and top
    Top,       // centred across, at the top
};

// What the widgets keep between calls and frames (a field of the Ui record, ui/ui.h).
struct KitState {
    std::vector<ImGuiWindow*> screenWindows;  // screen windows drawn in this frame, in order
    RowLayout groupRows;
    RowLayout popupRows;
    int* groupScroll = nullptr;
    int lastGroupScroll = INT_MIN;  // the offset last seen in the bound variable
    bool groupScrollRequested = false;
    ImGuiID typingFieldId = 0;  // the field a number is typed into, 0 when none
    char typedNumber[16] = {};
};

// Opens the window of the current screen over the whole framebuffer (W x H) with rows starting
// at padding (0, 20). Its background, and the pictures of drawScreenDecor, are drawn beneath it
// on the GUI's background list, whose pixels are kept while they stay the same. Returns false
// when there is nothing to draw into; endScreen is called either way.
bool beginScreen(Ui& ui, int width, int height);
void endScreen();
// A screen that hands over to another one within the frame is not shown: between these two
// calls, only the window of the screen drawn last stays visible.
void beginScreensFrame(Ui& ui);
void finishScreensFrame(Ui& ui);

// A framed group with its own scroll range. Rows inside it go through the returned layout.
// The vertical scroll offset is read from and written back to *scrollY when it is given.
bool beginGroup(Ui& ui, const char* id, const ImRect& bounds, int* scrollY = nullptr);
RowLayout& groupLayout(Ui& ui);
void endGroup(Ui& ui);

// A layer over bounds for a part of a screen that changes less often than the screen around it:
// it gets a draw list of its own, which is drawn from kept pixels while it stays the same (see
// gfx/gui_draw.h). It draws nothing itself; the widgets inside place themselves as on the screen.
void beginLayer(const char* id, const ImRect& bounds);
void endLayer();

void label(const ImRect& r, const char* text, TextAlign align);
// Text broken at word boundaries to the rectangle's width, from its top-left corner.
void labelWrap(const ImRect& r, const char* text);
void image(const ImRect& r, GuiImage img);
// image drawn on the given list instead of the current window's.
void imageOn(ImDrawList* list, const ImRect& r, GuiImage img);
// The image where an image button of that style would put it, without the button.
void styledImage(const ImRect& r, GuiImage img, const ButtonStyle& style);

bool button(Ui& ui, const ImRect& r, const char* text);
bool styledButton(const ImRect& r, const char* text, const ButtonStyle& style);
bool imageButton(const char* id, const ImRect& r, GuiImage img, const ButtonStyle& style);
// The picture in a square at the left, the text placed by align.
bool imageLabelButton(Ui& ui, const char* id, const ImRect& r, GuiImage img, const char* text,
                      TextAlign align);
// A button filled with one colour, outlined in the text colour so that it shows on any background.
bool colorButton(Ui& ui, const char* id, const ImRect& r, ImU32 color);

// An integer field "name: value" with arrow buttons, editable by dragging (one unit per pixel)
// and by clicking the value and typing a number, which is taken, clamped, on Enter or a click
// elsewhere (Escape drops it). The arrows drawn are the ones given (the in-game screen hides them
// at the ends of the range).
void propertyInt(Ui& ui, const ImRect& r, const char* name, int min, int* value, int max,
                 bool leftArrow, bool rightArrow);
// True while a number is being typed into a field: the keys then belong to the field.
bool isTypingInField(Ui& ui);
void sliderInt(Ui& ui, const ImRect& r, int min, int* value, int max);

// A drop-down whose closed face shows a colour; the open list is popupSize large. Rows inside it
// go through popupLayout(). endColorCombo only after beginColorCombo returned true.
// The face shows the swatch outlined in the text colour and the arrow in a box placed by the
// combo's button padding.
bool beginColorCombo(Ui& ui, const char* id, const ImRect& r, ImU32 color, ImVec2 popupSize);
RowLayout& popupLayout(Ui& ui);
void closeColorCombo();
void endColorCombo();

bool isHovered(const ImRect& r);

// Scrolls the current group, from the next frame on, the least that brings r into view.
void scrollGroupToShow(Ui& ui, const ImRect& r);

// Shows text in the current font on an opaque box of the window colour, with air on every side,
// placed so that its pivot (0..1 of its own size) lands on position.
void tooltip(const char* text, ImVec2 position, ImVec2 pivot);
