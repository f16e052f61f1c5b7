// Voice mixing and the filling of the output ring; nothing here touches a device.
#include <emmintrin.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "intro/sound.h"
#include "intro/sound_state.h"
#include "intro/wave_out.h"
#include "intro/xm.h"

MixConstants mixConstants;
MixVoice mixVoiceTable[MIX_VOICE_COUNT];
OutputState output;

namespace {

void resetVoices() {
  for (int i = 0; i < MIX_VOICE_COUNT; ++i) {
    mixVoiceTable[i] = MixVoice{};
    mixVoiceTable[i].index = i;
    mixVoiceTable[i].direction = 1;
  }
}

// Starts, continues or ends the volume ramp of a voice; true while a ramp runs.
bool prepareRamp(MixVoice& v) {
  if (v.rampFrames > 0 && v.gain1 == v.rampStartGain1 && v.gain2 == v.rampStartGain2) return true;
  v.rampFrames = 0;
  v.rampStep1 = v.rampStep2 = 0;
  bool change1 = v.gain1 != v.rampGain1 / 256;
  bool change2 = v.gain2 != v.rampGain2 / 256;
  if (!change1 && !change2) {
    v.rampGain1 = v.gain1 * 256;
    v.rampGain2 = v.gain2 * 256;
    return false;
  }
  float perFrame = mixConstants.rampReciprocal / 255;
  if (change1) v.rampStep1 = (v.gain1 - v.rampGain1 / 256.0f) * perFrame;
  if (change2) v.rampStep2 = (v.gain2 - v.rampGain2 / 256.0f) * perFrame;
  v.rampFrames = mixConstants.rampLength;
  v.rampStartGain1 = v.gain1;
  v.rampStartGain2 = v.gain2;
  return true;
}

// Puts a position that ran past the loop boundary back inside the loop (or stops the voice).
// Positions are 32.32 fixed point.
void crossBoundary(MixVoice& v, int64_t& position) {
  const XmSample& s = *v.sample;
  int64_t loopStart = int64_t{s.loopStart} << 32;
  int64_t loopLength = int64_t{s.loopLength} << 32;
  if (s.loopMode == XM_LOOP_FORWARD) {
    position = loopStart + (position - loopStart) % loopLength;
  } else if (s.loopMode == XM_LOOP_PINGPONG && s.loopLength >= 2) {
    // Unfolded, one period runs forward over loopLength samples and back over the inner ones,
    // so neither end sample is played twice in a row.
    int64_t lastOffset = loopLength - (int64_t{1} << 32);
    int64_t period = 2 * lastOffset;
    int64_t unfolded = v.direction == 1 ? position - loopStart : period - (position - loopStart);
    unfolded %= period;
    bool forward = unfolded <= lastOffset;
    v.direction = forward ? 1 : 2;
    position = loopStart + (forward ? unfolded : period - unfolded);
  } else if (s.loopMode == XM_LOOP_PINGPONG) {
    position = loopStart;
    v.direction = 1;
  } else {
    v.sample = nullptr;
    position = 0;
  }
}

// Linear interpolation between the sample at the position and the next one, the fraction
// taken to 31 bits.
inline float interpolate(const int16_t* data, int64_t position) {
  const int16_t* at = data + (position >> 32);
  float fraction = static_cast<float>(static_cast<int32_t>(static_cast<uint32_t>(position) >> 1)) *
                   (1.0f / 2147483648.0f);
  return at[0] + fraction * (at[1] - at[0]);
}

// The sample at `at` and the next one, loaded together: the low half holds the first.
inline int32_t samplePair(const int16_t* at) {
  int32_t pair;
  std::memcpy(&pair, at, sizeof pair);
  return pair;
}

// Mixes n frames, the gains growing by their steps each frame (steps are 0 outside ramps).
// Four frames at a time with SSE2 (every x86-64 processor has it): each frame's two samples
// come in one scalar load, everything else is vector work. The low 32 bits of the positions,
// whose top 31 bits are the interpolation fraction, advance as a vector of their own.
int64_t mixFrames(const int16_t* data, int64_t position, int64_t step, float* out, int n,
                  float& gain1, float& gain2, float step1, float step2) {
  const __m128 fractionScale = _mm_set1_ps(1.0f / 2147483648.0f);
  const __m128 steps = _mm_setr_ps(step1, step2, step1, step2);
  const __m128 pairStep = _mm_add_ps(steps, steps);
  const __m128 quadStep = _mm_add_ps(pairStep, pairStep);
  const uint32_t lowStep = static_cast<uint32_t>(step);
  const __m128i lowQuadStep = _mm_set1_epi32(static_cast<int32_t>(4 * lowStep));
  __m128i lows = _mm_add_epi32(
      _mm_set1_epi32(static_cast<int32_t>(position)),
      _mm_setr_epi32(0, static_cast<int32_t>(lowStep), static_cast<int32_t>(2 * lowStep),
                     static_cast<int32_t>(3 * lowStep)));
  __m128 gains =
      _mm_add_ps(_mm_setr_ps(gain1, gain2, gain1, gain2), _mm_setr_ps(0, 0, step1, step2));
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    int64_t p1 = position + step, p2 = p1 + step, p3 = p2 + step;
    __m128i pairs =
        _mm_setr_epi32(samplePair(data + (position >> 32)), samplePair(data + (p1 >> 32)),
                       samplePair(data + (p2 >> 32)), samplePair(data + (p3 >> 32)));
    __m128 first = _mm_cvtepi32_ps(_mm_srai_epi32(_mm_slli_epi32(pairs, 16), 16));
    __m128 second = _mm_cvtepi32_ps(_mm_srai_epi32(pairs, 16));
    __m128 fraction = _mm_mul_ps(_mm_cvtepi32_ps(_mm_srli_epi32(lows, 1)), fractionScale);
    __m128 value = _mm_add_ps(first, _mm_mul_ps(fraction, _mm_sub_ps(second, first)));
    float* o = out + 2 * i;
    _mm_storeu_ps(o, _mm_add_ps(_mm_loadu_ps(o), _mm_mul_ps(_mm_unpacklo_ps(value, value), gains)));
    __m128 nextGains = _mm_add_ps(gains, pairStep);
    _mm_storeu_ps(o + 4, _mm_add_ps(_mm_loadu_ps(o + 4),
                                    _mm_mul_ps(_mm_unpackhi_ps(value, value), nextGains)));
    gains = _mm_add_ps(gains, quadStep);
    lows = _mm_add_epi32(lows, lowQuadStep);
    position = p3 + step;
  }
  gain1 += step1 * i;
  gain2 += step2 * i;
  for (; i < n; ++i) {
    float value = interpolate(data, position);
    position += step;
    out[2 * i] += value * gain1;
    out[2 * i + 1] += value * gain2;
    gain1 += step1;
    gain2 += step2;
  }
  return position;
}

void mixVoice(MixVoice& v, float* out, int frames) {
  while (frames > 0 && v.sample) {
    const XmSample& s = *v.sample;
    uint64_t speed = std::max<uint64_t>(1, uint64_t{v.speedInteger} << 32 | v.speedFraction);
    bool forward = v.direction == 1;
    int64_t position = static_cast<int64_t>(uint64_t{v.position} << 32 | v.fraction);
    int64_t distance = forward ? ((int64_t{s.loopStart} + s.loopLength) << 32) - position
                               : position - (int64_t{s.loopStart} << 32);
    int n = frames;
    bool boundary = false;
    if (distance <= 0) {
      n = 0;
      boundary = true;
    } else if ((static_cast<uint64_t>(distance) + speed - 1) / speed <= static_cast<uint64_t>(n)) {
      n = static_cast<int>((static_cast<uint64_t>(distance) + speed - 1) / speed);
      boundary = true;
    }
    bool ramping = prepareRamp(v);
    if (ramping && v.rampFrames < n) {
      n = v.rampFrames;
      boundary = false;
    }

    float gain1 = ramping ? v.rampGain1 / (256.0f * 255) : v.gain1 / 255.0f;
    float gain2 = ramping ? v.rampGain2 / (256.0f * 255) : v.gain2 / 255.0f;
    float step1 = ramping ? v.rampStep1 : 0, step2 = ramping ? v.rampStep2 : 0;
    int64_t step = forward ? static_cast<int64_t>(speed) : -static_cast<int64_t>(speed);
    if (!ramping && v.gain1 == 0 && v.gain2 == 0)
      position += step * n;  // silent: only the position moves on
    else
      position = mixFrames(s.data, position, step, out, n, gain1, gain2, step1, step2);
    if (ramping) {
      v.rampFrames -= n;
      if (v.rampFrames == 0) {
        v.rampGain1 = v.gain1 * 256;
        v.rampGain2 = v.gain2 * 256;
        v.rampStep1 = v.rampStep2 = 0;
      } else {
        v.rampGain1 = static_cast<int32_t>(std::lround(gain1 * 255 * 256));
        v.rampGain2 = static_cast<int32_t>(std::lround(gain2 * 255 * 256));
      }
    }
    if (boundary) crossBoundary(v, position);
    v.position = static_cast<uint32_t>(static_cast<uint64_t>(position) >> 32);
    v.fraction = static_cast<uint32_t>(position);
    out += 2 * n;
    frames -= n;
  }
}

}  // namespace

void soundSetup(int mixRate) {
  mixConstants.mixRate = mixRate;
  mixConstants.blockFrames = (mixRate * 20 / 1000 + 3) / 4 * 4;
  mixConstants.ringFrames = 1000 / 20 * mixConstants.blockFrames * 2;
  mixConstants.rampLength = std::max(1, mixRate * 128 / 44100);
  mixConstants.rampReciprocal = 1.0f / mixConstants.rampLength;
  mixConstants.rateReciprocal = 1.0f / mixRate;
  resetVoices();
}

void setVoiceFrequency(MixVoice* voice, int32_t frequency) {
  voice->frequency = frequency;
  uint64_t hz = static_cast<uint64_t>(std::max(frequency, 100));
  uint64_t speed = (hz << 32) / static_cast<uint64_t>(std::max(mixConstants.mixRate, 1));
  voice->speedInteger = static_cast<uint32_t>(speed >> 32);
  voice->speedFraction = static_cast<uint32_t>(speed);
}

void setVoiceVolumePan(MixVoice* voice, int32_t volume, int32_t pan) {
  voice->volumeCopy = voice->volume = volume;
  voice->panCopy = voice->pan = pan;
  // Pan 0 is hard left in the module format.
  voice->gain1 = volume * (255 - pan) / 255;
  voice->gain2 = volume * pan / 255;
}

void mixVoices(float* stereo, int frames) {
  for (int i = 0; i < MIXED_VOICE_COUNT; ++i) {
    if (mixVoiceTable[i].sample) mixVoice(mixVoiceTable[i], stereo, frames);
  }
}

bool xmPrepareSong(XmSong* song) {
  if (!song) return false;
  song->globalVolume = song->defaultGlobalVolume;
  song->speed = song->defaultSpeed;
  xmSetBpm(song, song->defaultBpm);
  song->order = song->row = song->tick = song->patternDelay = 0;
  song->timeMs = 0;
  song->samplesToTick = 0;
  song->nextOrder = song->nextRow = -1;
  resetVoices();
  for (int i = 0; i < XM_MAX_CHANNELS; ++i) {
    song->channels[i] = XmChannel{};
    song->channels[i].voice = &mixVoiceTable[i];
    song->channels[i].sample = xmEmptySample();
  }
  output.song = song;
  size_t samples = static_cast<size_t>(mixConstants.ringFrames) * 2;
  output.ring.assign(samples, 0);
  output.floatRing.assign(samples, 0.0f);
  output.clipped.assign(static_cast<size_t>(mixConstants.blockFrames) * 2, 0);
  output.blocks.assign(RING_BLOCKS, BlockInfo{});
  output.fill = 0;
  return true;
}

void releaseSongBuffers() {
  output.song = nullptr;
  std::vector<int16_t>().swap(output.ring);
  std::vector<float>().swap(output.floatRing);
  std::vector<int16_t>().swap(output.clipped);
  std::vector<BlockInfo>().swap(output.blocks);
  // No voice may keep pointing into a song that is about to be freed.
  resetVoices();
}

void fillBlock() {
  XmSong* song = output.song;
  if (!song) return;
  int frames = mixConstants.blockFrames;
  float* block = output.floatRing.data() + static_cast<size_t>(output.fill) * frames * 2;
  std::fill(block, block + frames * 2, 0.0f);
  int toTick = song->samplesToTick;
  for (int mixed = 0; mixed < frames;) {
    if (toTick == 0) {
      song->tickCallback(song);
      toTick = song->samplesPerTick;
    }
    int n = std::min(toTick, frames - mixed);
    mixVoices(block + mixed * 2, n);
    song->timeMs += static_cast<uint32_t>(n * mixConstants.rateReciprocal * 1000);
    toTick -= n;
    mixed += n;
  }
  output.blocks[output.fill] =
      BlockInfo{static_cast<uint8_t>(song->order), static_cast<uint8_t>(song->row), song->timeMs};
  song->samplesToTick = toTick;
  int16_t* target = output.clipped.data();
  // Round to nearest and clip to the 16-bit range (the pack saturates; the float clamp only
  // keeps the conversion itself in range).
  const __m128 lowest = _mm_set1_ps(-32768.0f), highest = _mm_set1_ps(32767.0f);
  auto convert = [&](const float* at) {
    return _mm_cvtps_epi32(_mm_min_ps(_mm_max_ps(_mm_loadu_ps(at), lowest), highest));
  };
  for (int i = 0; i < frames * 2; i += 8) {
    __m128i low = convert(block + i);
    __m128i high = convert(block + i + 4);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(target + i), _mm_packs_epi32(low, high));
  }
  // The device may be playing the ring: the block goes in whole, never while it is mixed.
  waveOutWriteBlock(output.ring.data() + static_cast<size_t>(output.fill) * frames * 2, target,
                    static_cast<uint32_t>(frames) * 4);
  output.fill = (output.fill + 1) % RING_BLOCKS;
}

const int16_t* blockFrames(int block) {
  return output.ring.data() + static_cast<size_t>(block) * mixConstants.blockFrames * 2;
}

const BlockInfo* blockInfo(int block) {
  return output.blocks.empty() ? nullptr : &output.blocks[block];
}

int fillPosition() {
  return output.fill;
}
