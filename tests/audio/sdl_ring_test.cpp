// The SDL ring on a real device: SDL's disk driver writes what it plays into a file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "device/audio_ring.h"

namespace {

constexpr uint32_t kRingBytes = 8192;

// The error names what failed on this back end, with SDL's own reason.
TEST(SdlAudioRingTest, NoDriverIsReportedAsSdlsOwnFailure) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    const char* error = nullptr;
    EXPECT_EQ(openAudioRing(nullptr, 44100, kRingBytes, &error), nullptr);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(std::string(error).rfind("SDL audio could not start: ", 0), 0u) << error;
    EXPECT_GT(std::strlen(error), std::strlen("SDL audio could not start: ")) << error;
}

TEST(SdlAudioRingTest, SoundIsPlayedOnceWhenNothingNewIsWritten) {
    std::string capture = ::testing::TempDir() + "sdl_ring_XXXXXX";
    int descriptor = mkstemp(capture.data());
    ASSERT_NE(descriptor, -1);
    close(descriptor);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", capture.c_str(), 1);

    const char* error = nullptr;
    std::unique_ptr<AudioRing> ring = openAudioRing(nullptr, 44100, kRingBytes, &error);
    ASSERT_NE(ring, nullptr) << error;
    RingRegions regions{};
    ASSERT_EQ(ring->lock(0, 1000, &regions), RingLock::Ok);
    std::memset(regions.first, 0x11, 1000);
    ring->unlock(regions);
    ring->play();
    // Four times round the ring, with no mixer writing anything new.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::filesystem::file_size(capture) < 4 * kRingBytes &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ring.reset();

    std::ifstream in(capture, std::ios::binary);
    std::vector<char> played((std::istreambuf_iterator<char>(in)), {});
    std::filesystem::remove(capture);
    ASSERT_GE(played.size(), 4 * kRingBytes);
    size_t sounding = 0, silent = 0;
    for (char byte : played) {
        sounding += byte == 0x11;
        silent += byte == 0;
    }
    EXPECT_EQ(sounding, 1000u);
    EXPECT_EQ(silent, played.size() - 1000);
}

}  // namespace
