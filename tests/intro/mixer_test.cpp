// The mixer: stepping, loops, ramps, clipping, and the output thread over a fake device.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "intro/sound.h"
#include "intro/sound_state.h"
#include "tests/intro/fake_wave_out.h"
#include "tests/intro/test_module.h"

namespace {

// A voice playing `sample` one value per frame at unity gain on the left.
MixVoice& unityVoice(XmSample& sample) {
    soundSetup(44100);
    MixVoice& v = mixVoiceTable[0];
    v.sample = &sample;
    setVoiceFrequency(&v, 44100);
    setVoiceVolumePan(&v, 255, 0);
    v.rampGain1 = v.gain1 * 256;
    v.rampGain2 = v.gain2 * 256;
    return v;
}

std::vector<float> leftOf(int frames) {
    std::vector<float> stereo(frames * 2, 0.0f);
    mixVoices(stereo.data(), frames);
    std::vector<float> left;
    for (int i = 0; i < frames; ++i) left.push_back(stereo[2 * i]);
    return left;
}

struct LoopedSample {
    std::vector<int16_t> data;
    XmSample sample{};
    LoopedSample(int length, uint8_t mode, uint32_t loopStart, uint32_t loopLength)
        : data(length + 8, 0) {
        for (int i = 0; i < length; ++i) data[i] = static_cast<int16_t>(100 * (i + 1));
        sample = XmSample{data.data(), static_cast<uint32_t>(length),
                          loopStart,   loopLength,
                          64,          0,
                          128,         16,
                          mode,        0};
        uint32_t end = loopStart + loopLength;
        if (mode == XM_LOOP_FORWARD) data[end] = data[loopStart];
        if (mode == XM_LOOP_PINGPONG) data[end] = data[end - 1];
    }
};

TEST(Mixer, ConstantsAt44100) {
    soundSetup(44100);
    EXPECT_EQ(mixConstants.blockFrames, 884);
    EXPECT_EQ(mixConstants.ringFrames, 88400);
    EXPECT_EQ(mixConstants.rampLength, 128);
    EXPECT_EQ(mixVoiceTable[200].index, 200);
    EXPECT_EQ(mixVoiceTable[200].direction, 1);
}

TEST(Mixer, ANonLoopingSampleStopsExactlyAtItsEnd) {
    LoopedSample s(10, XM_LOOP_NONE, 0, 10);
    MixVoice& v = unityVoice(s.sample);
    std::vector<float> left = leftOf(16);
    for (int i = 0; i < 10; ++i) EXPECT_FLOAT_EQ(left[i], 100 * (i + 1)) << i;
    for (int i = 10; i < 16; ++i) EXPECT_EQ(left[i], 0) << i;
    EXPECT_EQ(v.sample, nullptr);
}

TEST(Mixer, ForwardLoopsRepeatTheLoop) {
    LoopedSample s(8, XM_LOOP_FORWARD, 2, 4);  // values 100..800, loop over 300..600
    unityVoice(s.sample);
    std::vector<float> left = leftOf(12);
    std::vector<float> expected = {100, 200, 300, 400, 500, 600, 300, 400, 500, 600, 300, 400};
    EXPECT_EQ(left, expected);
}

TEST(Mixer, PingPongLoopsNeverRepeatTheBoundarySample) {
    LoopedSample s(8, XM_LOOP_PINGPONG, 2, 4);
    unityVoice(s.sample);
    std::vector<float> left = leftOf(14);
    std::vector<float> expected = {100, 200, 300, 400, 500, 600, 500,
                                   400, 300, 400, 500, 600, 500, 400};
    EXPECT_EQ(left, expected);
}

TEST(Mixer, FractionalStepsInterpolateAcrossTheLoopPoint) {
    LoopedSample s(4, XM_LOOP_FORWARD, 0, 4);  // 100 200 300 400, guard 100
    MixVoice& v = unityVoice(s.sample);
    setVoiceFrequency(&v, 22050);
    std::vector<float> left = leftOf(10);
    std::vector<float> expected = {100, 150, 200, 250, 300, 350, 400, 250, 100, 150};
    EXPECT_EQ(left, expected);
}

TEST(Mixer, PitchesBelow100HzPlayAt100Hz) {
    LoopedSample s(4, XM_LOOP_FORWARD, 0, 4);
    MixVoice& v = unityVoice(s.sample);
    setVoiceFrequency(&v, 30);
    MixVoice floor = v;
    setVoiceFrequency(&floor, 100);
    EXPECT_EQ(v.speedInteger, 0u);
    EXPECT_EQ(v.speedFraction, floor.speedFraction);
    EXPECT_EQ(v.frequency, 30);
}

TEST(Mixer, PingPongLoopsAtFractionalSpeedsStayInsideAndTurnAtBothEnds) {
    LoopedSample s(8, XM_LOOP_PINGPONG, 2, 4);  // loop over 300..600
    MixVoice& v = unityVoice(s.sample);
    setVoiceFrequency(&v, 44100 * 7 / 10);
    std::vector<float> left = leftOf(400);
    int turns = 0;
    for (int i = 10; i < 400; ++i) {
        EXPECT_GE(left[i], 300) << i;
        EXPECT_LE(left[i], 600) << i;
        if (i >= 2 && (left[i] - left[i - 1]) * (left[i - 1] - left[i - 2]) < 0) ++turns;
    }
    EXPECT_GT(turns, 40);  // 3 samples each way at 0.7 a frame: a turn about every 4.3 frames
}

// A voice on a constant 1000, silent with no ramp running: the next gain change ramps from 0.
MixVoice& settledSilentVoice(LoopedSample& s) {
    for (int i = 0; i < 5; ++i) s.data[i] = 1000;
    MixVoice& v = unityVoice(s.sample);
    setVoiceVolumePan(&v, 0, 0);
    v.rampGain1 = 0;
    leftOf(4);
    return v;
}

TEST(Mixer, ARampRestartedMidwayStartsFromWhereTheGainIs) {
    LoopedSample s(4, XM_LOOP_FORWARD, 0, 4);
    MixVoice& v = settledSilentVoice(s);
    setVoiceVolumePan(&v, 255, 0);
    std::vector<float> rising = leftOf(64);  // half way up
    setVoiceVolumePan(&v, 0, 0);
    std::vector<float> falling = leftOf(200);
    EXPECT_NEAR(falling[0], rising.back(), 20);  // no jump
    for (int i = 1; i < 128; ++i) EXPECT_LT(falling[i], falling[i - 1]) << i;
    for (int i = 128; i < 200; ++i) EXPECT_EQ(falling[i], 0) << i;
}

TEST(Mixer, GainChangesRampOver128Frames) {
    LoopedSample s(4, XM_LOOP_FORWARD, 0, 4);
    MixVoice& v = settledSilentVoice(s);
    setVoiceVolumePan(&v, 255, 0);
    std::vector<float> left = leftOf(200);
    EXPECT_EQ(left[0], 0);
    EXPECT_GT(left[1], 0);
    EXPECT_LT(left[1], 20);
    for (int i = 1; i < 128; ++i) EXPECT_GT(left[i], left[i - 1]) << i;
    EXPECT_NEAR(left[127], 1000, 10);
    for (int i = 128; i < 200; ++i) EXPECT_FLOAT_EQ(left[i], 1000) << i;
}

TEST(Mixer, LoudMixesClipInsteadOfWrapping) {
    TestModule m;
    m.channels = 8;
    m.addPattern(4);
    TestInstrument ins;
    TestSample loud;
    loud.values.assign(64, 32767);
    loud.loopType = 1;
    loud.loopLength = 64;
    loud.pan = 255;  // all on the right
    TestSample low = loud;
    low.values.assign(64, -32768);
    ins.samples = {loud, low};
    m.instruments = {ins};
    TestInstrument lowIns = ins;
    lowIns.keyMapSample = 1;
    m.instruments.push_back(lowIns);
    for (int c = 0; c < 8; ++c) m.set(0, 0, c, {49, uint8_t(c < 4 ? 1 : 2), 0, 0, 0});
    soundSetup(44100);
    XmSong* song = loadModule(buildModule(m));
    ASSERT_NE(song, nullptr);
    xmPrepareSong(song);
    fillBlock();
    fillBlock();
    const int16_t* block = blockFrames(1);
    // Four loud voices sum far beyond the range; the others cancel them exactly.
    EXPECT_EQ(block[0], 0);
    EXPECT_NEAR(block[1], -2, 1);
    xmFreeSong(song);

    for (TestInstrument& i : m.instruments)
        for (TestSample& s : i.samples) s.values.assign(64, 32767);
    song = loadModule(buildModule(m));
    xmPrepareSong(song);
    fillBlock();
    fillBlock();
    block = blockFrames(1);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(block[2 * i + 1], 32767) << i;
    xmFreeSong(song);
}

class Output : public ::testing::Test {
protected:
    void SetUp() override {
        TestModule m;
        m.addPattern(64);
        m.orders = {0, 0, 0, 0};
        TestInstrument ins;
        ins.samples.push_back(rampSample(1000, 0, 20));
        m.instruments.push_back(ins);
        m.set(0, 0, 0, {49, 1, 0, 0, 0});
        image = buildModule(m);
        song = loadModule(image);
        ASSERT_NE(song, nullptr);
        ASSERT_TRUE(soundInit(44100));
    }
    void TearDown() override {
        xmFreeSong(song);
        soundClose();
    }
    // Waits (bounded) for the output thread to catch up.
    bool eventually(bool (*condition)()) {
        for (int i = 0; i < 2000 && !condition(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return condition();
    }

    std::vector<uint8_t> image;
    XmSong* song = nullptr;
};

TEST_F(Output, PrefillsTheRingAndRefillsWhatTheDeviceHasPlayed) {
    ASSERT_TRUE(xmPlaySong(song));
    EXPECT_NE(fakeLoopBuffer.load(), nullptr);
    EXPECT_EQ(fillPosition(), 0);
    uint32_t timeOfFirstBlock = blockInfo(0)->timeMs;
    std::vector<int16_t> mixed(blockFrames(0), blockFrames(3));
    std::vector<int16_t> played = fakePlay(3 * 884 * 4 + 8);  // the device is inside block 3
    played.resize(mixed.size());
    EXPECT_EQ(played, mixed);
    ASSERT_TRUE(eventually([] { return fillPosition() == 3; }));
    EXPECT_GT(blockInfo(0)->timeMs, timeOfFirstBlock);  // block 0 was mixed again, 2 s later
    xmStopSong(song);
    EXPECT_EQ(fakeLoopBuffer.load(), nullptr);
    EXPECT_EQ(blockInfo(0), nullptr);
}

TEST_F(Output, ASecondSongReplacesTheFirstAndFreeingStopsIt) {
    ASSERT_TRUE(xmPlaySong(song));
    XmSong* second = loadModule(image);
    ASSERT_TRUE(xmPlaySong(second));
    fakePlay(5 * 884 * 4);
    ASSERT_TRUE(eventually([] { return fillPosition() == 5; }));
    xmFreeSong(second);
    EXPECT_EQ(fakeLoopBuffer.load(), nullptr);
    EXPECT_FALSE(xmPlaySong(nullptr));
}

TEST_F(Output, TheDevicePlaysTheRingWhileTheOutputThreadRefillsIt) {
    ASSERT_TRUE(xmPlaySong(song));
    // 250 blocks as fast as it goes: the device laps the output thread, which must hand every
    // block over whole (ThreadSanitizer watches this test).
    std::thread device([] {
        for (int i = 0; i < 250; ++i) fakePlay(884 * 4);
    });
    device.join();
    EXPECT_TRUE(eventually([] { return fillPosition() == 50; }));
    xmStopSong(song);
    EXPECT_EQ(fakeLoopBuffer.load(), nullptr);
}

TEST(SoundInit, RefusesWithoutFileCallbacks) {
    setFileCallbacks(nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_FALSE(soundInit(44100));
}

}  // namespace
