#include "store/files.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "store/keystore.h"

namespace fs = std::filesystem;

namespace {

class Files : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("wg_files_" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string path(const char* name) const { return (dir / name).string(); }

    std::string write(const char* name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
        return path(name);
    }

    std::string contents(const char* name) const {
        std::ifstream in(path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path dir;
};

std::string compressed(const std::string& text, int level = 9) {
    uLongf size = compressBound(text.size());
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size,
              reinterpret_cast<const Bytef*>(text.data()), text.size(), level);
    out.resize(size);
    return out;
}

std::string asString(const std::optional<std::vector<char>>& data) {
    return std::string(data->begin(), data->end());
}

}  // namespace

TEST(JoinPath, JoinsUpToFourTextsAndNeverOverflows) {
    char buffer[kPathBufferSize];
    EXPECT_STREQ(joinPath(buffer, "data/", "game.dat"), "data/game.dat");
    EXPECT_STREQ(joinPath(buffer, "data/", "images", "/", "home.png"), "data/images/home.png");
    std::string longName(kPathBufferSize, 'a');
    EXPECT_STREQ(joinPath(buffer, "save/", longName.c_str(), ".sav"), "");
    EXPECT_STREQ(joinPath(buffer, "data/", nullptr), "");  // e.g. a missing configuration value
    std::string fits(kPathBufferSize - 1 - 5, 'b');
    EXPECT_EQ(std::strlen(joinPath(buffer, "save/", fits.c_str())), kPathBufferSize - 1);
}

// The order of flushes and renames is watched by standing in front of the C library's calls,
// which only a POSIX system lets a program do.
#ifndef _WIN32
#include <dlfcn.h>
#include <unistd.h>

namespace {

// Flushes and renames in the order they reach the system, while a test listens.
std::vector<std::string>* diskEvents = nullptr;

std::string openFileName(int descriptor) {
    char link[64];
    char target[4096];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", descriptor);
    ssize_t length = readlink(link, target, sizeof target);
    return length > 0 ? std::string(target, size_t(length)) : "?";
}

}  // namespace

// The program's own fsync and rename stand in front of the C library's and pass every call on.
extern "C" int fsync(int descriptor) {
    static auto next = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
    if (diskEvents) diskEvents->push_back("fsync " + openFileName(descriptor));
    return next(descriptor);
}

extern "C" int rename(const char* from, const char* to) noexcept {
    static auto next =
        reinterpret_cast<int (*)(const char*, const char*)>(dlsym(RTLD_NEXT, "rename"));
    if (diskEvents) diskEvents->push_back(std::string("rename ") + from + " " + to);
    return next(from, to);
}

TEST_F(Files, DataFilesArePlainOrZlib) {
    const std::string json = "{\"title\": \"Words\"}";
    EXPECT_EQ(asString(readDataFile(write("plain.dat", json).c_str())), json);
    EXPECT_EQ(asString(readDataFile(write("packed.dat", compressed(json)).c_str())), json);

    // A bracket first means plain, even when the rest would inflate.
    std::string bracketed = "[" + compressed(json);
    EXPECT_EQ(asString(readDataFile(write("bracket.dat", bracketed).c_str())), bracketed);

    // Bytes that do not inflate, or a stream cut short, are used as they are.
    std::string cpio = "\xC7\x71 not compressed";
    EXPECT_EQ(asString(readDataFile(write("raw.dat", cpio).c_str())), cpio);
    std::string cut = compressed(json).substr(0, 8);
    EXPECT_EQ(asString(readDataFile(write("cut.dat", cut).c_str())), cut);

    EXPECT_TRUE(readDataFile(write("empty.dat", "").c_str())->empty());
    EXPECT_FALSE(readDataFile(path("missing.dat").c_str()));
    EXPECT_FALSE(readWholeFile(path("missing.dat").c_str()));
    EXPECT_FALSE(readWholeFile(dir.string().c_str()));  // a directory is not a file

    KeyStore* store = loadKeyStore(path("packed.dat").c_str());
    ASSERT_NE(store, nullptr);
    EXPECT_STREQ(getString(store, "title"), "Words");
    freeKeyStore(store);
    EXPECT_EQ(loadKeyStore(write("broken.dat", "neither zlib nor JSON]").c_str()), nullptr);
    EXPECT_EQ(loadKeyStore(path("missing.dat").c_str()), nullptr);
}

TEST_F(Files, InflatedDataIsCappedAndRefusedAboveTheCap) {
    // Zeros compress about a thousandfold, the way a hostile stream claims gigabytes.
    std::string atLimit(kInflatedDataLimit, '\0');
    auto fits = readDataFile(write("fits.dat", compressed(atLimit, 1)).c_str());
    ASSERT_TRUE(fits);
    EXPECT_EQ(fits->size(), kInflatedDataLimit);

    atLimit.push_back('\0');
    EXPECT_FALSE(readDataFile(write("bomb.dat", compressed(atLimit, 1)).c_str()));
    EXPECT_EQ(loadKeyStore(path("bomb.dat").c_str()), nullptr);
}

TEST_F(Files, WholeFileWritesReplaceOrLeaveTheOldFile) {
    std::string target = write("level.sav", "old contents");
    EXPECT_TRUE(writeWholeFile(target.c_str(), "[\"new\"]", 7));
    EXPECT_EQ(contents("level.sav"), "[\"new\"]");
    EXPECT_FALSE(fs::exists(target + ".tmp"));

    // A target that cannot be replaced (here a directory) fails and removes the temporary file.
    fs::create_directories(dir / "busy" / "inside");
    std::string busy = path("busy");
    EXPECT_FALSE(writeWholeFile(busy.c_str(), "x", 1));
    EXPECT_TRUE(fs::is_directory(dir / "busy" / "inside"));
    EXPECT_FALSE(fs::exists(busy + ".tmp"));

    EXPECT_FALSE(writeWholeFile(path("no/such/dir/file").c_str(), "x", 1));
    EXPECT_FALSE(fileExists(path("no/such/dir/file").c_str()));
    EXPECT_TRUE(fileExists(target.c_str()));
}

TEST_F(Files, WrittenFileReachesTheDiskBeforeItsRenameAndTheFolderAfter) {
    std::vector<std::string> events;
    diskEvents = &events;
    bool written = writeWholeFile(path("level.sav").c_str(), "[]", 2);
    diskEvents = nullptr;
    EXPECT_TRUE(written);
    std::string folder = fs::canonical(dir).string();
    EXPECT_EQ(events, (std::vector<std::string>{
                          "fsync " + folder + "/level.sav.tmp",
                          "rename " + path("level.sav.tmp") + " " + path("level.sav"),
                          "fsync " + folder,
                      }));
}
#endif
