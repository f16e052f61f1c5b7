// The intro's mixer and wave output: 64 interpolating voices in 32.32 fixed-point stepping with
// click-free volume ramps, mixed in float and clipped to 16-bit stereo into a ring of 20 ms
// blocks that the wave-output device plays as one endlessly looping buffer.
#pragma once

#include <cstdint>

struct XmSample;
struct XmSong;

struct MixVoice {
  int32_t index;
  int32_t volumeCopy;
  int32_t frequency;
  int32_t panCopy;
  int32_t volume;  // 0..127
  int32_t pan;     // 0..255
  uint32_t pendingOffset;
  XmSample* sample;      // null = silent
  int32_t gain1, gain2;  // left and right targets: volume x (255 - pan) / 255, volume x pan / 255
  uint32_t position;
  uint32_t fraction;
  uint32_t speedFraction, speedInteger;
  int32_t direction;  // 1 forward, 2 backward
  int32_t rampStartGain1, rampStartGain2;
  int32_t rampGain1, rampGain2;  // 8.8 fixed point
  float rampStep1, rampStep2;
  int32_t rampFrames;
};

struct BlockInfo {
  uint8_t order;
  uint8_t row;
  uint32_t timeMs;
};

constexpr int MIX_VOICE_COUNT = 256;
constexpr int MIXED_VOICE_COUNT = 64;
constexpr int RING_BLOCKS = 100;

// Derived from the mix rate by soundInit / soundSetup.
struct MixConstants {
  int mixRate;
  int blockFrames;  // 20 ms rounded up to a multiple of 4: 884 at 44100 Hz
  int ringFrames;   // 100 blocks
  int rampLength;   // 128 at 44100 Hz
  float rampReciprocal;
  float rateReciprocal;
};

extern MixConstants mixConstants;
extern MixVoice mixVoiceTable[MIX_VOICE_COUNT];

// Opens the wave output at the mix rate and sets up the mixer. False without the file
// callbacks or when the device cannot be opened.
bool soundInit(int mixRate);
void soundClose();

// The device-independent part of soundInit: constants and zeroed voices.
void soundSetup(int mixRate);

// Resets the song's playback state, attaches channel i to voice i, makes it the current song
// and allocates the rings; no output starts. xmPlaySong does this, then starts the output.
bool xmPrepareSong(XmSong* song);
// Releases what xmPrepareSong allocated.
void releaseSongBuffers();

// Mixes the next block of the ring (the song's ticks run from here) and advances the fill position.
void fillBlock();
// The 16-bit stereo frames of a block, and the bookkeeping recorded when it was mixed.
const int16_t* blockFrames(int block);
const BlockInfo* blockInfo(int block);
int fillPosition();

void mixVoices(float* stereo, int frames);
void setVoiceFrequency(MixVoice* voice, int32_t frequency);
// Sets volume 0..127 and pan 0..255; the gains follow and the mixer ramps towards them.
void setVoiceVolumePan(MixVoice* voice, int32_t volume, int32_t pan);

// Refills the blocks the device has played until xmStopSong asks it to stop.
void outputThread();
