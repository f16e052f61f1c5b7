#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "audio/mixer.h"
#include "tests/audio/ogg_encode.h"

namespace {

const std::string kDecodeFailed =
    "stb_vorbis_decode_memory failed. Make sure your file exists and is a valid OGG file.";

tsSound decode(const std::vector<uint8_t>& bytes, int* rate = nullptr) {
    tsSound sound{};
    int unused = 0;
    tsDecodeOgg(bytes.data(), int(bytes.size()), rate ? rate : &unused, &sound);
    return sound;
}

bool aligned16(const void* p) {
    return (reinterpret_cast<uintptr_t>(p) & 15) == 0;
}

// Largest difference between the decoded channel and the source samples.
double maxError(const float* decoded, const std::vector<int16_t>& source, int channels,
                int channel) {
    double worst = 0;
    for (size_t i = 0; i < source.size() / channels; ++i)
        worst = std::max(worst, std::fabs(double(decoded[i]) - source[i * channels + channel]));
    return worst;
}

TEST(OggDecoding, MonoStreamBecomesOnePaddedAlignedChannel) {
    std::vector<int16_t> source = sineWave(1001, 1, 440, 8000);
    int rate = 0;
    tsSound sound = decode(encodeOgg(source, 1, 22050), &rate);
    EXPECT_EQ(rate, 22050);  // reported, though the mixer ignores it
    ASSERT_EQ(sound.frameCount, 1001);
    EXPECT_EQ(sound.channelCount, 1);
    EXPECT_EQ(sound.channel[1], nullptr);
    ASSERT_TRUE(aligned16(sound.channel[0]));
    EXPECT_LT(maxError(sound.channel[0], source, 1, 0), 800);  // lossy, but the same signal
    for (int i = 1001; i < 1004; ++i) EXPECT_EQ(sound.channel[0][i], 0.0f);
    tsReleaseSound(&sound);
    EXPECT_EQ(sound.frameCount, 0);
    EXPECT_EQ(sound.channel[0], nullptr);
}

TEST(OggDecoding, StereoStreamKeepsItsChannelsInOneBlock) {
    std::vector<int16_t> source = sineWave(998, 2, 440, 8000);
    for (size_t i = 1; i < source.size(); i += 2) source[i] = 0;  // right side silent
    tsSound sound = decode(encodeOgg(source, 2));
    ASSERT_EQ(sound.frameCount, 998);
    EXPECT_EQ(sound.channelCount, 2);
    EXPECT_EQ(sound.channel[1], sound.channel[0] + 1000);
    EXPECT_LT(maxError(sound.channel[0], source, 2, 0), 800);
    EXPECT_LT(maxError(sound.channel[1], source, 2, 1), 200);
    EXPECT_EQ(sound.channel[0][998], 0.0f);
    EXPECT_EQ(sound.channel[0][999], 0.0f);
    tsReleaseSound(&sound);
}

TEST(OggDecoding, UnusableInputGivesAnEmptySoundAndTheReason) {
    std::vector<uint8_t> valid = encodeOgg(sineWave(4000, 1, 440, 8000), 1);
    std::vector<std::vector<uint8_t>> inputs = {
        {},
        std::vector<uint8_t>(5000, 0xAB),
        std::vector<uint8_t>(valid.begin(), valid.begin() + 40),  // cut inside the headers
    };
    for (const auto& bytes : inputs) {
        tsLastError = nullptr;
        tsSound sound = decode(bytes);
        EXPECT_EQ(sound.frameCount, 0);
        EXPECT_EQ(sound.channelCount, 0);
        EXPECT_EQ(sound.channel[0], nullptr);
        ASSERT_NE(tsLastError, nullptr);
        EXPECT_EQ(tsLastError, kDecodeFailed);
    }
    tsSound fromNull{};
    tsDecodeOgg(nullptr, 100, nullptr, &fromNull);
    EXPECT_EQ(fromNull.channel[0], nullptr);

    tsSound missing = tsReadOggFile("no/such/file.ogg", nullptr);
    EXPECT_EQ(missing.frameCount, 0);
    EXPECT_EQ(tsLastError, kDecodeFailed);

    tsSound threeChannels = decode(encodeOgg(sineWave(500, 3, 440, 8000), 3));
    EXPECT_EQ(threeChannels.channel[0], nullptr);
    EXPECT_EQ(tsLastError, std::string("Unsupported channel count."));
}

// Offset of the comment header's vendor length: the first page holds the 30-byte identification
// header alone, the comment packet begins the second page's body after its type and "vorbis".
size_t vendorLengthOffset(const std::vector<uint8_t>& ogg) {
    size_t secondPage = 27 + 1 + 30;
    return secondPage + 27 + ogg.at(secondPage + 26) + 7;
}

void put32(std::vector<uint8_t>* bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes->at(at + i) = uint8_t(value >> (8 * i));
}

TEST(OggDecoding, LengthsInTheCommentHeaderAreNotTrusted) {
    const std::vector<uint8_t> valid = encodeOgg(sineWave(4000, 1, 440, 8000), 1);
    size_t vendorAt = vendorLengthOffset(valid);
    uint32_t vendorLength = uint32_t(valid[vendorAt]) | uint32_t(valid[vendorAt + 1]) << 8;
    size_t countAt = vendorAt + 4 + vendorLength;

    std::vector<uint8_t> hugeCount = valid;
    put32(&hugeCount, countAt, 0x7FFFFFFF);
    std::vector<uint8_t> negativeVendor = valid;
    put32(&negativeVendor, vendorAt, 0xFFFFFFFF);
    std::vector<uint8_t> longComment = valid;
    put32(&longComment, countAt, 1);
    put32(&longComment, countAt + 4, 0x7FFFFFFE);
    for (const auto* bytes : {&hugeCount, &negativeVendor, &longComment}) {
        tsSound sound = decode(*bytes);
        EXPECT_EQ(sound.channel[0], nullptr);
        EXPECT_EQ(tsLastError, kDecodeFailed);
    }
    tsSound intact = decode(valid);
    EXPECT_EQ(intact.frameCount, 4000);
    tsReleaseSound(&intact);
}

TEST(OggDecoding, FileIsReadWhole) {
    std::vector<int16_t> source = sineWave(3000, 1, 330, 5000);
    std::string path = ::testing::TempDir() + "audio_ogg_test.ogg";
    ASSERT_TRUE(writeFile(path.c_str(), encodeOgg(source, 1)));
    int rate = 0;
    tsSound sound = tsReadOggFile(path.c_str(), &rate);
    EXPECT_EQ(sound.frameCount, 3000);
    EXPECT_EQ(rate, 44100);
    tsReleaseSound(&sound);
}

}  // namespace
