// Loading modules: packing, sample decoding, loop guards, refusals and damaged images.
#include <gtest/gtest.h>

#include <random>

#include "intro/sound.h"
#include "tests/intro/test_module.h"

namespace {

TestModule oneInstrumentModule(TestSample sample) {
    TestModule m;
    m.addPattern(4);
    TestInstrument ins;
    ins.samples.push_back(std::move(sample));
    m.instruments.push_back(ins);
    return m;
}

TEST(XmLoader, UnpacksBothCellFormsAndTurnsNote97IntoKeyOff) {
    TestModule m = oneInstrumentModule(rampSample(8));
    m.set(0, 0, 0, {49, 1, 0x40, 12, 0x20});  // full form
    m.set(0, 0, 1, {97, 0, 0, 0, 0});         // mask form, key off
    m.set(0, 1, 1, {0, 0, 0, 15, 3});
    m.set(0, 2, 0, {50, 1, 0x30, 4, 0x11});
    m.set(0, 3, 1, {0, 200, 0, 0, 0});  // instrument above 128
    XmSong* song = loadModule(buildModule(m));
    ASSERT_NE(song, nullptr);
    const XmCell* c = song->patterns[0].cells;
    EXPECT_EQ(c[0].note, 49);
    EXPECT_EQ(c[0].effect, 12);
    EXPECT_EQ(c[0].param, 0x20);
    EXPECT_EQ(c[1].note, 255);
    EXPECT_EQ(c[3].effect, 15);
    EXPECT_EQ(c[3].param, 3);
    EXPECT_EQ(c[3].note, 0);
    EXPECT_EQ(c[4].volume, 0x30);
    EXPECT_EQ(c[7].instrument, 0);
    EXPECT_EQ(song->patterns[0].rows, 4u);
    xmFreeSong(song);
}

TEST(XmLoader, PatternsNamedOnlyByTheOrderTableGet64EmptyRows) {
    TestModule m = oneInstrumentModule(rampSample(8));
    m.orders = {0, 3, 0};
    XmSong* song = loadModule(buildModule(m));
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->usedPatterns, 4u);
    EXPECT_EQ(song->allocatedPatterns, 4u);
    EXPECT_EQ(song->patterns[3].rows, 64u);
    EXPECT_EQ(song->patterns[3].cells[0].note, 0);
    xmFreeSong(song);
}

TEST(XmLoader, DecodesDeltasWrapping16BitAndWidens8Bit) {
    TestSample wide;
    wide.values = {0, 30000, -30000, 32767, -32768, 5};
    TestModule m = oneInstrumentModule(wide);
    TestSample narrow;
    narrow.sixteenBit = false;
    narrow.values = {0, 127 << 8, -128 * 256, 1 << 8};
    m.instruments[0].samples.push_back(narrow);
    XmSong* song = loadModule(buildModule(m));
    ASSERT_NE(song, nullptr);
    const XmInstrument& ins = song->instruments[0];
    ASSERT_EQ(ins.sampleCount, 2u);
    for (size_t i = 0; i < wide.values.size(); ++i)
        EXPECT_EQ(ins.samples[0]->data[i], wide.values[i]) << i;
    EXPECT_EQ(ins.samples[1]->bits, 16);
    EXPECT_EQ(ins.samples[1]->length, 4u);
    for (size_t i = 0; i < narrow.values.size(); ++i)
        EXPECT_EQ(ins.samples[1]->data[i], narrow.values[i]) << i;
    // Unused slots share the empty sample.
    EXPECT_EQ(ins.samples[5], xmEmptySample());
    xmFreeSong(song);
}

TEST(XmLoader, WritesTheGuardValueAfterEachLoop) {
    TestSample forward = rampSample(16, 100, 10);
    forward.loopType = 1;
    forward.loopStart = 4;
    forward.loopLength = 6;
    TestSample pingPong = forward;
    pingPong.loopType = 2;
    TestSample zeroLoop = forward;
    zeroLoop.loopLength = 0;
    TestModule m = oneInstrumentModule(forward);
    m.instruments[0].samples.push_back(pingPong);
    m.instruments[0].samples.push_back(zeroLoop);
    XmSong* song = loadModule(buildModule(m));
    ASSERT_NE(song, nullptr);
    XmSample* const* s = song->instruments[0].samples;
    EXPECT_EQ(s[0]->loopMode, XM_LOOP_FORWARD);
    EXPECT_EQ(s[0]->loopStart, 4u);
    EXPECT_EQ(s[0]->loopLength, 6u);  // bytes halved for 16-bit data
    EXPECT_EQ(s[0]->data[10], s[0]->data[4]);
    EXPECT_EQ(s[1]->loopMode, XM_LOOP_PINGPONG);
    EXPECT_EQ(s[1]->data[10], s[1]->data[9]);
    EXPECT_EQ(s[2]->loopMode, XM_LOOP_NONE);
    EXPECT_EQ(s[2]->loopStart, 0u);
    EXPECT_EQ(s[2]->loopLength, 16u);
    xmFreeSong(song);
}

TEST(XmLoader, KeepsLoopsInsideTheSample) {
    TestSample s = rampSample(10);
    s.loopType = 1;
    s.loopStart = 6;
    s.loopLength = 100;
    TestSample outside = s;
    outside.loopStart = 50;
    TestModule m = oneInstrumentModule(s);
    m.instruments[0].samples.push_back(outside);
    XmSong* song = loadModule(buildModule(m));
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->instruments[0].samples[0]->loopLength, 4u);
    EXPECT_EQ(song->instruments[0].samples[1]->loopMode, XM_LOOP_NONE);
    xmFreeSong(song);
}

TEST(XmLoader, DoublesFadeoutAndSwitchesOffShortEnvelopes) {
    TestModule m = oneInstrumentModule(rampSample(8));
    m.instruments[0].fadeout = 0x800;
    m.instruments[0].volumeEnvelope = {{0, 64}};
    m.instruments[0].volumeType = XM_ENV_ON;
    XmSong* song = loadModule(buildModule(m));
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->instruments[0].fadeout, 0x1000u);
    EXPECT_EQ(song->instruments[0].volumeType, 0);
    xmFreeSong(song);
}

TEST(XmLoader, RefusesWhatItCannotPlayWithAClearResult) {
    XmLoadResult result;
    std::vector<uint8_t> image = buildModule(oneInstrumentModule(rampSample(8)));
    image[3] = 'X';
    EXPECT_EQ(loadModule(image, &result), nullptr);
    EXPECT_EQ(result, XM_BAD_SIGNATURE);

    TestModule wide = oneInstrumentModule(rampSample(8));
    wide.channels = 33;
    wide.patterns.clear();
    wide.addPattern(4);
    EXPECT_EQ(loadModule(buildModule(wide), &result), nullptr);
    EXPECT_EQ(result, XM_TOO_MANY_CHANNELS);
    wide.channels = 32;
    wide.patterns.clear();
    wide.addPattern(4);
    XmSong* song = loadModule(buildModule(wide), &result);
    EXPECT_NE(song, nullptr);
    xmFreeSong(song);

    TestModule crowded = oneInstrumentModule(rampSample(8));
    crowded.instruments[0].declaredSampleCount = 17;
    EXPECT_EQ(loadModule(buildModule(crowded), &result), nullptr);
    EXPECT_EQ(result, XM_TOO_MANY_SAMPLES);

    std::vector<uint8_t> empty;
    EXPECT_EQ(loadModule(empty, &result), nullptr);
    EXPECT_EQ(result, XM_BAD_SIGNATURE);
}

// Damaged images must load or be refused, and what loads must play, without reading outside
// any buffer (run under the sanitizers in CI).
TEST(XmLoader, SurvivesTruncatedAndCorruptedImages) {
    TestModule m;
    m.channels = 4;
    m.orders = {0, 1, 0};
    m.addPattern(16);
    m.addPattern(8);
    for (int row = 0; row < 16; ++row)
        m.set(0, row, row % 4, {uint8_t(40 + row), 1, 0x30, uint8_t(row), 0x2F});
    m.set(1, 3, 0, {60, 2, 0, 13, 0x40});
    TestInstrument ins;
    TestSample looped = rampSample(64, -3000, 97);
    looped.loopType = 2;
    looped.loopStart = 10;
    looped.loopLength = 40;
    ins.samples = {looped, rampSample(32, 500, -31)};
    ins.volumeEnvelope = {{0, 64}, {4, 20}, {9, 50}, {20, 0}};
    ins.volumeType = XM_ENV_ON | XM_ENV_SUSTAIN | XM_ENV_LOOP;
    ins.sustain = 2;
    ins.loopStart = 1;
    ins.loopEnd = 2;
    m.instruments = {ins, ins};
    const std::vector<uint8_t> good = buildModule(m);

    soundSetup(44100);
    auto playBriefly = [](const std::vector<uint8_t>& image) {
        XmSong* song = loadModule(image);
        if (!song) return;
        xmPrepareSong(song);
        for (int i = 0; i < 8; ++i) fillBlock();
        xmFreeSong(song);
    };
    for (size_t length = 0; length < good.size(); length += 7)
        playBriefly(std::vector<uint8_t>(good.begin(), good.begin() + length));
    std::mt19937 random(1234);
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> image = good;
        for (int flips = 0; flips < 6; ++flips)
            image[17 + random() % (image.size() - 17)] = random();
        playBriefly(image);
    }
}

}  // namespace
