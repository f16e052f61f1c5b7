// The screens in a GUI context without a window: where rows start after the picture layer, and
// which screen is seen when one hands over to another within a frame.
#include <gtest/gtest.h>

#include <imgui.h>
#include <imgui_internal.h>

#include <cstring>

#include "app/app.h"
#include "core/game.h"
#include "core/level.h"
#include "gfx/image.h"
#include "store/config.h"
#include "store/keystore.h"
#include "ui/decor.h"
#include "ui/kit.h"
#include "ui/screens.h"
#include "ui/theme.h"
#include "ui/ui.h"

namespace {

class HeadlessGui : public ::testing::Test {
protected:
    void SetUp() override {
        context = ImGui::CreateContext();
        app.gui = context;
        app.ui = &ui;
        ImGuiIO& io = ImGui::GetIO();
        io.IniFilename = nullptr;
        io.DisplaySize = ImVec2(1280, 720);
        io.DeltaTime = 1.0f / 60;
        unsigned char* pixels = nullptr;
        int w = 0, h = 0;
        io.Fonts->GetTexDataAsRGBA32(&pixels, &w, &h);
        ui.windowWidth = 1280;
        ui.windowHeight = 720;
        const char* json =
            R"({"images": {"mainMenu": [{"file": "none.png", "anchor": "rb"}], "empty": []}})";
        config.store = parseKeyStore(json, std::strlen(json));
        ui.assets.config = &config;
        ui.assets.images = &images;
        applyTheme(ui, game, 0);
    }
    void TearDown() override {
        freeKeyStore(config.store);
        app.gui = nullptr;
        ImGui::DestroyContext(context);
    }
    ImGuiContext* context = nullptr;
    App app;
    Ui ui;
    Config config;
    ImageAssets images;
    Game game;
};

// The first row after the picture layer of key.
ImRect firstRowAfter(Ui& ui, const char* key) {
    ImGui::NewFrame();
    beginScreen(ui, 1280, 720);
    drawScreenDecor(ui, key, 1280, 720);
    ui.screenLayout.staticRow(70, 330, 1);
    ImRect r = ui.screenLayout.next();
    endScreen();
    ImGui::EndFrame();
    return r;
}

}  // namespace

TEST_F(HeadlessGui, PictureLayerTakesNoRoomAndWidensThePadding) {
    ImRect r = firstRowAfter(ui, "mainMenu");
    EXPECT_EQ(r.Min.x, 20);
    EXPECT_EQ(r.Min.y, 20);
    // No entry, or an entry that is not a list: nothing drawn and the padding stays.
    r = firstRowAfter(ui, "missing");
    EXPECT_EQ(r.Min.x, 0);
    EXPECT_EQ(r.Min.y, 20);
    r = firstRowAfter(ui, nullptr);
    EXPECT_EQ(r.Min.x, 0);
}

TEST_F(HeadlessGui, OnlyTheScreenDrawnLastIsShown) {
    // The in-game screen is drawn before the main menu: Escape-like switches during the frame
    // hand over at once, and the screen left is not shown.
    game.progress = Progress{};
    game.levelNumber = 1;
    ImGui::NewFrame();
    beginScreensFrame(ui);
    // Each screen draws a mark in its window and a background beneath it.
    const auto drawScreen = [this](Screen screen) {
        ui.currentScreen = screen;
        beginScreen(ui, 1280, 720);
        ImGui::GetWindowDrawList()->AddRectFilled(ImVec2(10, 10), ImVec2(20, 20), 0xFFFFFFFF);
        endScreen();
    };
    drawScreen(Screen::InGame);
    drawScreen(Screen::MainMenu);
    finishScreensFrame(ui);
    ImGui::Render();
    ImGuiWindow* game = ImGui::FindWindowByName("game##0");
    ImGuiWindow* menu = ImGui::FindWindowByName("game##5");
    ASSERT_NE(game, nullptr);
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(game->Hidden);
    EXPECT_FALSE(menu->Hidden);
    int shown = 0;
    for (int i = 0; i < ImGui::GetDrawData()->CmdListsCount; ++i)
        if (ImGui::GetDrawData()->CmdLists[i] == menu->DrawList)
            ++shown;
        else
            EXPECT_NE(ImGui::GetDrawData()->CmdLists[i], game->DrawList);
    EXPECT_EQ(shown, 1);
    // Beneath them, one background: the one of the screen shown.
    const ImDrawList* backdrop = ImGui::GetBackgroundDrawList();
    unsigned int backgroundIndices = 0;
    for (const ImDrawCmd& cmd : backdrop->CmdBuffer) backgroundIndices += cmd.ElemCount;
    EXPECT_EQ(backgroundIndices, 6u);
    EXPECT_EQ(ImGui::GetDrawData()->CmdLists[0], backdrop);

    // The next frame draws only the main menu; nothing is hidden any more.
    ImGui::NewFrame();
    beginScreensFrame(ui);
    beginScreen(ui, 1280, 720);
    endScreen();
    finishScreensFrame(ui);
    ImGui::EndFrame();
    EXPECT_FALSE(menu->Hidden);
}
