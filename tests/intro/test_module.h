// Small XM modules built in memory for the player's tests.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "intro/xm.h"

struct TestSample {
    std::vector<int16_t> values;
    bool sixteenBit = true;
    uint8_t loopType = 0;                    // 0 none, 1 forward, 2 ping-pong
    uint32_t loopStart = 0, loopLength = 0;  // in samples
    uint8_t volume = 64;
    int8_t finetune = 0;
    uint8_t pan = 128;
    int8_t relativeNote = 0;
};

using TestEnvelope = std::vector<std::pair<uint16_t, uint16_t>>;  // (tick, value) points

struct TestInstrument {
    std::vector<TestSample> samples;
    TestEnvelope volumeEnvelope;
    uint8_t volumeType = 0;
    uint8_t sustain = 0, loopStart = 0, loopEnd = 0;
    TestEnvelope panEnvelope;
    uint8_t panType = 0;
    uint8_t panSustain = 0, panLoopStart = 0, panLoopEnd = 0;
    uint8_t vibratoType = 0, vibratoSweep = 0, vibratoDepth = 0, vibratoRate = 0;
    uint16_t fadeout = 0;
    uint8_t keyMapSample = 0;  // every note plays this sample slot
    std::vector<uint8_t>
        keyMap;  // when not empty: the sample slot of each note from 0 on, the rest keyMapSample
    uint16_t declaredSampleCount = 0xFFFF;  // written instead of the real count when set
};

struct TestPattern {
    uint16_t rows = 64;
    std::vector<XmCell> cells;  // rows x channels
};

struct TestModule {
    uint16_t channels = 2;
    uint16_t flags = 1;
    uint16_t speed = 6, bpm = 125;
    uint16_t restart = 0;
    std::vector<uint8_t> orders{0};
    std::vector<TestPattern> patterns;
    std::vector<TestInstrument> instruments;

    TestPattern& addPattern(uint16_t rows = 64);
    void set(int pattern, int row, int channel, XmCell cell);
};

std::vector<uint8_t> buildModule(const TestModule& module);

// Loads a module image through the in-memory file callbacks.
XmSong* loadModule(const std::vector<uint8_t>& image, XmLoadResult* result = nullptr);

// A sample of `length` values counting up from `first`.
TestSample rampSample(int length, int first = 0, int stride = 1);
