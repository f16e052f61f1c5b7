#include "tests/audio/sounds_fixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>

#include "tests/audio/ogg_encode.h"

void RunDirTest::SetUp() {
    char cwd[PATH_MAX];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    previousDir_ = cwd;
    std::string pattern = ::testing::TempDir() + "audio_run_XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    runDir_ = pattern;
    ASSERT_EQ(chdir(runDir_.c_str()), 0);
    std::filesystem::create_directories("data/sounds");
    std::filesystem::create_directories("data/music");
}

void RunDirTest::TearDown() {
    for (KeyStore* store : stores_) freeKeyStore(store);
    stores_.clear();
    ASSERT_EQ(chdir(previousDir_.c_str()), 0);
    std::filesystem::remove_all(runDir_);
}

void RunDirTest::put(const std::string& path, const std::vector<uint8_t>& bytes) {
    ASSERT_TRUE(writeFile(path.c_str(), bytes)) << path;
}

std::vector<uint8_t> RunDirTest::cpio(
    const std::vector<std::pair<std::string, std::vector<uint8_t>>>& members) {
    std::vector<uint8_t> out;
    auto word = [&](uint32_t value) {
        out.push_back(uint8_t(value & 0xFF));
        out.push_back(uint8_t(value >> 8));
    };
    for (const auto& [name, data] : members) {
        word(070707);
        for (int i = 0; i < 9; ++i) word(0);
        word(uint32_t(name.size() + 1));
        word(uint32_t(data.size() >> 16));
        word(uint32_t(data.size() & 0xFFFF));
        out.insert(out.end(), name.begin(), name.end());
        out.push_back(0);
        if ((name.size() + 1) % 2) out.push_back(0);
        out.insert(out.end(), data.begin(), data.end());
        if (data.size() % 2) out.push_back(0);
    }
    return out;
}

const KeyStore* RunDirTest::config(const std::string& json) {
    KeyStore* store = parseKeyStore(json.c_str(), json.size());
    EXPECT_NE(store, nullptr) << json;
    if (store) stores_.push_back(store);
    return store;
}

std::vector<uint8_t> oggTone(int frames, double hertz, int channels) {
    return encodeOgg(sineWave(frames, channels, hertz, 8000), channels);
}
