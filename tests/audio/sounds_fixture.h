// A scratch run directory (data/, data/sounds/, data/music/) for the sound loading and
// music tests, entered for the duration of one test.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "audio/sounds.h"
#include "store/keystore.h"

class RunDirTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes bytes to path (relative to the run directory).
    void put(const std::string& path, const std::vector<uint8_t>& bytes);
    // An old binary cpio archive of the given members, little-endian headers.
    static std::vector<uint8_t> cpio(
        const std::vector<std::pair<std::string, std::vector<uint8_t>>>& members);
    // Parses a configuration text; freed at the end of the test.
    const KeyStore* config(const std::string& json);

private:
    std::string previousDir_;
    std::string runDir_;
    std::vector<KeyStore*> stores_;
};

// A mono Ogg Vorbis stream of `frames` frames of a sine.
std::vector<uint8_t> oggTone(int frames, double hertz = 440, int channels = 1);
