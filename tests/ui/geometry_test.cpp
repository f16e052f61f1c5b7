// Where the screens put things: picture placements, rows, and the screen-size dependent gaps.
#include <gtest/gtest.h>

#include <cstring>

#include "store/keystore.h"
#include "ui/decor.h"
#include "ui/layout.h"
#include "ui/screen_parts.h"
#include "ui/screens.h"
#include "ui/theme.h"
#include "ui/ui.h"

namespace {

ImageRect place(const char* anchor, int x, int y, int width, int height) {
    return placeImage(width, height, x, y, parseAnchor(anchor), 1280, 720);
}

void expectRect(const ImageRect& r, int left, int top, int width, int height) {
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.top, top);
    EXPECT_EQ(r.width, width);
    EXPECT_EQ(r.height, height);
}

}  // namespace

TEST(PicturePlacement, AnchorsMeasureFromTheWindowEdgesAndLiftBy20) {
    expectRect(place("", 0, 0, 100, 100), 0, -20, 100, 100);
    expectRect(place("rb", 10, 10, 200, 100), 1070, 590, 200, 100);
    expectRect(place("c", 0, 0, 201, 100), 539, 290, 201, 100);  // (1280 - 201) / 2 truncated
    expectRect(place("c", -30, 15, 200, 101), 510, 304, 200,
               101);  // offsets move the centred picture
    expectRect(place("lr", 5, 7, 200, 100), 545, -13, 200, 100);  // centred across only
    expectRect(place("tb", 5, 7, 200, 100), 5, 297, 200, 100);    // centred down only
    expectRect(place("r", 10, 10, 200, 100), 1070, -10, 200, 100);
    expectRect(place("b", 10, 10, 200, 100), 10, 590, 200, 100);
}

TEST(PicturePlacement, AnchorLettersIgnoreCaseAndUnknownLetters) {
    EXPECT_EQ(parseAnchor("RB"), parseAnchor("rb"));
    EXPECT_EQ(parseAnchor("C"), kAnchorLeft | kAnchorTop | kAnchorRight | kAnchorBottom);
    EXPECT_EQ(parseAnchor("x"), 0);
    EXPECT_EQ(parseAnchor(nullptr), 0);
    // A lone l or t is the same as no anchor at all.
    expectRect(place("l", 3, 4, 50, 60), 3, -16, 50, 60);
    expectRect(place("t", 3, 4, 50, 60), 3, -16, 50, 60);
}

TEST(PicturePlacement, ReadsOnlyTheMembersThatArePresent) {
    const char* json = R"({"p": [
        {"file": "a.png"},
        {"file": "b.png", "width": "12px", "height": 30, "x": "-5", "y": "abc", "anchor": "rb"},
        "not an object"
    ]})";
    KeyStore* store = parseKeyStore(json, std::strlen(json));
    ASSERT_NE(store, nullptr);
    const KeyNode* list = findNode(store->root, {"p"});
    ASSERT_NE(list, nullptr);

    int w = 100, h = 100, x = 0, y = 0, anchor = 0;
    parseImagePlacement(nodeChild(list, 0), &w, &h, &x, &y, &anchor);
    EXPECT_EQ(w, 100);
    EXPECT_EQ(h, 100);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(anchor, 0);

    parseImagePlacement(nodeChild(list, 1), &w, &h, &x, &y, &anchor);
    EXPECT_EQ(w, 12);  // trailing letters are ignored
    EXPECT_EQ(h, 30);
    EXPECT_EQ(x, -5);
    EXPECT_EQ(y, 0);  // not a number
    EXPECT_EQ(anchor, kAnchorRight | kAnchorBottom);

    w = 7;
    parseImagePlacement(nodeChild(list, 2), &w, &h, &x, &y, &anchor);
    parseImagePlacement(nullptr, &w, &h, &x, &y, &anchor);
    EXPECT_EQ(w, 7);
    freeKeyStore(store);
}

TEST(ScreenGeometry, LanguageListGapCentresTheList) {
    EXPECT_EQ(languageListGap(720, 8), 40);
    EXPECT_EQ(languageListGap(720, 3), 240);
    EXPECT_EQ(languageListGap(721, 3), 240);
    EXPECT_EQ(languageListGap(720, 12), 0);  // more languages than fit: no negative gap
}

TEST(ScreenGeometry, StoryColumnsAreTheMarginAndTheText) {
    std::vector<float> ratios = storyColumnRatios(1280, 600, 40);
    ASSERT_EQ(ratios.size(), 2u);
    EXPECT_FLOAT_EQ(ratios[0], 600.0f / 1280);
    EXPECT_FLOAT_EQ(ratios[1], 630.0f / 1280);
    ratios = storyColumnRatios(1280, 0, 0);
    EXPECT_FLOAT_EQ(ratios[0], 0);
    EXPECT_FLOAT_EQ(ratios[1], 1270.0f / 1280);
}

TEST(RowLayout, RowsStackWithSpacingAndColumnsShareTheUsableWidth) {
    RowLayout rows;
    rows.begin(ImVec2(0, 0), 1280, ImVec2(0, 20));
    // The picture layer: a free space that leaves no trace below.
    rows.spaceBegin(720);
    ImRect picture = rows.spaceRect(1070, 590, 200, 100);
    EXPECT_EQ(picture.Min.x, 1070);
    EXPECT_EQ(picture.Min.y, 610);
    rows.spaceEnd();
    rows.setPadding(ImVec2(20, 20));

    // The main menu: a gap of H - 340, then 330-wide buttons one per row.
    rows.staticRow(720 - 340, 30, 1);
    rows.staticRow(70, 330, 1);
    ImRect first = rows.next();
    ImRect second = rows.next();  // a full row continues below with the same layout
    EXPECT_EQ(first.Min.x, 20);
    EXPECT_EQ(first.Min.y, 20 + 380 + 4);
    EXPECT_EQ(first.GetWidth(), 330);
    EXPECT_EQ(first.GetHeight(), 70);
    EXPECT_EQ(second.Min.y, first.Min.y + 74);
    EXPECT_EQ(second.Min.x, 20);

    // Ratio columns split what is left after padding and spacing; they end at the right padding.
    rows.ratioRow(70, {70.0f / 1280, 70.0f / 1280, (1280 - 560.0f) / 1280, 420.0f / 1280});
    const float usable = 1280 - 40 - 3 * 4;
    ImRect a = rows.next(), b = rows.next(), c = rows.next(), d = rows.next();
    EXPECT_FLOAT_EQ(a.GetWidth(), usable * 70 / 1280);
    EXPECT_FLOAT_EQ(b.Min.x, a.Max.x + 4);
    EXPECT_FLOAT_EQ(c.Min.x, b.Max.x + 4);
    EXPECT_NEAR(d.Max.x, 1260, 0.01);

    // Dynamic columns are equal; skipped columns keep their place.
    rows.dynamicRow(70, 3);
    rows.skip();
    ImRect middle = rows.next();
    EXPECT_FLOAT_EQ(middle.GetWidth(), (1240 - 8) / 3.0f);
    EXPECT_FLOAT_EQ(middle.Min.x, 20 + middle.GetWidth() + 4);
}

TEST(EscapeKey, LeavesEveryScreenForItsParent) {
    Ui ui;
    const Screen expected[8] = {Screen::MainMenu, Screen::Language, Screen::MainMenu,
                                Screen::InGame,   Screen::MainMenu, Screen::MainMenu,
                                Screen::InGame,   Screen::MainMenu};
    for (int screen = 0; screen < 8; ++screen) {
        ui.currentScreen = static_cast<Screen>(screen);
        handleEscapeKey(ui);
        EXPECT_EQ(ui.currentScreen, expected[screen]) << "from screen " << screen;
    }
}
