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
#include "core/words.h"
#include "platform/steam_wq.h"
#include "store/config.h"
#include "store/keystore.h"
#include "store/language.h"
#include "ui/screens.h"
#include "ui/theme.h"

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

// Keys held down by the fake keyboard of the scan tests.
std::set<int> down;

InputEvent scan(int32_t type = INPUT_NONE) {
    return scanWatchedKeys(type, [](int key) { return down.count(key) > 0; });
}

class KeyScan : public ::testing::Test {
protected:
    void TearDown() override {
        // The scan remembers pressed keys between tests; release them all.
        down.clear();
        scan();
    }
};

void expectEvent(InputEvent event, int32_t type, int32_t code) {
    EXPECT_EQ(event.type, type);
    EXPECT_EQ(event.code, code);
}

TEST_F(KeyScan, HeldKeyCountsOnceUntilReleased) {
    expectEvent(scan(), INPUT_NONE, INPUT_NO_KEY);
    down = {GLFW_KEY_A};
    expectEvent(scan(), INPUT_KEY, GLFW_KEY_A);
    expectEvent(scan(), INPUT_NONE, INPUT_NO_KEY);
    expectEvent(scan(), INPUT_NONE, INPUT_NO_KEY);
    down.clear();
    expectEvent(scan(), INPUT_NONE, INPUT_NO_KEY);
    down = {GLFW_KEY_A};
    expectEvent(scan(), INPUT_KEY, GLFW_KEY_A);
}

TEST_F(KeyScan, OnlyTheLastNewKeyInPollingOrderIsReportedAndTheOthersAreLost) {
    down = {GLFW_KEY_Z, GLFW_KEY_A};
    expectEvent(scan(), INPUT_KEY, GLFW_KEY_Z);
    expectEvent(scan(), INPUT_NONE, INPUT_NO_KEY);  // A was marked down too

    down = {GLFW_KEY_Z, GLFW_KEY_A, GLFW_KEY_ESCAPE, GLFW_KEY_F1};
    expectEvent(scan(), INPUT_KEY, GLFW_KEY_F1);  // function keys come after letters

    down = {GLFW_KEY_Z, GLFW_KEY_A, GLFW_KEY_ESCAPE, GLFW_KEY_F1, GLFW_KEY_SPACE};
    expectEvent(scan(), INPUT_KEY, GLFW_KEY_SPACE);  // a held key does not hide a new one
}

TEST_F(KeyScan, KeyWinsOverCloseRequestWhichStaysForTheNextFrame) {
    expectEvent(scan(INPUT_CLOSE), INPUT_CLOSE, INPUT_NO_KEY);
    down = {GLFW_KEY_B};
    expectEvent(scan(INPUT_CLOSE), INPUT_KEY, GLFW_KEY_B);
    expectEvent(scan(INPUT_CLOSE), INPUT_CLOSE, INPUT_NO_KEY);
}

TEST_F(KeyScan, WatchesExactlyTheSeventyOneKeysInTableOrder) {
    const std::set<int> unwatched = {GLFW_KEY_ENTER,  GLFW_KEY_LEFT,  GLFW_KEY_UP,
                                     GLFW_KEY_KP_1,   GLFW_KEY_MINUS, GLFW_KEY_EQUAL,
                                     GLFW_KEY_RIGHT_SHIFT, GLFW_KEY_F13};
    std::vector<int> reported;
    for (int key = 0; key <= GLFW_KEY_LAST; ++key) {
        down = {key};
        InputEvent event = scan();
        if (event.type == INPUT_KEY) reported.push_back(event.code);
        EXPECT_FALSE(event.type == INPUT_KEY && unwatched.count(key)) << key;
        down.clear();
        scan();
    }
    EXPECT_EQ(reported.size(), 71u);

    // All of them at once: the last of the table wins.
    for (int key : reported) down.insert(key);
    expectEvent(scan(), INPUT_KEY, GLFW_KEY_F12);
}

// Restores an environment variable when the test is done with it.
class ScopedEnv {
public:
    explicit ScopedEnv(const char* name) : name_(name) {
        const char* value = getenv(name);
        if (value) saved_ = value, hadValue_ = true;
    }
    ~ScopedEnv() {
        if (hadValue_) setenv(name_, saved_.c_str(), 1); else unsetenv(name_);
    }
    void set(const char* value) {
        if (value) setenv(name_, value, 1); else unsetenv(name_);
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

using ConfigLoading = InTempDir;

void writeConfig(const char* text) {
    std::filesystem::create_directory("data");
    std::ofstream("data/game.dat") << text;
}

TEST_F(ConfigLoading, SetsTheStartUpStateFromTheFile) {
    // No monitor: the configured height stays.
    ScopedEnv display("DISPLAY"), wayland("WAYLAND_DISPLAY");
    display.set(nullptr);
    wayland.set(nullptr);
    writeConfig("{\"width\": 1024, \"height\": 600, \"title\": \"Letters\", "
                "\"lang\": [{\"long\": \"english\"}, {\"long\": \"german\"}]}");
    currentScreen = ScreenInGame;
    currentLanguage = 3;
    int key = 0;
    hashPut(repeatTimes, "word", &key);

    App shell;
    KeyStore* store = loadConfig(&shell);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(windowWidth, 1024);
    EXPECT_EQ(windowHeight, 600);
    EXPECT_STREQ(windowTitle, "Letters");
    EXPECT_EQ(windowTitle, getString(store, "title"));  // points into the store
    EXPECT_EQ(languageCount, 2);
    EXPECT_EQ(currentLanguage, 0);
    EXPECT_EQ(currentScreen, ScreenLanguage);
    EXPECT_EQ(langStore, nullptr);
    EXPECT_EQ(repeatTimes.size, 0u);
    EXPECT_EQ(iconButtonStyle.rounding, 10);
    EXPECT_EQ(iconButtonStyle.padding.x, -12);
    EXPECT_EQ(iconButtonStyle.padding.y, -10);

    windowTitle = nullptr;
    freeKeyStore(store);
}

TEST_F(ConfigLoading, MissingEmptyOrBrokenFileGivesNothing) {
    App shell;
    EXPECT_EQ(loadConfig(&shell), nullptr);
    writeConfig("");
    EXPECT_EQ(loadConfig(&shell), nullptr);
    writeConfig("{\"width\": 1280");
    EXPECT_EQ(loadConfig(&shell), nullptr);
}

}  // namespace
