// Hand-made sounds for mixer tests: exact sample values, laid out as the decoder lays them out.
#pragma once

#include <cstring>
#include <functional>
#include <new>

#include "audio/mixer.h"

class TestSound {
public:
    // sample(frame, channel) gives each value; frames beyond the end stay zero.
    TestSound(int frames, int channels, const std::function<float(int, int)>& sample) {
        size_t groups = (size_t(frames) + 3) / 4;
        size_t bytes = groups * 16 * size_t(channels);
        float* block = static_cast<float*>(::operator new (bytes, std::align_val_t{16}));
        std::memset(block, 0, bytes);
        for (int c = 0; c < channels; ++c)
            for (int i = 0; i < frames; ++i)
                block[groups * 4 * size_t(c) + size_t(i)] = sample(i, c);
        sound = tsSound{frames, channels, {block, channels == 2 ? block + groups * 4 : nullptr}};
    }
    TestSound(int frames, float value)
        : TestSound(frames, 1, [value](int, int) { return value; }) {}
    ~TestSound() { ::operator delete (sound.channel[0], std::align_val_t{16}); }
    TestSound(const TestSound&) = delete;
    TestSound& operator=(const TestSound&) = delete;

    tsSound sound{};
};
