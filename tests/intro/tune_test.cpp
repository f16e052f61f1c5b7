// The intro's own tune as the build makes it: the format the scene expects, and a song that
// plays over two minutes with envelopes, every kind of loop and a wide spread of effects.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <vector>

#include "intro/sound.h"
#include "tests/intro/test_module.h"

namespace {

class Tune : public ::testing::Test {
protected:
    void SetUp() override {
        std::ifstream file(INTRO_TUNE_PATH, std::ios::binary);
        image.assign(std::istreambuf_iterator<char>(file), {});
        soundSetup(44100);
        song = loadModule(image);
        ASSERT_NE(song, nullptr);
    }
    void TearDown() override { xmFreeSong(song); }

    std::vector<uint8_t> image;
    XmSong* song = nullptr;
};

TEST_F(Tune, HasTheFormatTheIntroPlays) {
    EXPECT_EQ(song->channelCount, 18);
    EXPECT_EQ(song->flags & 1, 1);
    EXPECT_EQ(song->defaultSpeed, 3);
    EXPECT_EQ(song->defaultBpm, 151);
}

TEST_F(Tune, PlaysOverTwoMinutesBeforeItLoops) {
    xmPrepareSong(song);
    double seconds = 0;
    int highestOrder = 0;
    // Run tick by tick until playback comes back to an earlier order.
    while (seconds < 600) {
        xmTick(song);
        seconds += song->samplesPerTick / 44100.0;
        if (song->order < highestOrder) break;
        highestOrder = song->order;
    }
    EXPECT_EQ(highestOrder, song->songLength - 1);
    EXPECT_GE(seconds, 120);
    EXPECT_LT(seconds, 600);
}

TEST_F(Tune, UsesEnvelopesLoopsAndManyEffects) {
    bool envelope = false, forward = false, pingPong = false;
    for (int i = 0; i < song->instrumentCount; ++i) {
        const XmInstrument& ins = song->instruments[i];
        envelope |= (ins.volumeType & XM_ENV_ON) != 0;
        for (uint32_t s = 0; s < ins.sampleCount; ++s) {
            forward |= ins.samples[s]->loopMode == XM_LOOP_FORWARD;
            pingPong |= ins.samples[s]->loopMode == XM_LOOP_PINGPONG;
        }
    }
    EXPECT_TRUE(envelope);
    EXPECT_TRUE(forward);
    EXPECT_TRUE(pingPong);
    std::set<int> effects, volumeColumn;
    for (uint32_t p = 0; p < song->allocatedPatterns; ++p) {
        const XmPattern& pattern = song->patterns[p];
        for (uint32_t c = 0; c < pattern.rows * song->channelCount; ++c) {
            const XmCell& cell = pattern.cells[c];
            if (cell.effect || cell.param)
                effects.insert(cell.effect == 14 ? 0xE0 | cell.param >> 4 : cell.effect);
            if (cell.volume >= 0x60) volumeColumn.insert(cell.volume >> 4);
        }
    }
    EXPECT_GE(effects.size(), 25u);
    EXPECT_GE(volumeColumn.size(), 8u);
}

}  // namespace
