// A song of two patterns and two looping instruments for the player's tests, played tick by
// tick or block by block.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>
#include <vector>

#include "intro/sound.h"
#include "tests/intro/test_module.h"

constexpr uint8_t C4 = 49;  // note C-4 in the file (real note 48)

class Player : public ::testing::Test {
protected:
    void SetUp() override {
        soundSetup(44100);
        module.channels = 2;
        module.addPattern(8);
        module.addPattern(8);
        module.orders = {0, 1};
        TestInstrument ins;
        TestSample s = rampSample(1000, 0, 20);
        s.loopType = 1;
        s.loopStart = 100;
        s.loopLength = 800;
        ins.samples.push_back(s);
        module.instruments.push_back(ins);
        TestInstrument other = ins;
        other.samples[0].volume = 20;
        other.samples[0].relativeNote = 12;
        module.instruments.push_back(other);
    }
    void TearDown() override { xmFreeSong(song); }

    void start() {
        song = loadModule(buildModule(module));
        ASSERT_NE(song, nullptr);
        xmPrepareSong(song);
    }
    void ticks(int count) {
        for (int i = 0; i < count; ++i) xmTick(song);
    }
    // Runs the row ticks of `rows` rows at the song's current speed.
    void rows(int count) { ticks(count * song->speed); }
    XmChannel& channel(int c) { return song->channels[c]; }
    // Channel 0's volume and channel 1's pan at the end of each of the next `count` rows.
    std::pair<std::vector<int>, std::vector<int>> volumesAndPans(int count) {
        std::pair<std::vector<int>, std::vector<int>> seen;
        for (int row = 0; row < count; ++row) {
            rows(1);
            seen.first.push_back(channel(0).volume);
            seen.second.push_back(channel(1).pan);
        }
        return seen;
    }
    // Mixes the next output block (its ticks run inside) and sums how loud each side is.
    std::pair<double, double> mixLoudness() {
        int block = fillPosition();
        fillBlock();
        const int16_t* frames = blockFrames(block);
        double left = 0, right = 0;
        for (int i = 0; i < mixConstants.blockFrames; ++i) {
            left += std::abs(frames[2 * i]);
            right += std::abs(frames[2 * i + 1]);
        }
        return {left, right};
    }

    TestModule module;
    XmSong* song = nullptr;
};
