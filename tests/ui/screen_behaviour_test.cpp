// The screens driven headless through the real dispatcher, with the mouse and keys a player uses:
// the found list, the hover hints, the level selector, the story, the order of the screens within
// a frame and the music volume. Positions come from the screens' own row statements at 1280 x 720.
#include <gtest/gtest.h>

#include <imgui.h>
#include <imgui_internal.h>

#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "audio/sounds.h"
#include "core/game.h"
#include "core/level.h"
#include "core/tray.h"
#include "core/words.h"
#include "store/config.h"
#include "store/keystore.h"
#include "store/language.h"
#include "tests/core/core_fixture.h"
#include "ui/format.h"
#include "ui/kit.h"
#include "ui/play.h"
#include "ui/screens.h"
#include "ui/theme.h"
#include "ui/ui.h"

namespace {

const float W = 1280, H = 720;
const int enterKey = 257, escapeKey = 256;  // any two key indices will do

// Every screen has a picture layer (so rows start 20 pixels in, as in the game), the icons and
// a story of three pages.
const char* const SCREEN_CONFIG = R"({
  "nextLevelPerc": 60, "nextHintWords": 5, "hintCheatCount": 3, "blackWords": 1000, "blackFinish": 2000,
  "lang": [{"long": "english", "data": "en.dat", "save": "progress_en.dat"}],
  "icons": {"home": "home.png", "stat": "stat.png", "helpEnabled": "help.png", "helpDisabled": "nohelp.png",
            "removeChar": "char.png", "removeWord": "word.png", "statBack": "back.png"},
  "images": {"inGame": [{"file": "a.png"}], "mainMenu": [{"file": "a.png"}], "langSelect": [{"file": "a.png"}],
             "stat": [{"file": "a.png"}], "help": [{"file": "a.png"}], "about": [{"file": "a.png"}],
             "page": [{"file": "a.png"}]},
  "story": {"three": [{"image": "page", "text": "p1"}, {"image": "page", "text": "p2"}, {"image": "page", "text": "p3"}],
            "study": [{"image": "page", "text": "p1"}, {"image": "page", "text": "p2"}]}
})";

// Twelve levels; level k is the row of k + 2 letters b with the words b and bb, except level 0,
// whose row "abcd" has 60 made-up words (the list then needs scrolling).
std::string language(const char* levelsCount) {
    std::string json = R"({"localization": {"levelProperty": "Level", "mainMenuHint": "Main menu",
        "statNameHint": "Statistics", "helpEnabledHint": "Hint", "helpDisabledHint": "No hint",
        "removeCharHint": "Erase a letter", "removeWordHint": "Erase the word",
        "Continue": "Continue", "NewGame": "New game", "storyNext": "Next", "backButton": "Back"},
      "game": {"abcd": [)";
    for (int i = 0; i < 60; ++i) json += (i ? ", \"w" : "\"w") + std::to_string(i) + "\"";
    json += "]";
    for (int k = 1; k < 12; ++k)
        json += ", \"" + std::string(static_cast<size_t>(k) + 2, 'b') + "\": [\"b\", \"bb\"]";
    return json + "}, \"stat\": {\"levelsCount\": \"" + levelsCount +
           "\", \"usedWords\": \"100\"}}";
}

class ScreenTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        useConfig(SCREEN_CONFIG);
        context = ImGui::CreateContext();
        testApp.gui = context;
        ImGuiIO& io = ImGui::GetIO();
        io.IniFilename = nullptr;
        io.DisplaySize = ImVec2(W, H);
        io.DeltaTime = 1.0f / 60;
        io.KeyMap[ImGuiKey_Enter] = enterKey;
        io.KeyMap[ImGuiKey_Escape] = escapeKey;
        unsigned char* pixels = nullptr;
        int w = 0, h = 0;
        io.Fonts->GetTexDataAsRGBA32(&pixels, &w, &h);
        ui.windowWidth = static_cast<int>(W);
        ui.windowHeight = static_cast<int>(H);
        applyTheme(ui, game, 0);
        setMusicVolume(&music, 100);
        io.MousePos = ImVec2(-100, -100);
    }
    void TearDown() override {
        testApp.gui = nullptr;
        ImGui::DestroyContext(context);
        CoreTest::TearDown();
    }

    // Installs the twelve-level language on level index, with levels up to open reachable.
    void playLevel(int index, int open, const char* levelsCount = "12") {
        languageJson = language(levelsCount);
        useLanguage(languageJson.c_str(), index);
        game.progress.levelsOpen = static_cast<uint32_t>(open);
        game.progress.storyStage = StoryStage::Step1;
        ui.currentScreen = Screen::InGame;
    }

    void frame() {
        ImGui::NewFrame();
        drawScreens(ui, game);
        ImGui::Render();
    }
    void moveTo(ImVec2 at) {
        ImGui::GetIO().MousePos = at;
        frame();
    }
    // The mouse goes down at a point (a button reacts in this frame) and stays down.
    void press(ImVec2 at) {
        moveTo(at);
        ImGui::GetIO().MouseDown[0] = true;
        frame();
    }
    void release() {
        ImGui::GetIO().MouseDown[0] = false;
        frame();
    }
    void click(ImVec2 at) {
        press(at);
        release();
    }
    void key(int index) {
        ImGui::GetIO().KeysDown[index] = true;
        frame();
        ImGui::GetIO().KeysDown[index] = false;
        frame();
    }
    void typeText(const char* text) {
        for (const char* c = text; *c; ++c) {
            ImGui::GetIO().AddInputCharacter(static_cast<unsigned>(*c));
            frame();
        }
    }

    ImGuiContext* context = nullptr;
    std::string languageJson;
};

// The cells of the in-game screen's two bars.
struct Bars {
    ImRect home, stat, selector, hint, timer, removeChar, removeWord;
};
Bars inGameBars() {
    Bars b;
    RowLayout rows;
    rows.begin(ImVec2(0, 0), W, ImVec2(20, 20));
    rows.ratioRow(70, {70 / W, 70 / W, (W - 560) / W, 420 / W});
    b.home = rows.next();
    b.stat = rows.next();
    rows.next();
    b.selector = rows.next();
    rows.staticRow(H - 260, W - 40, 2);
    rows.next();
    rows.dynamicRow(70, 4);
    rows.next();
    rows.ratioRow(70, {70 / W, 420 / W, (W - 630) / W, 70 / W, 70 / W});
    b.hint = rows.next();
    b.timer = rows.next();
    rows.next();
    b.removeChar = rows.next();
    b.removeWord = rows.next();
    return b;
}

// The bottom button of a menu screen and the story, in the middle third of the last row.
const ImVec2 lowButton(640, 669);

ImGuiWindow* foundPanel() {
    for (ImGuiWindow* w : GImGui->Windows)
        if ((w->Flags & ImGuiWindowFlags_ChildWindow) && std::strstr(w->Name, "/found_")) return w;
    return nullptr;
}

ImGuiWindow* shownTooltip() {
    for (ImGuiWindow* w : GImGui->Windows)
        if ((w->Flags & ImGuiWindowFlags_Tooltip) && w->Active && !w->Hidden) return w;
    return nullptr;
}

bool drawnThisFrame(const char* name) {
    ImGuiWindow* w = ImGui::FindWindowByName(name);
    return w && w->LastFrameActive == ImGui::GetFrameCount();
}

bool shownThisFrame(const char* name) {
    return drawnThisFrame(name) && !ImGui::FindWindowByName(name)->Hidden;
}

// Vertices of a window's drawing inside r: shows whether something (an arrow) is drawn there.
int verticesIn(const char* window, const ImRect& r) {
    int count = 0;
    for (const ImDrawVert& v : ImGui::FindWindowByName(window)->DrawList->VtxBuffer)
        if (r.Contains(v.pos)) ++count;
    return count;
}

std::vector<std::string> madeUpWords;

// Finds the first n words of level 0 (w0, w1, ...), the last one as a player would.
void findWords(Game& game, int n) {
    madeUpWords.clear();
    for (int i = 0; i < n; ++i) madeUpWords.push_back("w" + std::to_string(i));
    for (int i = 0; i < n; ++i) {
        const char* word = game.levelWords.keys[hashGet(game.levelWords, madeUpWords[i].c_str())];
        if (i + 1 < n)
            appendRestoredWord(game, word);
        else
            appendFoundWord(game, word);
    }
}

// The GUI's font size, known before the first frame too.
float fontSize() {
    return ImGui::GetIO().Fonts->Fonts[0]->FontSize;
}

int countColour(ImGuiWindow* w, ImU32 colour) {
    int count = 0;
    for (const ImDrawVert& v : w->DrawList->VtxBuffer)
        if (v.col == colour) ++count;
    return count;
}

}  // namespace

TEST_F(ScreenTest, RepeatedWordIsHighlightedForThreeSecondsThenLeavesTheRepeatMap) {
    playLevel(0, 1);
    findWords(game, 3);
    const char* word = game.foundList.words[1];
    const ImU32 highlight = ImGui::ColorConvertFloat4ToU32(ui.highlightButtonStyle.normal);
    HashOutcome outcome = HashOutcome::Present;
    uint32_t slot = hashPut(game.repeatTimes, word, &outcome);
    game.repeatTimes.values[slot] = static_cast<int32_t>(std::time(nullptr));
    frame();
    EXPECT_NE(hashGet(game.repeatTimes, word), game.repeatTimes.capacity);
    EXPECT_GT(countColour(foundPanel(), highlight), 0);

    game.repeatTimes.values[hashGet(game.repeatTimes, word)] =
        static_cast<int32_t>(std::time(nullptr)) - 3;
    frame();
    EXPECT_EQ(hashGet(game.repeatTimes, word), game.repeatTimes.capacity);
    EXPECT_EQ(countColour(foundPanel(), highlight), 0);
}

TEST_F(ScreenTest, FoundListFollowsTheNewestWordAndBringsARepeatIntoViewOnce) {
    playLevel(0, 1);
    findWords(game, 60);
    frame();
    frame();
    ImGuiWindow* panel = foundPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_GT(panel->ScrollMax.y, 0);
    EXPECT_EQ(panel->Scroll.y, panel->ScrollMax.y);

    // The first word, typed again, is out of sight: the list goes up to it.
    HashOutcome outcome = HashOutcome::Present;
    uint32_t slot = hashPut(game.repeatTimes, game.foundList.words[0], &outcome);
    game.repeatTimes.values[slot] = static_cast<int32_t>(std::time(nullptr));
    frame();
    frame();
    EXPECT_EQ(panel->Scroll.y, 0);

    // The player scrolls down again while the word is still highlighted: the list stays there.
    ImGuiIO& io = ImGui::GetIO();
    io.MousePos = panel->Rect().GetCenter();
    frame();
    io.MouseWheel = -5;
    frame();
    io.MouseWheel = 0;
    frame();
    frame();
    ASSERT_NE(hashGet(game.repeatTimes, game.foundList.words[0]), game.repeatTimes.capacity);
    EXPECT_GT(panel->Scroll.y, 0);
    EXPECT_EQ(game.foundListScroll, (int)panel->Scroll.y);
}

TEST_F(ScreenTest, HoverHintsShowOnTheFirstTenLevelsClearOfEveryControl) {
    const Bars bars = inGameBars();
    const ImRect controls[] = {bars.home, bars.stat,       bars.selector,
                               bars.hint, bars.removeChar, bars.removeWord};
    const ImRect icons[] = {bars.home, bars.stat, bars.hint, bars.removeChar, bars.removeWord};
    playLevel(9, 12);
    for (const ImRect& icon : icons) {
        moveTo(icon.GetCenter());
        frame();
        ASSERT_NE(ui.hintText, nullptr);
        ImGuiWindow* tip = shownTooltip();
        ASSERT_NE(tip, nullptr);
        for (const ImRect& control : controls)
            EXPECT_FALSE(tip->Rect().Overlaps(control)) << ui.hintText;
        EXPECT_TRUE(ImRect(0, 0, W, H).Contains(tip->Rect())) << ui.hintText;
        // The words of the hint have air above and below them.
        EXPECT_GE(tip->WindowPadding.y, 4);
    }
    // The hint icon's hint leaves the level timer readable.
    moveTo(bars.hint.GetCenter());
    frame();
    const char* timer =
        formatDuration(static_cast<int32_t>(std::time(nullptr) - game.levelStartTime));
    EXPECT_GT(shownTooltip()->Rect().Min.x, bars.timer.Min.x + ImGui::CalcTextSize(timer).x);

    playLevel(10, 12);
    moveTo(bars.home.GetCenter());
    frame();
    EXPECT_NE(ui.hintText, nullptr);
    EXPECT_EQ(shownTooltip(), nullptr);
}

TEST_F(ScreenTest, LevelSelectorHidesItsArrowsAtTheEnds) {
    const Bars bars = inGameBars();
    const float arrow = fontSize();
    const ImRect selector = bars.selector;
    const float top = selector.GetCenter().y - arrow / 2 - 1,
                bottom = selector.GetCenter().y + arrow / 2 + 1;
    const ImRect left(selector.Min.x + 8, top, selector.Min.x + 12 + arrow, bottom);
    const ImRect right(selector.Max.x - 12 - arrow, top, selector.Max.x - 8, bottom);
    const char* screen = "game##0";
    playLevel(0, 3);
    frame();
    frame();
    EXPECT_EQ(verticesIn(screen, left), 0);
    EXPECT_GT(verticesIn(screen, right), 0);

    click(right.GetCenter());  // to level 2: both arrows
    frame();
    EXPECT_EQ(game.progress.levelIndex, 1u);
    EXPECT_GT(verticesIn(screen, left), 0);
    EXPECT_GT(verticesIn(screen, right), 0);

    click(right.GetCenter());  // to level 3, the highest open
    frame();
    EXPECT_EQ(game.progress.levelIndex, 2u);
    EXPECT_GT(verticesIn(screen, left), 0);
    EXPECT_EQ(verticesIn(screen, right), 0);
    click(right.GetCenter());
    EXPECT_EQ(game.progress.levelIndex, 2u);
}

TEST_F(ScreenTest, LevelSelectorWithNoLevelOpenStaysOnTheFirst) {
    const ImRect selector = inGameBars().selector;
    playLevel(0, 0, "0");
    frame();
    EXPECT_EQ(game.progress.levelsOpen, 0u);
    EXPECT_EQ(game.levelNumber, 1);
    press(ImVec2(selector.Min.x + 60, selector.GetCenter().y));
    moveTo(ImVec2(selector.Min.x + 90, selector.GetCenter().y));
    release();
    click(ImVec2(selector.Max.x - 15, selector.GetCenter().y));
    EXPECT_EQ(game.levelNumber, 1);
    EXPECT_EQ(game.progress.levelIndex, 0u);
    EXPECT_EQ(ui.currentScreen, Screen::InGame);
}

TEST_F(ScreenTest, LevelSelectorDragsOneLevelPerPixelUpToTheHighestOpen) {
    const ImRect selector = inGameBars().selector;
    const float y = selector.GetCenter().y;
    playLevel(2, 6);
    frame();
    press(ImVec2(selector.Min.x + 60, y));
    moveTo(ImVec2(selector.Min.x + 62, y));
    EXPECT_EQ(game.progress.levelIndex, 4u);
    moveTo(ImVec2(selector.Min.x + 61, y));
    EXPECT_EQ(game.progress.levelIndex, 3u);
    moveTo(ImVec2(selector.Min.x + 200, y));
    release();
    EXPECT_EQ(game.progress.levelIndex, 5u);
    EXPECT_EQ(game.levelNumber, 6);
}

TEST_F(ScreenTest, LevelNumberIsTypedIntoTheSelectorAndNeverIntoTheWord) {
    const ImRect selector = inGameBars().selector;
    const ImVec2 value(selector.Max.x - 12 - fontSize() - 10 - 8, selector.GetCenter().y);
    playLevel(0, 6);
    frame();
    EXPECT_TRUE(keysTypeWords(ui));
    click(value);
    ASSERT_TRUE(isTypingInField(ui));
    EXPECT_FALSE(keysTypeWords(ui));
    typeText("4");
    EXPECT_EQ(game.progress.levelIndex, 0u);  // taken only when the typing ends
    key(enterKey);
    EXPECT_FALSE(isTypingInField(ui));
    EXPECT_TRUE(keysTypeWords(ui));
    EXPECT_EQ(game.progress.levelIndex, 3u);
    EXPECT_STREQ(typedWord(&game.letterTray), "");

    // Out of range: clamped to the open levels.
    click(value);
    typeText("99");
    key(enterKey);
    EXPECT_EQ(game.progress.levelIndex, 5u);
    click(value);
    typeText("0");
    click(ImVec2(640, 300));  // a click elsewhere ends the typing too
    EXPECT_EQ(game.progress.levelIndex, 0u);

    // Escape drops what was typed and stays on the screen.
    click(value);
    typeText("3");
    handleEscapeKey(ui);
    key(escapeKey);
    EXPECT_FALSE(isTypingInField(ui));
    EXPECT_EQ(game.progress.levelIndex, 0u);
    EXPECT_EQ(ui.currentScreen, Screen::InGame);
}

TEST_F(ScreenTest, StoryEndsInTheGameAfterItsLastPage) {
    playLevel(0, 1);
    startChapter(ui, game, "three", StoryStage::Study);
    frame();
    click(lowButton);
    EXPECT_EQ(ui.storyPage, 1);
    click(lowButton);
    EXPECT_EQ(ui.storyPage, 2);
    EXPECT_EQ(ui.currentScreen, Screen::Story);
    click(lowButton);
    EXPECT_EQ(ui.currentScreen, Screen::InGame);

    // A chapter the configuration does not have goes to the game at the first press.
    startChapter(ui, game, "nowhere", StoryStage::Study);
    frame();
    click(lowButton);
    EXPECT_EQ(ui.currentScreen, Screen::InGame);
}

TEST_F(ScreenTest, EscapeInTheStoryLeadsToTheMainMenuThatContinues) {
    playLevel(0, 1);
    game.progress.storyStage = StoryStage::None;
    ui.currentScreen = Screen::MainMenu;
    frame();
    click(ImVec2(165, 439));  // "NewGame"
    EXPECT_EQ(ui.currentScreen, Screen::Story);
    EXPECT_STREQ(ui.storyChapter, "study");
    handleEscapeKey(ui);
    frame();
    EXPECT_EQ(ui.currentScreen, Screen::MainMenu);
    click(ImVec2(165, 439));  // now "Continue"
    EXPECT_EQ(ui.currentScreen, Screen::InGame);
}

TEST_F(ScreenTest, ScreensLaterInTheOrderTakeOverWithinTheFrame) {
    const Bars bars = inGameBars();
    playLevel(0, 1);
    frame();
    // The game hands over to the main menu (later in the order) in the frame of the click.
    press(bars.home.GetCenter());
    EXPECT_EQ(ui.currentScreen, Screen::MainMenu);
    EXPECT_TRUE(shownThisFrame("game##5"));
    EXPECT_TRUE(drawnThisFrame("game##0"));
    EXPECT_FALSE(shownThisFrame("game##0"));
    release();

    // The word description hands over to the game (later) at once.
    showHint(ui, game);
    frame();
    press(lowButton);
    EXPECT_EQ(ui.currentScreen, Screen::InGame);
    EXPECT_TRUE(shownThisFrame("game##0"));
    EXPECT_FALSE(shownThisFrame("game##6"));
    release();

    // The options hand over to the language screen (earlier) only in the next frame.
    ui.currentScreen = Screen::Options;
    frame();
    press(ImVec2(734, 407));
    EXPECT_EQ(ui.currentScreen, Screen::Language);
    EXPECT_FALSE(drawnThisFrame("game##1"));
    EXPECT_TRUE(shownThisFrame("game##2"));
    release();
    EXPECT_TRUE(shownThisFrame("game##1"));
}

TEST_F(ScreenTest, MusicFollowsTheVolumeSliderInTheSameFrame) {
    playLevel(0, 1);
    ui.currentScreen = Screen::Options;
    frame();
    press(ImVec2(600, 333));
    EXPECT_GT(game.progress.volume, 5);
    EXPECT_LT(game.progress.volume, 30);
    EXPECT_EQ(getMusicVolume(&music), game.progress.volume);
    moveTo(ImVec2(900, 333));
    EXPECT_GT(game.progress.volume, 80);
    EXPECT_EQ(getMusicVolume(&music), game.progress.volume);
    release();
}
