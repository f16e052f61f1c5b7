#include "store/folders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/user_folders.h"

namespace fs = std::filesystem;

namespace {

// Each test gets an empty folder as its working directory and its own HOME and XDG_DATA_HOME;
// everything is put back afterwards.
class GameFolders : public ::testing::Test {
protected:
    Folders folders;  // what chooseGameFolders chose
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("wg_folders_" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir / "work");
        saved = fs::current_path();
        fs::current_path(dir / "work");
        keep("HOME", &home);
        keep("XDG_DATA_HOME", &dataHome);
        setenv("HOME", (dir / "home").c_str(), 1);
        unsetenv("XDG_DATA_HOME");
    }
    void TearDown() override {
        fs::current_path(saved);
        restore("HOME", home);
        restore("XDG_DATA_HOME", dataHome);
        fs::remove_all(dir);
    }

    static void keep(const char* name, std::string* value) {
        const char* now = std::getenv(name);
        *value = now ? now : "\x01";
    }
    static void restore(const char* name, const std::string& value) {
        if (value == "\x01")
            unsetenv(name);
        else
            setenv(name, value.c_str(), 1);
    }

    // An installation under dir/usr: the programs' folder, and its data with a configuration.
    std::string programs() const { return (dir / "usr/games").string(); }
    void installData() const {
        fs::create_directories(dir / "usr/games");
        fs::create_directories(dir / "usr/share/games/letter-row");
        std::ofstream((dir / "usr/share/games/letter-row/game.dat").string()) << "{}";
    }

    fs::path dir, saved;
    std::string home, dataHome;
};

TEST_F(GameFolders, PlayerFolderFollowsXdgRulesAndFallsBackToHome) {
    EXPECT_EQ(userDataFolder("letter-row"), (dir / "home/.local/share/letter-row").string());
    setenv("XDG_DATA_HOME", "/data/of/player", 1);
    EXPECT_EQ(userDataFolder("letter-row"), "/data/of/player/letter-row");
    // An empty or relative XDG_DATA_HOME is invalid and must be ignored.
    setenv("XDG_DATA_HOME", "", 1);
    EXPECT_EQ(userDataFolder("letter-row"), (dir / "home/.local/share/letter-row").string());
    setenv("XDG_DATA_HOME", "relative/data", 1);
    EXPECT_EQ(userDataFolder("letter-row"), (dir / "home/.local/share/letter-row").string());
    unsetenv("XDG_DATA_HOME");
    unsetenv("HOME");
    EXPECT_EQ(userDataFolder("letter-row"), "");
}

TEST_F(GameFolders, InstalledDataSitsUnderShareBesideTheProgramFolder) {
    EXPECT_EQ(installedDataFolder("/usr/games"), "/usr/share/games/letter-row/");
    EXPECT_EQ(installedDataFolder("/opt/lr/games"), "/opt/lr/share/games/letter-row/");
}

TEST_F(GameFolders, RunDirectoryKeepsItsDataAndSaveFolders) {
    installData();
    fs::create_directories("data");
    std::ofstream("data/game.dat") << "{}";
    ASSERT_TRUE(chooseGameFolders(programs(), &folders));
    EXPECT_EQ(fs::current_path(), dir / "work");
    EXPECT_EQ(folders.data, "data/");
    EXPECT_EQ(dataPath(folders, "en.dat"), "data/en.dat");
    EXPECT_EQ(savePath(folders, "options.dat"), "save/options.dat");
    EXPECT_FALSE(fs::exists(dir / "home"));
}

TEST_F(GameFolders, ProgramWithoutInstalledDataKeepsTheRunDirectoryRules) {
    // A build's program started elsewhere: it reports the missing data/game.dat as always and
    // makes nothing in the player's home.
    ASSERT_TRUE(chooseGameFolders(programs(), &folders));
    EXPECT_EQ(fs::current_path(), dir / "work");
    EXPECT_EQ(folders.data, "data/");
    EXPECT_FALSE(fs::exists(dir / "home"));
}

TEST_F(GameFolders, InstalledGameWorksInThePlayersFolder) {
    installData();
    ASSERT_TRUE(chooseGameFolders(programs(), &folders));
    // Progress goes to the player's folder by its path; the working directory stays.
    EXPECT_EQ(fs::current_path(), dir / "work");
    EXPECT_EQ(savePath(folders, "options.dat"),
              (dir / "home/.local/share/letter-row/save/options.dat").string());
    EXPECT_TRUE(fs::is_directory(dir / "home/.local/share/letter-row"));
    EXPECT_EQ(dataPath(folders, "game.dat"),
              (dir / "usr/share/games/letter-row/game.dat").string());
    EXPECT_TRUE(fs::is_empty(dir / "work"));

    setenv("XDG_DATA_HOME", (dir / "xdg").c_str(), 1);
    ASSERT_TRUE(chooseGameFolders(programs(), &folders));
    EXPECT_EQ(folders.save, (dir / "xdg/letter-row/save/").string());
}

TEST_F(GameFolders, InstalledGameWithoutAPlaceForProgressRefusesToStart) {
    installData();
    unsetenv("HOME");
    EXPECT_FALSE(chooseGameFolders(programs(), &folders));
    // A home that is a file cannot hold the folder.
    std::ofstream((dir / "home").string()) << "not a folder";
    setenv("HOME", (dir / "home").c_str(), 1);
    EXPECT_FALSE(chooseGameFolders(programs(), &folders));
    EXPECT_EQ(fs::current_path(), dir / "work");
}

}  // namespace
