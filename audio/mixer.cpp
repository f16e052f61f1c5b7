#include "audio/mixer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>
#include <vector>

#include "audio/ogg_vorbis.h"
#include "device/audio_ring.h"
#include "store/files.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

const char* tsLastError = nullptr;

namespace {

constexpr int kBytesPerFrame = 4;

uint32_t roundUp(uint32_t value, uint32_t multiple) {
    return (value + multiple - 1) / multiple * multiple;
}

// 16-byte-aligned blocks: the distance to the allocation (1..16) sits in the byte before.
void* allocAligned(size_t bytes) {
    uint8_t* raw = static_cast<uint8_t*>(std::malloc(bytes + 16));
    if (!raw) return nullptr;
    uint8_t shift = static_cast<uint8_t>(16 - (reinterpret_cast<uintptr_t>(raw) & 15));
    uint8_t* aligned = raw + shift;
    aligned[-1] = shift;
    return aligned;
}

void freeAligned(void* block) {
    if (!block) return;
    uint8_t* aligned = static_cast<uint8_t*>(block);
    std::free(aligned - aligned[-1]);
}

bool hasSamples(const tsSound* sound) {
    if (!sound || sound->frameCount <= 0 || !sound->channel[0]) return false;
    return sound->channelCount == 1 || (sound->channelCount == 2 && sound->channel[1]);
}

// accum[k] += source[k] * gain for `groups` groups of four floats.
void addScaled(float* accum, const float* source, float gain, int groups) {
#if defined(__SSE2__)
    const __m128 g = _mm_set1_ps(gain);
    for (int k = 0; k < groups; ++k) {
        __m128 a = _mm_load_ps(accum + 4 * k);
        __m128 s = _mm_load_ps(source + 4 * k);
        _mm_store_ps(accum + 4 * k, _mm_add_ps(a, _mm_mul_ps(s, g)));
    }
#else
    for (int i = 0; i < groups * 4; ++i) accum[i] += source[i] * gain;
#endif
}

// Rounds to nearest (ties to even), clips to 16 bits and interleaves left and right.
// The clamp before the conversion keeps sums beyond the 32-bit range from turning negative.
void packStereo(const float* left, const float* right, int16_t* out, int groups) {
#if defined(__SSE2__)
    const __m128 lo = _mm_set1_ps(-32768.0f);
    const __m128 hi = _mm_set1_ps(32767.0f);
    for (int k = 0; k < groups; ++k) {
        __m128i l = _mm_cvtps_epi32(_mm_min_ps(_mm_max_ps(_mm_load_ps(left + 4 * k), lo), hi));
        __m128i r = _mm_cvtps_epi32(_mm_min_ps(_mm_max_ps(_mm_load_ps(right + 4 * k), lo), hi));
        __m128i packed = _mm_packs_epi32(_mm_unpacklo_epi32(l, r), _mm_unpackhi_epi32(l, r));
        _mm_store_si128(reinterpret_cast<__m128i*>(out + 8 * k), packed);
    }
#else
    for (int i = 0; i < groups * 4; ++i) {
        out[2 * i] = static_cast<int16_t>(std::nearbyint(std::clamp(left[i], -32768.0f, 32767.0f)));
        out[2 * i + 1] =
            static_cast<int16_t>(std::nearbyint(std::clamp(right[i], -32768.0f, 32767.0f)));
    }
#endif
}

void finishVoice(tsMixer* mixer, tsVoice* voice, tsVoice* previous) {
    if (previous)
        previous->next = voice->next;
    else
        mixer->playing = voice->next;
    voice->position = 0;
    voice->active = 0;
    voice->next = mixer->freeList;
    mixer->freeList = voice;
}

// Adds the first `frames` frames ahead of every playing voice into the accumulators.
void mixVoices(tsMixer* mixer, int frames) {
    tsVoice* previous = nullptr;
    tsVoice* voice = mixer->playing;
    while (voice) {
        tsVoice* following = voice->next;
        const tsSound* sound = voice->sound;
        int n = std::min(frames, sound->frameCount - voice->position);
        int groups = (n + 3) / 4;
        int s = voice->position / 4 * 4;
        const float* left = sound->channel[0] + s;
        const float* right = (sound->channelCount == 2 ? sound->channel[1] : sound->channel[0]) + s;
        addScaled(mixer->accumLeft, left, voice->volumeLeft * voice->panLeft, groups);
        addScaled(mixer->accumRight, right, voice->volumeRight * voice->panRight, groups);
        voice->position += n;
        if (voice->position >= sound->frameCount)
            finishVoice(mixer, voice, previous);
        else
            previous = voice;
        voice = following;
    }
}

// Copies the staged frames into the ring at offset; false when the ring cannot be locked.
bool writeRing(tsMixer* mixer, uint32_t offset, uint32_t bytes) {
    RingRegions regions{};
    RingLock result = mixer->ring->lock(offset, bytes, &regions);
    if (result == RingLock::Lost) {
        mixer->ring->restore();
        result = mixer->ring->lock(offset, bytes, &regions);
    }
    if (result != RingLock::Ok) return false;
    uint32_t firstFrames = regions.firstBytes / kBytesPerFrame;
    uint32_t secondFrames = regions.secondBytes / kBytesPerFrame;
    std::memcpy(regions.first, mixer->staging, size_t{firstFrames} * kBytesPerFrame);
    if (regions.second)
        std::memcpy(regions.second, mixer->staging + 2 * firstFrames,
                    size_t{secondFrames} * kBytesPerFrame);
    mixer->ring->unlock(regions);
    mixer->runningIndex += firstFrames + secondFrames;
    return true;
}

}  // namespace

tsMixer* tsMakeContext(void* window, int sampleRate, int latencyFactor, int bufferedSeconds,
                       int voiceCount) {
    if (!window) {
        tsLastError = "Invalid hwnd passed to tsMakeContext.";
        return nullptr;
    }
    if (sampleRate <= 0 || bufferedSeconds <= 0) {
        tsLastError = "DirectSoundCreate failed";
        return nullptr;
    }
    uint32_t ringBytes =
        roundUp(static_cast<uint32_t>(sampleRate) * static_cast<uint32_t>(bufferedSeconds), 4) *
        kBytesPerFrame;
    const char* error = nullptr;
    std::unique_ptr<AudioRing> ring = openAudioRing(window, sampleRate, ringBytes, &error);
    if (!ring) {
        tsLastError = error;
        return nullptr;
    }
    return tsMakeContextOnRing(std::move(ring), sampleRate, latencyFactor, bufferedSeconds,
                               voiceCount);
}

tsMixer* tsMakeContextOnRing(std::unique_ptr<AudioRing> ring, int sampleRate, int latencyFactor,
                             int bufferedSeconds, int voiceCount) {
    if (!ring || sampleRate <= 0 || latencyFactor <= 0 || bufferedSeconds <= 0 || voiceCount < 0 ||
        int64_t{sampleRate} * bufferedSeconds > (1 << 26)) {
        tsLastError = "Failed to set format on secondary buffer";
        return nullptr;
    }
    uint32_t groupCapacity =
        roundUp(static_cast<uint32_t>(sampleRate) * static_cast<uint32_t>(bufferedSeconds), 4);
    size_t bufferBytes = size_t{groupCapacity} * 16;
    size_t recordBytes = roundUp(sizeof(tsMixer), 16);
    size_t total =
        recordBytes + 16 + 3 * bufferBytes + sizeof(tsVoice) * static_cast<size_t>(voiceCount);
    void* block = std::malloc(total);
    if (!block) {
        tsLastError = "Failed to set format on secondary buffer";
        return nullptr;
    }
    tsMixer* mixer = new (block) tsMixer();
    uintptr_t buffers = reinterpret_cast<uintptr_t>(block) + recordBytes;
    buffers = (buffers + 15) & ~uintptr_t{15};
    mixer->latencyFrames = roundUp(static_cast<uint32_t>(sampleRate / latencyFactor), 4);
    mixer->runningIndex = 0;
    mixer->sampleRate = sampleRate;
    mixer->bytesPerFrame = kBytesPerFrame;
    mixer->ringBytes = static_cast<int32_t>(groupCapacity * kBytesPerFrame);
    mixer->groupCapacity = static_cast<int32_t>(groupCapacity);
    mixer->playing = nullptr;
    mixer->accumLeft = reinterpret_cast<float*>(buffers);
    mixer->accumRight = reinterpret_cast<float*>(buffers + bufferBytes);
    mixer->staging = reinterpret_cast<int16_t*>(buffers + 2 * bufferBytes);
    mixer->pool = voiceCount > 0 ? reinterpret_cast<tsVoice*>(buffers + 3 * bufferBytes) : nullptr;
    for (int i = 0; i < voiceCount; ++i) {
        mixer->pool[i] = tsVoice{};
        mixer->pool[i].next = i + 1 < voiceCount ? &mixer->pool[i + 1] : nullptr;
    }
    mixer->freeList = mixer->pool;
    mixer->ring = std::move(ring);
    mixer->playStarted = false;
    return mixer;
}

void tsFreeContext(tsMixer* mixer) {
    if (!mixer) return;
    mixer->~tsMixer();
    std::free(mixer);
}

tsVoice* tsStartSound(tsMixer* mixer, tsSoundDef def) {
    std::lock_guard<std::mutex> guard(mixer->lock);
    tsVoice* voice = mixer->freeList;
    if (!voice || !hasSamples(def.sound)) return nullptr;
    mixer->freeList = voice->next;
    voice->active = 1;
    voice->volumeLeft = std::max(0.0f, def.volumeLeft);
    voice->volumeRight = std::max(0.0f, def.volumeRight);
    if (def.pan > 1.0f) {
        voice->panLeft = 0.0f;
        voice->panRight = 1.0f;
    } else if (def.pan < 0.0f) {
        voice->panLeft = 1.0f;
        voice->panRight = 0.0f;
    } else {
        voice->panLeft = 1.0f - def.pan;
        voice->panRight = def.pan;
    }
    voice->position = 0;
    voice->sound = def.sound;
    voice->next = mixer->playing;
    mixer->playing = voice;
    return voice;
}

void tsMixAhead(tsMixer* mixer) {
    std::lock_guard<std::mutex> guard(mixer->lock);
    uint32_t cursor = 0;
    if (!mixer->ring->writeCursor(&cursor)) return;
    uint32_t ringBytes = static_cast<uint32_t>(mixer->ringBytes);
    uint32_t lockOffset = static_cast<uint32_t>(mixer->runningIndex * kBytesPerFrame % ringBytes);
    uint32_t ahead =
        uint32_t((uint64_t{cursor} + uint64_t{mixer->latencyFrames} * kBytesPerFrame) % ringBytes);
    // Rounding up can reach the ring's end, which is its start: a target there would have one
    // pass write the whole ring, over sound still to be played.
    uint32_t target = roundUp(ahead, 16) % ringBytes;
    uint32_t byteCount =
        lockOffset <= target ? target - lockOffset : ringBytes - lockOffset + target;
    if (byteCount == 0) return;
    int frames = static_cast<int>(byteCount / kBytesPerFrame);
    int groups = frames / 4;
    std::memset(mixer->accumLeft, 0, static_cast<size_t>(groups) * 16);
    std::memset(mixer->accumRight, 0, static_cast<size_t>(groups) * 16);
    mixVoices(mixer, frames);
    packStereo(mixer->accumLeft, mixer->accumRight, mixer->staging, groups);
    if (!writeRing(mixer, lockOffset, byteCount)) return;
    if (!mixer->playStarted) {
        mixer->ring->play();
        mixer->playStarted = true;
    }
}

void tsPausePlayback(tsMixer* mixer) {
    std::lock_guard<std::mutex> guard(mixer->lock);
    if (!mixer->playStarted) return;
    mixer->ring->pause();
    mixer->playStarted = false;
}

bool tsSetVoiceVolume(tsMixer* mixer, tsVoice* voice, const tsSound* sound, float left,
                      float right) {
    std::lock_guard<std::mutex> guard(mixer->lock);
    if (!voice || !voice->active || voice->sound != sound) return false;
    voice->volumeLeft = std::max(0.0f, left);
    voice->volumeRight = std::max(0.0f, right);
    return true;
}

namespace {

// Longer streams are refused, so that a small file cannot claim gigabytes.
constexpr int kMaxDecodedFrames = 1 << 25;

size_t wholeGroups(size_t frames) {
    return (frames + 3) & ~static_cast<size_t>(3);
}

// The channels of a sound being decoded, in one block as tsSound keeps them: channel c starts at
// block + c * capacity, capacity a whole number of groups of four frames.
struct PlanarBlock {
    float* block = nullptr;
    size_t capacity = 0;
    int channels = 0;
};

bool reserveFrames(PlanarBlock* out, size_t frames, size_t used) {
    if (frames <= out->capacity) return true;
    size_t capacity = wholeGroups(frames);
    float* block = static_cast<float*>(
        allocAligned(capacity * sizeof(float) * static_cast<size_t>(out->channels)));
    if (!block) return false;
    for (int c = 0; c < out->channels && out->block; ++c)
        std::memcpy(block + capacity * static_cast<size_t>(c),
                    out->block + out->capacity * static_cast<size_t>(c), used * sizeof(float));
    freeAligned(out->block);
    out->block = block;
    out->capacity = capacity;
    return true;
}

// Decodes packet by packet straight into the float block, sized once from the length the stream
// claims: a whole track never sits in memory twice.
int decodeIntoBlock(OggDecoder* decoder, int declaredFrames, PlanarBlock* out) {
    constexpr int kChunk = 4096;
    short chunk[2][kChunk];
    short* const chunks[2] = {chunk[0], chunk[1]};
    size_t frames = 0;
    if (!reserveFrames(
            out, static_cast<size_t>(std::min(std::max(declaredFrames, kChunk), kMaxDecodedFrames)),
            0))
        return 0;
    for (;;) {
        int n = decodeOggFrames(decoder, chunks, kChunk);
        if (n <= 0) break;
        if (frames + static_cast<size_t>(n) > static_cast<size_t>(kMaxDecodedFrames)) return 0;
        if (frames + static_cast<size_t>(n) > out->capacity &&
            !reserveFrames(out, std::max(frames + static_cast<size_t>(n), out->capacity * 2),
                           frames))
            return 0;
        for (int c = 0; c < out->channels; ++c) {
            float* to = out->block + out->capacity * static_cast<size_t>(c) + frames;
            for (int i = 0; i < n; ++i) to[i] = chunk[c][i];
        }
        frames += static_cast<size_t>(n);
    }
    return static_cast<int>(frames);
}

}  // namespace

void tsDecodeOgg(const void* data, int length, int* sampleRate, tsSound* sound) {
    *sound = tsSound{};
    int channels = 0;
    int rate = 0;
    int declaredFrames = 0;
    OggDecoder* decoder = openOggDecoder(static_cast<const unsigned char*>(data), length, &channels,
                                         &rate, &declaredFrames);
    if (sampleRate) *sampleRate = rate;
    if (decoder && channels != 1 && channels != 2) {
        closeOggDecoder(decoder);
        tsLastError = "Unsupported channel count.";
        return;
    }
    PlanarBlock out;
    out.channels = channels;
    int frames = decoder ? decodeIntoBlock(decoder, declaredFrames, &out) : 0;
    closeOggDecoder(decoder);
    if (frames <= 0) {
        freeAligned(out.block);
        tsLastError =
            "stb_vorbis_decode_memory failed. Make sure your file exists and is a valid OGG file.";
        return;
    }
    // Channel 1 follows channel 0's groups, and the last group is padded with silence.
    size_t padded = wholeGroups(static_cast<size_t>(frames));
    for (int c = 0; c < channels; ++c) {
        float* channel = out.block + out.capacity * static_cast<size_t>(c);
        std::fill(channel + frames, channel + padded, 0.0f);
        if (c > 0)
            std::memmove(out.block + padded * static_cast<size_t>(c), channel,
                         padded * sizeof(float));
    }
    sound->frameCount = frames;
    sound->channelCount = channels;
    sound->channel[0] = out.block;
    sound->channel[1] = channels == 2 ? out.block + padded : nullptr;
}

tsSound tsReadOggFile(const char* path, int* sampleRate) {
    // A file of a gigabyte or more is no sound effect: it is refused like an unreadable one.
    const std::optional<std::vector<char>> file = readWholeFile(path);
    const std::vector<char> none;
    const std::vector<char>& bytes = file && file->size() < (size_t{1} << 30) ? *file : none;
    tsSound sound{};
    tsDecodeOgg(bytes.data(), static_cast<int>(bytes.size()), sampleRate, &sound);
    return sound;
}

void tsReleaseSound(tsSound* sound) {
    freeAligned(sound->channel[0]);
    *sound = tsSound{};
}

tsSoundDef tsDefaultDef(tsSound* sound) {
    return tsSoundDef{1.0f, 1.0f, 0.5f, sound};
}
