// The intro's XM module player: loader and the tick-by-tick playback engine that drives the
// mixer voices of sound.h.
#pragma once

#include <cstdint>

struct MixVoice;

// File access used by every read of the loader. seek modes: 0 from the start, 1 from the
// current position, 2 from the end; the position is clamped to the length.
using XmOpen = void* (*)(const char* name);
using XmClose = void (*)(void* file);
using XmRead = uint32_t (*)(void* file, void* buffer, uint32_t count);
using XmSeek = void (*)(void* file, int64_t offset, int mode);
using XmTell = uint32_t (*)(void* file);

// Stores the five callbacks; if any is null all five are cleared (and soundInit refuses to run).
void setFileCallbacks(XmOpen open, XmClose close, XmRead read, XmSeek seek, XmTell tell);
bool fileCallbacksSet();

enum XmLoopMode : uint8_t { XM_LOOP_NONE = 1, XM_LOOP_FORWARD = 2, XM_LOOP_PINGPONG = 4 };

struct XmSample {
  int16_t* data;  // length + 8 values; one guard value after the loop for interpolation
  uint32_t length;
  uint32_t loopStart;
  uint32_t loopLength;
  uint8_t volume;  // 0..64
  int8_t finetune;
  uint8_t pan;
  uint8_t bits;  // 16 after loading
  uint8_t loopMode;
  int8_t relativeNote;
};

struct XmEnvelopePoint {
  uint16_t x, y;
};

enum XmEnvelopeBits : uint8_t { XM_ENV_ON = 1, XM_ENV_SUSTAIN = 2, XM_ENV_LOOP = 4 };

struct XmInstrument {
  uint32_t sampleCount;   // 0..16
  XmSample* samples[16];  // slots beyond sampleCount point at the shared empty sample
  uint8_t keyMap[96];
  XmEnvelopePoint volumePoints[12];
  XmEnvelopePoint panPoints[12];
  uint8_t volumePointCount, panPointCount;
  uint8_t volumeSustain, volumeLoopStart, volumeLoopEnd;
  uint8_t panSustain, panLoopStart, panLoopEnd;
  uint8_t volumeType, panType;
  uint8_t vibratoType, vibratoSweep, vibratoDepth, vibratoRate;
  uint32_t fadeout;  // doubled by the loader
};

struct XmCell {
  uint8_t note;        // 0 none, 1..96, 255 key off
  uint8_t instrument;  // 0 none, 1..128
  uint8_t volume;
  uint8_t effect;
  uint8_t param;
};

struct XmPattern {
  uint32_t rows;
  XmCell* cells;  // rows x channelCount, row-major
};

struct XmEnvelopeState {
  uint32_t point;
  uint32_t tick;
  int32_t value;    // 16.16
  int32_t step;     // 16.16
  int32_t current;  // 0..64
  bool stopped;
};

enum XmChannelFlags : uint8_t {
  XM_UPDATE_FREQUENCY = 1,
  XM_UPDATE_VOLUME = 2,
  XM_UPDATE_PAN = 4,
  XM_TRIGGER = 8,
  XM_STOP = 32,
};

struct XmChannel {
  uint8_t note;
  uint8_t instrument;
  XmSample* sample;
  MixVoice* voice;
  uint8_t flags;
  int32_t period;
  int32_t volume;                  // 0..64 (Cxx may set more)
  int32_t pan;                     // 0..255
  int32_t volumeDelta;             // tremolo and tremor
  int32_t periodDelta;             // vibrato and arpeggio
  XmEnvelopeState volumeEnvelope;  // current 0..64
  XmEnvelopeState panEnvelope;     // current 0..64, 32 = centre
  int32_t fadeout;                 // 65536 at a new note
  uint32_t autoVibratoPosition;
  uint32_t autoVibratoSweep;
  bool keyOff;
  uint8_t lastEffect;
  XmCell cell;  // this row's cell, for the effects of the later ticks
  int32_t realNote;
  int32_t targetPeriod;
  uint8_t portaUpMemory, portaDownMemory;
  uint8_t tonePortaSpeed;
  int32_t tonePortaTarget;
  uint8_t volumeSlideMemory;
  uint8_t finePortaUpMemory, finePortaDownMemory;
  uint8_t fineVolumeMemory;
  uint8_t extraFineUpMemory, extraFineDownMemory;
  uint8_t panSlideMemory;
  uint8_t sampleOffsetMemory;
  uint8_t retrigInterval, retrigVolumeMode;
  int8_t vibratoPosition;
  uint8_t vibratoSpeed, vibratoDepth;
  int8_t tremoloPosition;
  uint8_t tremoloSpeed, tremoloDepth;
  uint8_t waveControl;
  uint8_t tremorCounter, tremorOn, tremorOff;
  uint8_t loopRow, loopCounter;
};

// Modules with more channels are refused: channel i drives voice i and its partner i + 32.
constexpr int XM_MAX_CHANNELS = 32;

struct XmSong;
using XmTickCallback = void (*)(XmSong* song);
// Supplies the 16-bit data of a sample instead of the file (no delta decoding then).
using XmSampleLoadHook = void (*)(XmSample* sample, void* file);

struct XmSong {
  XmPattern* patterns;
  XmInstrument* instruments;
  int32_t samplesToTick;
  int32_t samplesPerTick;
  uint16_t songLength;
  uint16_t restartPosition;
  uint16_t channelCount;
  uint32_t usedPatterns;
  uint32_t allocatedPatterns;
  uint16_t instrumentCount;
  uint16_t flags;  // bit 0: linear frequency table
  uint16_t defaultSpeed;
  uint16_t defaultBpm;
  uint8_t orders[256];
  uint8_t defaultGlobalVolume;
  int32_t globalVolume;
  uint8_t globalSlideMemory;
  int32_t tick;
  int32_t speed;
  int32_t bpm;
  int32_t row, order;
  int32_t patternDelay;
  int32_t nextRow, nextOrder;
  uint32_t timeMs;
  XmTickCallback tickCallback;
  XmSampleLoadHook sampleLoadHook;
  XmChannel channels[XM_MAX_CHANNELS];
};

// How a load ended; xmLoadSong returns null for all but XM_LOADED.
enum XmLoadResult {
  XM_LOADED,
  XM_NOT_FOUND,
  XM_BAD_SIGNATURE,
  XM_TOO_MANY_CHANNELS,
  XM_BAD_HEADER,
  XM_TOO_MANY_SAMPLES,
  XM_OUT_OF_MEMORY,
};

XmSong* xmLoadSong(const char* name, XmSampleLoadHook hook, XmLoadResult* result = nullptr);
const char* xmLoadResultText(XmLoadResult result);
void xmFreeSong(XmSong* song);

// Playback (sound.cpp): stop any current song, reset this one and start the output.
bool xmPlaySong(XmSong* song);
void xmStopSong(XmSong* song);

void xmTick(XmSong* song);
void xmProcessRow(XmSong* song);
void xmProcessTickEffects(XmSong* song);

// The shared sample of length 0 that empty slots and missing instruments point at.
XmSample* xmEmptySample();

// Sets samplesPerTick from the song's BPM at the current mix rate.
void xmSetBpm(XmSong* song, int bpm);
// The frequency in Hz for a period on the song's table; 0 when period + delta is 0.
int32_t xmFrequency(const XmSong* song, int32_t period, int32_t periodDelta);
int32_t xmPeriod(const XmSong* song, int realNote, int finetune);
