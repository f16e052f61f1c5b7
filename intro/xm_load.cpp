// Loading an XM image into patterns, instruments and 16-bit samples, and freeing it again.
#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>
#include <vector>

#include "intro/sound.h"
#include "intro/xm.h"

namespace {

struct FileCallbacks {
  XmOpen open;
  XmClose close;
  XmRead read;
  XmSeek seek;
  XmTell tell;
};
FileCallbacks callbacks;

// The limits of the format; larger counts only come from damaged or hostile files and would
// make a few bytes of input allocate gigabytes.
constexpr uint32_t MAX_PATTERNS = 256;
constexpr uint32_t MAX_ROWS = 256;
constexpr uint32_t MAX_INSTRUMENTS = 128;
constexpr uint8_t MAX_ENVELOPE_POINTS = 12;
constexpr uint32_t MAX_SAMPLE_LENGTH = 1u << 28;

class Reader {
public:
  explicit Reader(void* file) : file_(file) {}
  // Reads past the end leave the rest of the buffer zero-filled.
  void bytes(void* buffer, uint32_t count) {
    if (count == 0) return;
    std::memset(buffer, 0, count);
    callbacks.read(file_, buffer, count);
  }
  uint8_t u8() {
    uint8_t b[1];
    bytes(b, 1);
    return b[0];
  }
  uint16_t u16() {
    uint8_t b[2];
    bytes(b, 2);
    return static_cast<uint16_t>(b[0] | b[1] << 8);
  }
  uint32_t u32() {
    uint8_t b[4];
    bytes(b, 4);
    return b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24;
  }
  void seek(int64_t offset) { callbacks.seek(file_, offset, 0); }
  void skip(int64_t count) { callbacks.seek(file_, count, 1); }
  uint32_t tell() { return callbacks.tell(file_); }
  uint32_t remaining() {
    uint32_t here = tell();
    callbacks.seek(file_, 0, 2);
    uint32_t end = tell();
    seek(here);
    return end - here;
  }

private:
  void* file_;
};

int16_t emptySampleData[8];
XmSample emptySample{emptySampleData, 0, 0, 0, 0, 0, 128, 16, XM_LOOP_NONE, 0};

template <typename T>
T* allocateZeroed(size_t count) {
  return new (std::nothrow) T[count]();
}

XmLoadResult loadPatterns(Reader& in, XmSong* song, uint32_t patternCount) {
  for (uint32_t p = 0; p < song->allocatedPatterns; ++p) {
    XmPattern& pattern = song->patterns[p];
    uint32_t packedSize = 0;
    pattern.rows = 64;
    if (p < patternCount) {
      in.u32();  // header length: the header is always read as 9 bytes
      in.u8();   // packing type
      pattern.rows = in.u16();
      packedSize = in.u16();
      if (pattern.rows > MAX_ROWS) return XM_BAD_HEADER;
      // A pattern without rows could not be played; it plays as 64 empty ones.
      if (pattern.rows == 0) pattern.rows = 64, packedSize = 0;
    }
    uint32_t cellCount = pattern.rows * song->channelCount;
    pattern.cells = allocateZeroed<XmCell>(std::max<uint32_t>(cellCount, 1));
    if (!pattern.cells) return XM_OUT_OF_MEMORY;
    if (packedSize == 0) continue;
    for (uint32_t i = 0; i < cellCount; ++i) {
      XmCell& cell = pattern.cells[i];
      uint8_t first = in.u8();
      if (first & 0x80) {
        if (first & 1) cell.note = in.u8();
        if (first & 2) cell.instrument = in.u8();
        if (first & 4) cell.volume = in.u8();
        if (first & 8) cell.effect = in.u8();
        if (first & 16) cell.param = in.u8();
      } else {
        cell.note = first;
        cell.instrument = in.u8();
        cell.volume = in.u8();
        cell.effect = in.u8();
        cell.param = in.u8();
      }
      if (cell.note == 97) cell.note = 255;
      if (cell.instrument > 128) cell.instrument = 0;
    }
  }
  return XM_LOADED;
}

uint8_t validPoint(uint8_t point, uint8_t count) {
  return count == 0 ? 0 : std::min<uint8_t>(point, count - 1);
}

void readEnvelopeSettings(Reader& in, XmInstrument& ins) {
  in.bytes(ins.keyMap, sizeof ins.keyMap);
  for (XmEnvelopePoint& point : ins.volumePoints) point.x = in.u16(), point.y = in.u16();
  for (XmEnvelopePoint& point : ins.panPoints) point.x = in.u16(), point.y = in.u16();
  ins.volumePointCount = std::min(in.u8(), MAX_ENVELOPE_POINTS);
  ins.panPointCount = std::min(in.u8(), MAX_ENVELOPE_POINTS);
  ins.volumeSustain = validPoint(in.u8(), ins.volumePointCount);
  ins.volumeLoopStart = validPoint(in.u8(), ins.volumePointCount);
  ins.volumeLoopEnd = validPoint(in.u8(), ins.volumePointCount);
  ins.panSustain = validPoint(in.u8(), ins.panPointCount);
  ins.panLoopStart = validPoint(in.u8(), ins.panPointCount);
  ins.panLoopEnd = validPoint(in.u8(), ins.panPointCount);
  ins.volumeType = in.u8();
  ins.panType = in.u8();
  ins.vibratoType = in.u8();
  ins.vibratoSweep = in.u8();
  ins.vibratoDepth = in.u8();
  ins.vibratoRate = in.u8();
  ins.fadeout = in.u16() * 2u;
  in.u16();  // reserved
  if (ins.volumePointCount < 2) ins.volumeType = 0;
  if (ins.panPointCount < 2) ins.panType = 0;
}

void readSampleHeader(Reader& in, XmSample& sample) {
  sample.length = in.u32();
  sample.loopStart = in.u32();
  sample.loopLength = in.u32();
  sample.volume = std::min<uint8_t>(in.u8(), 64);
  sample.finetune = static_cast<int8_t>(in.u8());
  uint8_t type = in.u8();
  sample.pan = in.u8();
  sample.relativeNote = static_cast<int8_t>(in.u8());
  in.skip(23);  // reserved byte and name
  sample.loopMode = type & 2 ? XM_LOOP_PINGPONG : type & 1 ? XM_LOOP_FORWARD : XM_LOOP_NONE;
  sample.bits = type & 16 ? 16 : 8;
  if (sample.bits == 16) {
    sample.length /= 2;
    sample.loopStart /= 2;
    sample.loopLength /= 2;
  }
}

// Keeps the loop inside the sample so that the mixer and the guard value stay in bounds.
void settleLoop(XmSample& sample) {
  if (sample.loopMode != XM_LOOP_NONE && sample.loopStart < sample.length &&
      sample.loopLength > 0) {
    sample.loopLength = std::min(sample.loopLength, sample.length - sample.loopStart);
    return;
  }
  sample.loopMode = XM_LOOP_NONE;
  sample.loopStart = 0;
  sample.loopLength = sample.length;
}

XmLoadResult loadSampleData(Reader& in, XmSample& sample, XmSampleLoadHook hook, void* file) {
  uint32_t bytesPerValue = sample.bits / 8;
  sample.length = std::min(sample.length, MAX_SAMPLE_LENGTH);
  if (!hook) sample.length = std::min(sample.length, in.remaining() / bytesPerValue);
  settleLoop(sample);
  sample.data = allocateZeroed<int16_t>(sample.length + 8ull);
  if (!sample.data) return XM_OUT_OF_MEMORY;
  if (hook) {
    hook(&sample, file);
  } else {
    // The length was clamped to the bytes that remain, so this reads them all.
    std::vector<uint8_t> raw(static_cast<size_t>(sample.length) * bytesPerValue);
    in.bytes(raw.data(), static_cast<uint32_t>(raw.size()));
    int16_t running = 0;
    for (uint32_t i = 0; i < sample.length; ++i) {
      int16_t delta = bytesPerValue == 2 ? static_cast<int16_t>(raw[2 * i] | raw[2 * i + 1] << 8)
                                         : static_cast<int16_t>(raw[i] << 8);
      running = static_cast<int16_t>(running + delta);
      sample.data[i] = running;
    }
  }
  sample.bits = 16;
  uint32_t loopEnd = sample.loopStart + sample.loopLength;
  if (sample.loopMode == XM_LOOP_FORWARD) sample.data[loopEnd] = sample.data[sample.loopStart];
  if (sample.loopMode == XM_LOOP_PINGPONG) sample.data[loopEnd] = sample.data[loopEnd - 1];
  return XM_LOADED;
}

XmLoadResult loadInstruments(Reader& in, XmSong* song, XmSampleLoadHook hook, void* file) {
  for (uint32_t i = 0; i < song->instrumentCount; ++i) {
    XmInstrument& ins = song->instruments[i];
    std::fill(std::begin(ins.samples), std::end(ins.samples), &emptySample);
    uint32_t start = in.tell();
    uint32_t headerSize = in.u32();
    in.skip(23);  // name and type
    uint32_t sampleCount = in.u16();
    if (sampleCount > 16) return XM_TOO_MANY_SAMPLES;
    if (sampleCount > 0) {
      in.u32();  // sample header size: always 40
      readEnvelopeSettings(in, ins);
    }
    in.seek(int64_t{start} + headerSize);
    for (uint32_t s = 0; s < sampleCount; ++s) {
      ins.samples[s] = new (std::nothrow) XmSample();
      if (!ins.samples[s]) return XM_OUT_OF_MEMORY;
      ins.sampleCount = s + 1;
      readSampleHeader(in, *ins.samples[s]);
    }
    for (uint32_t s = 0; s < sampleCount; ++s) {
      XmLoadResult result = loadSampleData(in, *ins.samples[s], hook, file);
      if (result != XM_LOADED) return result;
    }
  }
  return XM_LOADED;
}

XmLoadResult loadSong(Reader& in, XmSong* song, XmSampleLoadHook hook, void* file) {
  char signature[17];
  in.bytes(signature, sizeof signature);
  if (std::memcmp(signature, "Extended Module: ", sizeof signature) != 0) return XM_BAD_SIGNATURE;
  song->tickCallback = xmTick;
  song->sampleLoadHook = hook;
  song->defaultGlobalVolume = 64;
  in.seek(60);
  uint32_t headerSize = in.u32();
  song->songLength = in.u16();
  song->restartPosition = in.u16();
  song->channelCount = in.u16();
  uint32_t patternCount = in.u16();
  song->instrumentCount = in.u16();
  song->flags = in.u16();
  song->defaultSpeed = in.u16();
  song->defaultBpm = in.u16();
  in.bytes(song->orders, sizeof song->orders);
  in.seek(60 + int64_t{headerSize});

  if (song->channelCount > XM_MAX_CHANNELS) return XM_TOO_MANY_CHANNELS;
  if (patternCount > MAX_PATTERNS || song->instrumentCount > MAX_INSTRUMENTS) return XM_BAD_HEADER;
  // Playback indexes the order table with these.
  song->songLength = std::clamp<uint16_t>(song->songLength, 1, 256);
  if (song->restartPosition >= song->songLength) song->restartPosition = 0;

  song->usedPatterns = 1 + *std::max_element(song->orders, song->orders + song->songLength);
  song->allocatedPatterns = std::max(patternCount, song->usedPatterns);
  song->patterns = allocateZeroed<XmPattern>(song->allocatedPatterns);
  if (!song->patterns) return XM_OUT_OF_MEMORY;
  XmLoadResult result = loadPatterns(in, song, patternCount);
  if (result != XM_LOADED) return result;

  song->instruments = allocateZeroed<XmInstrument>(std::max<uint32_t>(song->instrumentCount, 1));
  if (!song->instruments) return XM_OUT_OF_MEMORY;
  return loadInstruments(in, song, hook, file);
}

}  // namespace

void setFileCallbacks(XmOpen open, XmClose close, XmRead read, XmSeek seek, XmTell tell) {
  if (open && close && read && seek && tell)
    callbacks = {open, close, read, seek, tell};
  else
    callbacks = {};
}

bool fileCallbacksSet() {
  return callbacks.open != nullptr;
}

XmSample* xmEmptySample() {
  return &emptySample;
}

XmSong* xmLoadSong(const char* name, XmSampleLoadHook hook, XmLoadResult* result) {
  XmLoadResult outcome = XM_NOT_FOUND;
  XmSong* song = nullptr;
  void* file = fileCallbacksSet() ? callbacks.open(name) : nullptr;
  if (file) {
    song = new (std::nothrow) XmSong();
    outcome = XM_OUT_OF_MEMORY;
    if (song) {
      Reader in(file);
      outcome = loadSong(in, song, hook, file);
    }
    callbacks.close(file);
    if (outcome != XM_LOADED) {
      xmFreeSong(song);
      song = nullptr;
    }
  }
  if (result) *result = outcome;
  return song;
}

const char* xmLoadResultText(XmLoadResult result) {
  switch (result) {
    case XM_LOADED:
      return "loaded";
    case XM_NOT_FOUND:
      return "module not found";
    case XM_BAD_SIGNATURE:
      return "not an XM module";
    case XM_TOO_MANY_CHANNELS:
      return "more than 32 channels";
    case XM_BAD_HEADER:
      return "damaged header";
    case XM_TOO_MANY_SAMPLES:
      return "an instrument has more than 16 samples";
    case XM_OUT_OF_MEMORY:
      return "out of memory";
  }
  return "unknown";
}

void xmFreeSong(XmSong* song) {
  if (!song) return;
  xmStopSong(song);
  if (song->instruments) {
    for (uint32_t i = 0; i < song->instrumentCount; ++i) {
      XmInstrument& ins = song->instruments[i];
      for (uint32_t s = 0; s < ins.sampleCount; ++s) {
        if (ins.samples[s] == &emptySample || !ins.samples[s]) continue;
        delete[] ins.samples[s]->data;
        delete ins.samples[s];
      }
    }
  }
  if (song->patterns) {
    for (uint32_t p = 0; p < song->allocatedPatterns; ++p) delete[] song->patterns[p].cells;
  }
  delete[] song->instruments;
  delete[] song->patterns;
  delete song;
}
