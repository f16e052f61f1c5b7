#include <gtest/gtest.h>

#include <GLFW/glfw3.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "app/app.h"
#include "audio/sounds.h"
#include "core/game.h"
#include "core/words.h"
#include "gfx/image.h"
#include "platform/steam_wq.h"
#include "store/config.h"
#include "store/keystore.h"
#include "store/language.h"
#include "ui/screens.h"
#include "ui/theme.h"
#include "ui/ui.h"

namespace {

char modeOf(const char* configured, std::vector<const char*> args) {
    args.insert(args.begin(), "game");
    return windowModeFromArgs(configured, static_cast<int>(args.size()), args.data());
}

TEST(WindowMode, ConfigurationThenLastSwitchWins) {
    EXPECT_EQ(modeOf("windowed", {}), 'x');
    EXPECT_EQ(modeOf("fullscreen", {}), 'f');
    EXPECT_EQ(modeOf("Fullscreen", {}), 'f');
    EXPECT_EQ(modeOf("", {}), 'x');
    EXPECT_EQ(modeOf(nullptr, {}), 'x');

    EXPECT_EQ(modeOf("windowed", {"-f"}), 'f');
    EXPECT_EQ(modeOf("windowed", {"/F"}), 'f');
    EXPECT_EQ(modeOf("windowed", {"-full"}), 'f');
    EXPECT_EQ(modeOf("fullscreen", {"-x"}), 'x');
    EXPECT_EQ(modeOf("fullscreen", {"-w"}), 'x');
    EXPECT_EQ(modeOf("fullscreen", {"-"}), 'x');
    EXPECT_EQ(modeOf("fullscreen", {"/"}), 'x');
    EXPECT_EQ(modeOf("windowed", {"-f", "-x"}), 'x');
    EXPECT_EQ(modeOf("windowed", {"-x", "-f"}), 'f');
}

TEST(WindowMode, ArgumentsWithoutSwitchCharacterAreIgnored) {
    EXPECT_EQ(modeOf("windowed", {"f"}), 'x');
    EXPECT_EQ(modeOf("fullscreen", {"x", "window"}), 'f');
    EXPECT_EQ(modeOf("windowed", {"-f", "x"}), 'f');
    EXPECT_EQ(modeOf("fullscreen", {""}), 'f');
}

// The window system's key events, as the platform's callbacks pass them on.
class KeyEvents : public ::testing::Test {
protected:
    KeyQueue queue{};
    void press(int key, uint32_t text = 0) {
        keyQueueDown(&queue, key);
        if (text) keyQueueText(&queue, text);
    }
    void release() { keyQueueOther(&queue); }
    InputEvent frame(InputType type = InputType::None) { return nextKeyEvent(&queue, type); }
};

void expectEvent(InputEvent event, InputType type, int32_t code, uint32_t text = 0) {
    EXPECT_EQ(event.type, type);
    EXPECT_EQ(event.code, code);
    EXPECT_EQ(event.text, text);
}

TEST_F(KeyEvents, EveryPressIsReportedOncePerFrameInOrder) {
    expectEvent(frame(), InputType::None, kInputNoKey);
    // Three taps, each released before the next frame, and a held key's repeats.
    press(GLFW_KEY_Z, 'z');
    release();
    press(GLFW_KEY_A, 'a');
    keyQueueOther(&queue);
    keyQueueText(&queue, 'a');  // a repeat and its text: no new press
    release();
    press(GLFW_KEY_ESCAPE);
    release();
    expectEvent(frame(), InputType::Key, GLFW_KEY_Z, 'z');
    expectEvent(frame(), InputType::Key, GLFW_KEY_A, 'a');
    expectEvent(frame(), InputType::Key, GLFW_KEY_ESCAPE);
    expectEvent(frame(), InputType::None, kInputNoKey);

    // A word typed faster than frames are drawn: the oldest presses first, none lost.
    const char* word = "abcdefghijklmnopqrstuvwxyz";
    for (const char* c = word; *c; ++c) press(GLFW_KEY_A + (*c - 'a'), *c), release();
    for (const char* c = word; *c; ++c)
        expectEvent(frame(), InputType::Key, GLFW_KEY_A + (*c - 'a'), *c);
    expectEvent(frame(), InputType::None, kInputNoKey);
}

TEST_F(KeyEvents, TextBelongsToThePressJustBeforeIt) {
    // AltGr+a: the key is A, its text ą.
    press(GLFW_KEY_RIGHT_ALT);
    press(GLFW_KEY_A, 0x105);
    // A dead key makes no text; the letter after it carries the combined text.
    press(GLFW_KEY_APOSTROPHE);
    release();
    press(GLFW_KEY_A, 0xE1);
    // A dead key the next letter does not combine with: two code points, no one letter.
    press(GLFW_KEY_APOSTROPHE);
    release();
    press(GLFW_KEY_X, 0xB4);
    keyQueueText(&queue, 'x');
    keyQueueText(&queue, 'y');
    expectEvent(frame(), InputType::Key, GLFW_KEY_A, 0x105);  // Right Alt is not watched
    expectEvent(frame(), InputType::Key, GLFW_KEY_APOSTROPHE);
    expectEvent(frame(), InputType::Key, GLFW_KEY_A, 0xE1);
    expectEvent(frame(), InputType::Key, GLFW_KEY_APOSTROPHE);
    expectEvent(frame(), InputType::Key, GLFW_KEY_X, 0);
    // Text that follows no press, or comes after the press was reported, is no key's.
    keyQueueText(&queue, 'q');
    expectEvent(frame(), InputType::None, kInputNoKey);
}

TEST_F(KeyEvents, KeyWinsOverCloseRequestWhichStaysForTheNextFrame) {
    expectEvent(frame(InputType::Close), InputType::Close, kInputNoKey);
    press(GLFW_KEY_B, 'b');
    expectEvent(frame(InputType::Close), InputType::Key, GLFW_KEY_B, 'b');
    expectEvent(frame(InputType::Close), InputType::Close, kInputNoKey);
}

TEST_F(KeyEvents, WatchesTheSeventyThreeKeysAndKeysThatMakeALetterBeyondAscii) {
    const std::set<int> unwatched = {GLFW_KEY_RIGHT,       GLFW_KEY_LEFT,  GLFW_KEY_UP,
                                     GLFW_KEY_KP_1,        GLFW_KEY_MINUS, GLFW_KEY_EQUAL,
                                     GLFW_KEY_RIGHT_SHIFT, GLFW_KEY_F13};
    std::vector<int> reported;
    for (int key = 0; key <= GLFW_KEY_LAST; ++key) {
        press(key, key == GLFW_KEY_MINUS ? '-' : 0);
        InputEvent event = frame();
        if (event.type == InputType::Key) reported.push_back(event.code);
        EXPECT_FALSE(event.type == InputType::Key && unwatched.count(key)) << key;
    }
    EXPECT_EQ(reported.size(), 73u);

    // The unwatched keys before a watched one leave the queue with nothing reported.
    press(GLFW_KEY_RIGHT);
    press(GLFW_KEY_UP);
    press(GLFW_KEY_Q, 'q');
    expectEvent(frame(), InputType::Key, GLFW_KEY_Q, 'q');
    // ß on the minus key of a German layout, ì on the equals key of an Italian one.
    press(GLFW_KEY_MINUS, 0xDF);
    press(GLFW_KEY_EQUAL, 0xEC);
    press(GLFW_KEY_EQUAL, '=');
    expectEvent(frame(), InputType::Key, GLFW_KEY_MINUS, 0xDF);
    expectEvent(frame(), InputType::Key, GLFW_KEY_EQUAL, 0xEC);
    expectEvent(frame(), InputType::None, kInputNoKey);
}

TEST_F(KeyEvents, FullQueueKeepsTheOldestPresses) {
    for (int k = 0; k < kKeyQueueSize; ++k) press(GLFW_KEY_A, 'a');
    press(GLFW_KEY_B, 'b');  // dropped, and its text with it
    for (int k = 0; k < kKeyQueueSize; ++k) expectEvent(frame(), InputType::Key, GLFW_KEY_A, 'a');
    expectEvent(frame(), InputType::None, kInputNoKey);
}

// Restores an environment variable when the test is done with it.
class ScopedEnv {
public:
    explicit ScopedEnv(const char* name) : name_(name) {
        const char* value = getenv(name);
        if (value) saved_ = value, hadValue_ = true;
    }
    ~ScopedEnv() {
        if (hadValue_)
            setenv(name_, saved_.c_str(), 1);
        else
            unsetenv(name_);
    }
    void set(const char* value) {
        if (value)
            setenv(name_, value, 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::string saved_;
    bool hadValue_ = false;
};

TEST(Storefront, LanguageFollowsTheLocaleVariablesInPosixOrder) {
    ScopedEnv all("LC_ALL"), messages("LC_MESSAGES"), lang("LANG");
    auto language = [&](const char* a, const char* m, const char* l) {
        all.set(a);
        messages.set(m);
        lang.set(l);
        return std::string(GetCurrentLanguageWq());
    };
    EXPECT_EQ(language(nullptr, nullptr, "ru_RU.UTF-8"), "russian");
    EXPECT_EQ(language(nullptr, nullptr, "uk_UA.UTF-8"), "ukrainian");
    EXPECT_EQ(language(nullptr, nullptr, "de"), "german");
    EXPECT_EQ(language(nullptr, nullptr, "fr_FR@euro"), "french");
    EXPECT_EQ(language(nullptr, "es_ES.UTF-8", "pl_PL.UTF-8"), "spanish");
    EXPECT_EQ(language("it_IT.UTF-8", "es_ES.UTF-8", "pl_PL.UTF-8"), "italian");
    EXPECT_EQ(language("", "", "pl_PL.UTF-8"), "polish");
    EXPECT_EQ(language(nullptr, nullptr, "en_GB.UTF-8"), "english");
}

TEST(Storefront, UnknownLocaleIsEnglish) {
    ScopedEnv all("LC_ALL"), messages("LC_MESSAGES"), lang("LANG");
    messages.set(nullptr);
    lang.set(nullptr);
    for (const char* locale : {"", "C", "POSIX", "C.UTF-8", "pt_BR.UTF-8", "u", "ukr_UA", "r"}) {
        all.set(locale);
        EXPECT_STREQ(GetCurrentLanguageWq(), "english") << locale;
    }
    all.set(nullptr);
    EXPECT_STREQ(GetCurrentLanguageWq(), "english");
}

// Runs the test body in a fresh directory, as the game runs beside its save/ directory.
class InTempDir : public ::testing::Test {
protected:
    void SetUp() override {
        old_ = std::filesystem::current_path();
        char pattern[] = "/tmp/wg-shell-test.XXXXXX";
        dir_ = mkdtemp(pattern);
        std::filesystem::current_path(dir_);
    }
    void TearDown() override {
        std::filesystem::current_path(old_);
        std::filesystem::remove_all(dir_);
    }
    std::filesystem::path old_, dir_;
};

std::string fileText(const char* path) {
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

using Achievements = InTempDir;

TEST_F(Achievements, EachIsRecordedOnceAcrossRuns) {
    std::filesystem::create_directory("save");
    EXPECT_EQ(GrantAchievementWq("study"), 1);
    EXPECT_EQ(GrantAchievementWq("lvl3"), 1);
    EXPECT_EQ(GrantAchievementWq("study"), 0);
    EXPECT_EQ(GrantAchievementWq("lvl"), 1);  // a prefix is another name
    EXPECT_EQ(fileText("save/achievements.txt"), "study\nlvl3\nlvl\n");
}

TEST_F(Achievements, NamesThatCannotBeStoredAreRefused) {
    std::filesystem::create_directory("save");
    EXPECT_EQ(GrantAchievementWq(nullptr), 0);
    EXPECT_EQ(GrantAchievementWq(""), 0);
    EXPECT_EQ(GrantAchievementWq("two\nlines"), 0);
    EXPECT_FALSE(std::filesystem::exists("save/achievements.txt"));
}

TEST_F(Achievements, MissingSaveDirectoryLosesNothingElse) {
    EXPECT_EQ(GrantAchievementWq("study"), 0);
    EXPECT_EQ(InitSteamWq(480), 0);
    EXPECT_EQ(ShutdownSteamWq(), 0);
}

class ConfigLoading : public InTempDir {
protected:
    void SetUp() override {
        InTempDir::SetUp();
        ui.assets = {nullptr, &images, nullptr, nullptr, &sounds, &music};
    }
    void TearDown() override {
        freeAssets(&images, &sounds);
        InTempDir::TearDown();
    }

    ImageAssets images;
    SoundAssets sounds;
    MusicPlayer music;
    Ui ui;
    Game game;
};

void writeConfig(const char* text) {
    std::filesystem::create_directory("data");
    std::ofstream("data/game.dat") << text;
}

TEST_F(ConfigLoading, SetsTheStartUpStateFromTheFile) {
    // No monitor: the configured height stays.
    ScopedEnv display("DISPLAY"), wayland("WAYLAND_DISPLAY");
    display.set(nullptr);
    wayland.set(nullptr);
    writeConfig(
        "{\"width\": 1024, \"height\": 600, \"title\": \"Letters\", "
        "\"lang\": [{\"long\": \"english\"}, {\"long\": \"german\"}]}");
    ui.currentScreen = Screen::InGame;
    game.currentLanguage = 3;
    HashOutcome key = HashOutcome::Present;
    hashPut(game.repeatTimes, "word", &key);

    App shell;
    shell.ui = &ui;
    Config loaded;
    ASSERT_TRUE(loadConfig(&shell, &loaded, game));
    KeyStore* store = loaded.store;
    EXPECT_EQ(ui.windowWidth, 1024);
    EXPECT_EQ(ui.windowHeight, 600);
    EXPECT_STREQ(ui.windowTitle, "Letters");
    EXPECT_EQ(ui.windowTitle, getString(store, "title"));  // points into the store
    EXPECT_EQ(game.languageCount, 2);
    EXPECT_EQ(game.currentLanguage, 0);
    EXPECT_EQ(ui.currentScreen, Screen::Language);
    EXPECT_EQ(game.langStore.get(), nullptr);
    EXPECT_EQ(game.repeatTimes.size, 0u);
    EXPECT_EQ(ui.iconButtonStyle.rounding, 10);
    EXPECT_EQ(ui.iconButtonStyle.padding.x, -12);
    EXPECT_EQ(ui.iconButtonStyle.padding.y, -10);

    ui.windowTitle = nullptr;
    freeKeyStore(store);
}

TEST_F(ConfigLoading, MissingEmptyOrBrokenFileGivesNothing) {
    App shell;
    shell.ui = &ui;
    Config loaded;
    EXPECT_FALSE(loadConfig(&shell, &loaded, game));
    writeConfig("");
    EXPECT_FALSE(loadConfig(&shell, &loaded, game));
    writeConfig("{\"width\": 1280");
    EXPECT_FALSE(loadConfig(&shell, &loaded, game));
}

}  // namespace
