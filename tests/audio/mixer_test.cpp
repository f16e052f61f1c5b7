#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "audio/mixer.h"
#include "tests/audio/fake_ring.h"
#include "tests/audio/test_sound.h"

namespace {

constexpr uint32_t kRingBytes = 882000;
constexpr uint32_t kFirstPassBytes = 2940 * 4;

class MixerTest : public ::testing::Test {
protected:
    void SetUp() override { makeMixer(5); }
    void TearDown() override { tsFreeContext(mixer); }

    void makeMixer(int voices) {
        tsFreeContext(mixer);
        auto device = std::make_unique<FakeRing>(kRingBytes);
        ring = device.get();
        mixer = tsMakeContextOnRing(std::move(device), 44100, 15, 5, voices);
        ASSERT_NE(mixer, nullptr);
    }

    // Left and right output of frame i of everything written so far.
    std::pair<int, int> frame(size_t i) const {
        std::vector<int16_t> h = ring->history();
        return {h.at(2 * i), h.at(2 * i + 1)};
    }

    int freeVoices() const {
        int count = 0;
        for (tsVoice* v = mixer->freeList; v; v = v->next) ++count;
        return count;
    }

    // Frame 0 of one pass that plays def alone on a fresh mixer.
    std::pair<int, int> firstFrameOf(tsSoundDef def) {
        makeMixer(5);
        EXPECT_NE(tsStartSound(mixer, def), nullptr);
        tsMixAhead(mixer);
        return frame(0);
    }

    FakeRing* ring = nullptr;
    tsMixer* mixer = nullptr;
};

TEST_F(MixerTest, FirstPassWritesTheLatencyAndStartsPlaybackOnce) {
    EXPECT_EQ(mixer->latencyFrames, 2940u);
    EXPECT_EQ(mixer->ringBytes, int32_t(kRingBytes));

    tsMixAhead(mixer);
    ASSERT_EQ(ring->locks().size(), 1u);
    EXPECT_EQ(ring->locks()[0].offset, 0u);
    EXPECT_EQ(ring->locks()[0].bytes, kFirstPassBytes);
    EXPECT_EQ(mixer->runningIndex, 2940u);
    EXPECT_EQ(ring->plays(), 1);

    // The cursor has not moved: the target equals the write offset, so not even a lock.
    tsMixAhead(mixer);
    EXPECT_EQ(ring->locks().size(), 1u);

    ring->advance(1760);
    tsMixAhead(mixer);
    ASSERT_EQ(ring->locks().size(), 2u);
    EXPECT_EQ(ring->locks()[1].offset, kFirstPassBytes);
    EXPECT_EQ(ring->locks()[1].bytes, 1760u);
    EXPECT_EQ(ring->plays(), 1);
}

TEST_F(MixerTest, TargetRoundedUpToTheRingsEndIsItsStart) {
    // The whole ring is written, and the target lies 4 bytes before its end: rounded up to
    // whole groups it is the end, which is where the writing stands already.
    mixer->runningIndex = kRingBytes / 4;
    ring->setCursor(kRingBytes - kFirstPassBytes - 4);
    tsMixAhead(mixer);
    EXPECT_TRUE(ring->locks().empty());

    ring->setCursor(kRingBytes - kFirstPassBytes - 4 + 1760);
    tsMixAhead(mixer);
    ASSERT_EQ(ring->locks().size(), 1u);
    EXPECT_EQ(ring->locks()[0].offset, 0u);
    EXPECT_EQ(ring->locks()[0].bytes, 1760u);
}

TEST_F(MixerTest, WrappingRangeIsWrittenThroughBothRegionsInOrder) {
    // 1000 frames before the end of the ring, with the cursor 4000 bytes before it.
    mixer->runningIndex = kRingBytes / 4 - 1000;
    ring->setCursor(kRingBytes - 4000);
    TestSound ramp(5000, 1, [](int i, int) { return float(i); });
    tsStartSound(mixer, tsSoundDef{2.0f, 2.0f, 0.5f, &ramp.sound});
    tsMixAhead(mixer);

    ASSERT_EQ(ring->locks().size(), 1u);
    EXPECT_EQ(ring->locks()[0].offset, kRingBytes - 4000);
    EXPECT_EQ(ring->locks()[0].bytes, kFirstPassBytes);
    auto sampleAt = [&](uint32_t byte) {
        int16_t value;
        std::memcpy(&value, ring->bytes() + byte, 2);
        return value;
    };
    EXPECT_EQ(sampleAt(kRingBytes - 4000), 0);
    EXPECT_EQ(sampleAt(kRingBytes - 4), 999);
    EXPECT_EQ(sampleAt(0), 1000);  // the second region continues where the first stopped
    EXPECT_EQ(sampleAt(kFirstPassBytes - 4000 - 4), 2939);
    EXPECT_EQ(mixer->runningIndex, kRingBytes / 4 + 1940);
}

TEST_F(MixerTest, WritePositionStaysContinuousPast2To30Frames) {
    mixer->runningIndex = (uint64_t{1} << 30) - 2 * 2940;
    uint32_t start = uint32_t(mixer->runningIndex * 4 % kRingBytes);
    ring->setCursor(start);
    tsMixAhead(mixer);
    for (int pass = 0; pass < 4; ++pass) {
        ring->advance(kFirstPassBytes);
        tsMixAhead(mixer);
    }
    std::vector<LockCall> locks = ring->locks();
    ASSERT_EQ(locks.size(), 5u);
    EXPECT_EQ(locks[0].offset, start);
    EXPECT_EQ(ring->discontinuities(), 0);
    EXPECT_GT(mixer->runningIndex, uint64_t{1} << 30);
}

TEST_F(MixerTest, SoundShorterThanAPassEndsWithinItAndFreesItsVoice) {
    TestSound blip(100, 1000.0f);
    ASSERT_NE(tsStartSound(mixer, tsDefaultDef(&blip.sound)), nullptr);
    EXPECT_EQ(freeVoices(), 4);
    tsMixAhead(mixer);
    EXPECT_EQ(mixer->playing, nullptr);
    EXPECT_EQ(freeVoices(), 5);
    EXPECT_EQ(frame(0), std::make_pair(500, 500));
    EXPECT_EQ(frame(99), std::make_pair(500, 500));
    EXPECT_EQ(frame(100), std::make_pair(0, 0));
    for (tsVoice* v = mixer->freeList; v; v = v->next) EXPECT_EQ(v->active, 0);
}

TEST_F(MixerTest, FullScaleVoicesClipInsteadOfWrapping) {
    TestSound loud(8, 2, [](int, int c) { return c == 0 ? 32767.0f : -32768.0f; });
    tsStartSound(mixer, tsSoundDef{2.0f, 2.0f, 0.5f, &loud.sound});
    tsStartSound(mixer, tsSoundDef{2.0f, 2.0f, 0.5f, &loud.sound});
    // A gain far beyond any sum a 32-bit conversion could hold must clip the same way.
    tsStartSound(mixer, tsSoundDef{1e9f, 1e9f, 0.5f, &loud.sound});
    tsMixAhead(mixer);
    EXPECT_EQ(frame(0), std::make_pair(32767, -32768));
    EXPECT_EQ(frame(7), std::make_pair(32767, -32768));
}

TEST_F(MixerTest, PanAndVolumeSetTheGainOfEachSide) {
    TestSound mono(64, 1000.0f);
    EXPECT_EQ(firstFrameOf(tsDefaultDef(&mono.sound)), std::make_pair(500, 500));
    EXPECT_EQ(firstFrameOf({1.0f, 1.0f, 2.0f, &mono.sound}), std::make_pair(0, 1000));
    EXPECT_EQ(firstFrameOf({1.0f, 1.0f, -1.0f, &mono.sound}), std::make_pair(1000, 0));
    EXPECT_EQ(firstFrameOf({-1.0f, -3.0f, 0.5f, &mono.sound}), std::make_pair(0, 0));
    EXPECT_EQ(firstFrameOf({1.0f, 0.5f, 0.25f, &mono.sound}), std::make_pair(750, 125));

    // Stereo keeps its channels apart; mono feeds both.
    TestSound stereo(64, 2, [](int, int c) { return c == 0 ? 1000.0f : -2000.0f; });
    EXPECT_EQ(firstFrameOf({2.0f, 2.0f, 0.5f, &stereo.sound}), std::make_pair(1000, -2000));
    EXPECT_EQ(firstFrameOf({2.0f, 2.0f, 0.5f, &mono.sound}), std::make_pair(1000, 1000));
}

TEST_F(MixerTest, RoundsToNearestEven) {
    TestSound halves(4, 1, [](int i, int) { return float(i) + 0.5f; });  // 0.5 1.5 2.5 3.5
    tsStartSound(mixer, {1.0f, 1.0f, 1.0f, &halves.sound});
    tsMixAhead(mixer);
    EXPECT_EQ(frame(0).second, 0);
    EXPECT_EQ(frame(1).second, 2);
    EXPECT_EQ(frame(2).second, 2);
    EXPECT_EQ(frame(3).second, 4);
}

TEST_F(MixerTest, StereoSoundOf4kPlus1FramesEndsOnItsOwnLastFrame) {
    TestSound odd(9, 2, [](int i, int c) { return c == 0 ? 100.0f + i : -100.0f - i; });
    tsStartSound(mixer, {2.0f, 2.0f, 0.5f, &odd.sound});
    tsMixAhead(mixer);
    EXPECT_EQ(frame(0), std::make_pair(100, -100));
    EXPECT_EQ(frame(8), std::make_pair(108, -108));
    for (size_t i = 9; i < 16; ++i) EXPECT_EQ(frame(i), std::make_pair(0, 0)) << i;
    EXPECT_EQ(mixer->playing, nullptr);
}

TEST_F(MixerTest, SixthSoundIsDroppedAndChangesNothing) {
    TestSound tone(10000, 100.0f);
    for (int i = 0; i < 5; ++i) ASSERT_NE(tsStartSound(mixer, tsDefaultDef(&tone.sound)), nullptr);
    tsVoice* head = mixer->playing;
    EXPECT_EQ(tsStartSound(mixer, tsDefaultDef(&tone.sound)), nullptr);
    EXPECT_EQ(mixer->playing, head);
    tsMixAhead(mixer);
    EXPECT_EQ(frame(0), std::make_pair(250, 250));
}

TEST_F(MixerTest, SoundsWithoutSamplesAreRefused) {
    tsSound empty{};
    EXPECT_EQ(tsStartSound(mixer, tsDefaultDef(&empty)), nullptr);
    EXPECT_EQ(tsStartSound(mixer, tsDefaultDef(nullptr)), nullptr);
    tsSound noSamples{100, 1, {nullptr, nullptr}};
    EXPECT_EQ(tsStartSound(mixer, tsDefaultDef(&noSamples)), nullptr);
    EXPECT_EQ(freeVoices(), 5);
    tsMixAhead(mixer);
    EXPECT_EQ(frame(0), std::make_pair(0, 0));
}

TEST_F(MixerTest, MixerWithoutVoicesPlaysNothing) {
    makeMixer(0);
    TestSound tone(100, 100.0f);
    EXPECT_EQ(tsStartSound(mixer, tsDefaultDef(&tone.sound)), nullptr);
    tsMixAhead(mixer);
    EXPECT_EQ(ring->written(), kFirstPassBytes);
}

TEST_F(MixerTest, LostBufferIsRestoredOncePerPass) {
    ring->loseNextLocks(1);
    tsMixAhead(mixer);
    EXPECT_EQ(ring->restores(), 1);
    EXPECT_EQ(ring->locks().size(), 2u);
    EXPECT_EQ(ring->written(), kFirstPassBytes);

    // Still lost after the restore: nothing is written and the next pass retries the range.
    ring->advance(1760);
    ring->loseNextLocks(2);
    tsMixAhead(mixer);
    EXPECT_EQ(ring->restores(), 2);
    EXPECT_EQ(ring->locks().size(), 4u);
    EXPECT_EQ(mixer->runningIndex, 2940u);
    tsMixAhead(mixer);
    EXPECT_EQ(ring->locks().back().offset, kFirstPassBytes);
    EXPECT_EQ(ring->written(), kFirstPassBytes + 1760);

    ring->advance(1760);
    ring->failNextCursorQueries(1);
    tsMixAhead(mixer);
    EXPECT_EQ(ring->locks().size(), 5u);
}

TEST_F(MixerTest, VolumeOfAFinishedVoiceIsNotChanged) {
    TestSound blip(4, 1000.0f);
    TestSound other(4000, 1000.0f);
    tsVoice* voice = tsStartSound(mixer, tsDefaultDef(&blip.sound));
    EXPECT_EQ(tsSetVoiceVolume(mixer, voice, &blip.sound, 0.5f, 0.5f), 1);
    tsMixAhead(mixer);
    // The voice went back to the pool and now plays another sound.
    ASSERT_EQ(tsStartSound(mixer, tsDefaultDef(&other.sound)), voice);
    EXPECT_EQ(tsSetVoiceVolume(mixer, voice, &blip.sound, 0.0f, 0.0f), 0);
    EXPECT_EQ(voice->volumeLeft, 1.0f);
}

}  // namespace
