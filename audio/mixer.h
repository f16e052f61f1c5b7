// A small software mixer: up to a fixed number of decoded sounds are added into float
// accumulators four frames at a time, converted to 16-bit stereo and copied into a
// looping output ring just ahead of the device's write cursor.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

class AudioRing;

// A decoded sound. Sample arrays hold ceil(frameCount / 4) 16-byte-aligned groups of
// four floats (the 16-bit sample values, unscaled), the last group padded with zeros.
// A stereo sound keeps both channels in one block: channel[1] follows channel[0]'s groups.
// All fields zero means empty.
struct tsSound {
    int32_t frameCount;
    int32_t channelCount;  // 1 or 2; 0 when empty
    float* channel[2];     // channel[1] is null for mono
};

// A play request, copied by value.
struct tsSoundDef {
    float volumeLeft;
    float volumeRight;
    float pan;  // 0 left only, 0.5 centre, 1 right only
    tsSound* sound;
};

struct tsVoice {
    int32_t active;
    float volumeLeft, volumeRight;  // never negative
    float panLeft, panRight;
    int32_t position;  // next frame to mix; a multiple of 4 while playing
    tsSound* sound;
    tsVoice* next;  // playing list or free list
};

struct tsMixer {
    uint32_t latencyFrames;  // lead over the write cursor, a multiple of 4
    uint64_t runningIndex;   // frames written since creation; 64 bits so the offset never wraps
    int32_t sampleRate;
    int32_t bytesPerFrame;  // 4: two 16-bit channels
    int32_t ringBytes;
    int32_t groupCapacity;
    tsVoice* playing;
    float* accumLeft;  // groupCapacity groups of four floats
    float* accumRight;
    int16_t* staging;  // groupCapacity groups of eight interleaved samples
    tsVoice* pool;
    tsVoice* freeList;
    std::unique_ptr<AudioRing> ring;
    bool playStarted;  // looping playback was started after the first write
    std::mutex lock;   // held for the whole of tsStartSound and tsMixAhead
};

// The reason of the last failure; one of the constant texts of this module, never cleared.
extern const char* tsLastError;

// Opens the default audio output as a ring of sampleRate * 4 * bufferedSeconds bytes.
// window must be non-null (the program's window). Null with tsLastError set on failure.
tsMixer* tsMakeContext(void* window, int sampleRate, int latencyFactor, int bufferedSeconds,
                       int voiceCount);
// The same on a given ring device (which must hold sampleRate * 4 * bufferedSeconds bytes).
tsMixer* tsMakeContextOnRing(std::unique_ptr<AudioRing> ring, int sampleRate, int latencyFactor,
                             int bufferedSeconds, int voiceCount);
// Releases the mixer and its device. The program's mixer lives until exit; tests use this.
void tsFreeContext(tsMixer* mixer);

// Starts def on a free voice; null when none is free or the sound has no samples.
tsVoice* tsStartSound(tsMixer* mixer, tsSoundDef def);
// One mix pass: fills the ring up to latencyFrames ahead of the write cursor.
void tsMixAhead(tsMixer* mixer);
// Pauses the device once nothing mixes any more; the next pass starts it again.
void tsPausePlayback(tsMixer* mixer);

// Under the mixer's lock: 1 when voice is still playing sound (a finished voice may
// already have been taken for another sound), and then sets its volumes (clamped at 0).
bool tsSetVoiceVolume(tsMixer* mixer, tsVoice* voice, const tsSound* sound, float left,
                      float right);

// Decodes a whole Ogg Vorbis image. The empty sound and tsLastError on failure.
void tsDecodeOgg(const void* data, int length, int* sampleRate, tsSound* sound);
// Reads and decodes a file; a file that cannot be read yields the empty sound.
tsSound tsReadOggFile(const char* path, int* sampleRate);
void tsReleaseSound(tsSound* sound);
// Volumes 1.0, pan 0.5.
tsSoundDef tsDefaultDef(tsSound* sound);
