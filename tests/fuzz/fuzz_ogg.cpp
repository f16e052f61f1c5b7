// Hostile bytes through the game's Ogg Vorbis decoding, as a sound or track file would reach it.
#include <cstdint>
#include <cstdlib>

#include "audio/mixer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    tsSound sound{};
    int rate = 0;
    tsDecodeOgg(data, int(size), &rate, &sound);
    if (sound.frameCount < 0) std::abort();
    if (sound.frameCount > 0) {
        if (sound.channelCount != 1 && sound.channelCount != 2) std::abort();
        if ((reinterpret_cast<uintptr_t>(sound.channel[0]) & 15) != 0) std::abort();
        // Touch the padded last group of every channel: it must lie inside the block.
        size_t groups = (size_t(sound.frameCount) + 3) / 4;
        volatile float sum = 0;
        for (int c = 0; c < sound.channelCount; ++c) sum = sum + sound.channel[c][groups * 4 - 1];
    }
    tsReleaseSound(&sound);
    return 0;
}
