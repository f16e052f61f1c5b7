// The playback engine: rows, effects, envelopes and auto-vibrato, tick by tick, pushed to the
// mixer voices.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "intro/sound.h"
#include "intro/xm.h"

namespace {

enum Effect : uint8_t {
  ARPEGGIO = 0,
  PORTA_UP = 1,
  PORTA_DOWN = 2,
  TONE_PORTA = 3,
  VIBRATO = 4,
  TONE_PORTA_VOLUME_SLIDE = 5,
  VIBRATO_VOLUME_SLIDE = 6,
  TREMOLO = 7,
  SET_PAN = 8,
  SAMPLE_OFFSET = 9,
  VOLUME_SLIDE = 10,
  POSITION_JUMP = 11,
  SET_VOLUME = 12,
  PATTERN_BREAK = 13,
  EXTENDED = 14,
  SET_SPEED = 15,
  GLOBAL_VOLUME = 16,
  GLOBAL_VOLUME_SLIDE = 17,
  KEY_OFF = 20,
  ENVELOPE_POSITION = 21,
  PAN_SLIDE = 25,
  MULTI_RETRIGGER = 27,
  TREMOR = 29,
  EXTRA_FINE_PORTA = 33,
};

constexpr double PI = 3.14159265358979323846;
const XmInstrument emptyInstrument{};

bool linearTable(const XmSong* song) {
  return song->flags & 1;
}

const XmInstrument& instrumentOf(const XmSong* song, const XmChannel& ch) {
  return ch.instrument < song->instrumentCount ? song->instruments[ch.instrument] : emptyInstrument;
}

int amigaPeriod(int note) {
  return static_cast<int>(13.375 * std::pow(2.0, (132 - note) / 12.0));
}

// Vibrato and tremolo shapes over positions -32..31.
int waveValue(int wave, int position) {
  switch (wave & 3) {
    case 1: {
      uint8_t ramp = static_cast<uint8_t>(position * 8);
      return position < 0 ? 255 - ramp : ramp;
    }
    case 2:
      return 255;
    default:
      return static_cast<int>(std::fabs(std::sin(2 * PI * position / 64)) * 256);
  }
}

void advanceWave(int8_t& position, int speed) {
  int next = position + speed;
  while (next >= 32) next -= 64;
  position = static_cast<int8_t>(next);
}

void vibrato(XmChannel& ch) {
  int delta = ((waveValue(ch.waveControl, ch.vibratoPosition) * ch.vibratoDepth) >> 5) & ~3;
  ch.periodDelta = ch.vibratoPosition >= 0 ? -delta : delta;
  ch.flags |= XM_UPDATE_FREQUENCY;
}

void vibratoAndAdvance(XmChannel& ch) {
  vibrato(ch);
  advanceWave(ch.vibratoPosition, ch.vibratoSpeed);
}

void tremolo(XmChannel& ch) {
  int delta = (waveValue(ch.waveControl >> 4, ch.tremoloPosition) * ch.tremoloDepth) >> 6;
  ch.volumeDelta =
      ch.tremoloPosition >= 0 ? std::min(delta, 64 - ch.volume) : -std::min(delta, ch.volume);
  advanceWave(ch.tremoloPosition, ch.tremoloSpeed);
  ch.flags |= XM_UPDATE_VOLUME;
}

void tremor(XmChannel& ch) {
  if (ch.tremorCounter >= ch.tremorOn) ch.volumeDelta = -ch.volume;
  if (++ch.tremorCounter >= ch.tremorOn + ch.tremorOff) ch.tremorCounter = 0;
  ch.flags |= XM_UPDATE_VOLUME;
}

void tonePortaStep(XmChannel& ch) {
  int step = 4 * ch.tonePortaSpeed;
  if (ch.period < ch.tonePortaTarget)
    ch.period = std::min(ch.period + step, ch.tonePortaTarget);
  else
    ch.period = std::max(ch.period - step, ch.tonePortaTarget);
  ch.flags |= XM_UPDATE_FREQUENCY;
}

// The highest real note the period tables cover (ten octaves).
constexpr int HIGHEST_NOTE = 119;

// Slides stay inside the table's range of periods: past it the pitch leaves the audible range,
// and hours of one slide would overflow the period.
void slidePeriod(const XmSong* song, XmChannel& ch, int32_t change) {
  int32_t lowest = xmPeriod(song, HIGHEST_NOTE, 127), highest = xmPeriod(song, 0, -128);
  ch.period = std::clamp(ch.period + change, lowest, highest);
}

void volumeSlide(XmChannel& ch, uint8_t param) {
  int up = param >> 4, down = param & 15;
  ch.volume = up > 0 ? std::min(64, ch.volume + up) : std::max(0, ch.volume - down);
}

void volumeDown(XmChannel& ch, int amount) {
  ch.volume = std::max(0, ch.volume - amount);
}

void volumeUp(XmChannel& ch, int amount) {
  ch.volume = std::min(64, ch.volume + amount);
}

void resetEnvelope(XmEnvelopeState& envelope, int value) {
  envelope = XmEnvelopeState{0, 0, value << 16, 0, value, false};
}

void resetFromSample(XmChannel& ch) {
  ch.volume = ch.sample->volume;
  ch.pan = ch.sample->pan;
  resetEnvelope(ch.volumeEnvelope, 64);
  resetEnvelope(ch.panEnvelope, 32);
  ch.fadeout = 65536;
  ch.keyOff = false;
  if (!(ch.waveControl & 0x0C)) ch.vibratoPosition = 0;
  if (!(ch.waveControl & 0xC0)) ch.tremoloPosition = 0;
  ch.tremorCounter = 0;
  ch.autoVibratoPosition = 0;
  ch.autoVibratoSweep = 0;
  ch.flags |= XM_UPDATE_VOLUME | XM_UPDATE_PAN;
}

struct EnvelopeShape {
  const XmEnvelopePoint* points;
  int count, sustain, loopStart, loopEnd, type;
};

EnvelopeShape volumeShape(const XmInstrument& ins) {
  return {ins.volumePoints,    ins.volumePointCount, ins.volumeSustain,
          ins.volumeLoopStart, ins.volumeLoopEnd,    ins.volumeType};
}

EnvelopeShape panShape(const XmInstrument& ins) {
  return {ins.panPoints,    ins.panPointCount, ins.panSustain,
          ins.panLoopStart, ins.panLoopEnd,    ins.panType};
}

// Envelope values are 0..64; a damaged file may hold more.
int32_t level(const XmEnvelopePoint& point) {
  return std::min<int32_t>(point.y, 64);
}

int32_t envelopeStep(const XmEnvelopePoint& from, const XmEnvelopePoint& to) {
  int dx = to.x - from.x;
  return dx == 0 ? 0 : (level(to) - level(from)) * 65536 / dx;
}

// Envelope points come from the file; keeping the value in 0..64 keeps a damaged envelope
// (x not rising) from running away.
void settleEnvelopeValue(XmEnvelopeState& e) {
  e.value = std::clamp(e.value, 0, 64 << 16);
  e.current = e.value >> 16;
}

void stepEnvelope(XmEnvelopeState& e, const EnvelopeShape& shape, bool keyOff) {
  if (e.stopped) return;
  const XmEnvelopePoint* points = shape.points;
  if (e.point < static_cast<uint32_t>(shape.count) && e.tick == points[e.point].x) {
    if ((shape.type & XM_ENV_LOOP) && e.point == static_cast<uint32_t>(shape.loopEnd)) {
      e.point = shape.loopStart;
      e.tick = points[e.point].x;
    }
    if (e.point + 1 == static_cast<uint32_t>(shape.count)) {
      e.value = level(points[e.point]) << 16;
      e.stopped = true;
      settleEnvelopeValue(e);
      return;
    }
    if ((shape.type & XM_ENV_SUSTAIN) && e.point == static_cast<uint32_t>(shape.sustain) &&
        !keyOff) {
      e.value = level(points[e.point]) << 16;
      settleEnvelopeValue(e);
      return;
    }
    e.step = envelopeStep(points[e.point], points[e.point + 1]);
    e.value = level(points[e.point]) << 16;
    e.point += 1;
  } else {
    e.value += e.step;
  }
  settleEnvelopeValue(e);
  e.tick += 1;
}

// Effect Lxx: jump the volume envelope to tick `tick`.
void setEnvelopePosition(XmChannel& ch, const XmInstrument& ins, int tick) {
  if (!(ins.volumeType & XM_ENV_ON)) return;
  XmEnvelopeState& e = ch.volumeEnvelope;
  const XmEnvelopePoint* points = ins.volumePoints;
  int last = ins.volumePointCount - 1;
  int i = 0;
  while (i < last && points[i].x < tick) ++i;
  e.tick = tick;
  e.point = i;
  e.stopped = false;
  if (i == last && tick >= points[last].x) {
    e.value = level(points[last]) << 16;
    e.stopped = true;
  } else if (i > 0 && points[i].x > tick) {
    e.step = envelopeStep(points[i - 1], points[i]);
    e.value = (level(points[i - 1]) << 16) + e.step * (tick - points[i - 1].x);
  } else {
    e.step = 0;
    e.value = level(points[i]) << 16;
  }
  settleEnvelopeValue(e);
}

void stepEnvelopesAndFadeout(XmChannel& ch, const XmInstrument& ins) {
  if (ins.volumeType & XM_ENV_ON) {
    stepEnvelope(ch.volumeEnvelope, volumeShape(ins), ch.keyOff);
    ch.flags |= XM_UPDATE_VOLUME;
  } else if (ch.keyOff) {
    ch.volumeEnvelope.current = 0;
  }
  if (ins.panType & XM_ENV_ON) {
    stepEnvelope(ch.panEnvelope, panShape(ins), ch.keyOff);
    ch.flags |= XM_UPDATE_PAN;
  }
  if (ch.keyOff) {
    ch.fadeout = std::max<int32_t>(0, ch.fadeout - static_cast<int32_t>(ins.fadeout));
    ch.flags |= XM_UPDATE_VOLUME;
  }
}

void volumeColumnRow(XmChannel& ch, uint8_t byte) {
  int y = byte & 15;
  switch (byte >> 4) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
      if (byte <= 0x50) ch.volume = byte - 0x10;
      break;
    case 6:
    case 8:
      volumeDown(ch, y);
      break;
    case 7:
    case 9:
      volumeUp(ch, y);
      break;
    case 0xA:
      ch.vibratoSpeed = y;
      break;
    case 0xB:
      ch.vibratoDepth = y;
      break;
    case 0xC:
      ch.pan = y * 16;
      break;
    case 0xD:
      ch.pan -= y;
      break;
    case 0xE:
      ch.pan += y;
      break;
    case 0xF:
      if (y) ch.tonePortaSpeed = y * 16;
      ch.tonePortaTarget = ch.targetPeriod;
      ch.flags &= ~XM_TRIGGER;
      break;
  }
}

void volumeColumnTick(XmChannel& ch, uint8_t byte) {
  int y = byte & 15;
  switch (byte >> 4) {
    case 6:
      volumeDown(ch, y);
      break;
    case 7:
      volumeUp(ch, y);
      break;
    case 0xB:
      ch.vibratoDepth = y;
      vibratoAndAdvance(ch);
      break;
    case 0xD:
      ch.pan -= y;
      break;
    case 0xE:
      ch.pan += y;
      break;
    case 0xF:
      tonePortaStep(ch);
      break;
  }
}

void autoVibrato(XmChannel& ch, const XmInstrument& ins) {
  if (ins.vibratoDepth == 0) return;
  int position = ch.autoVibratoPosition & 255;
  int value = 0;
  switch (ins.vibratoType) {
    case 0:
      value = static_cast<int>(std::sin(2 * PI * position / 256) * 64);
      break;
    case 1:
      value = position < 128 ? 64 : -64;
      break;
    case 2:
      value = (128 - ((position + 128) % 256)) >> 1;
      break;
    case 3:
      value = (128 - ((384 - position) % 256)) >> 1;
      break;
  }
  value *= ins.vibratoDepth;
  if (ins.vibratoSweep) {
    value = value * static_cast<int>(ch.autoVibratoSweep) / ins.vibratoSweep;
    if (ch.autoVibratoSweep < ins.vibratoSweep) ch.autoVibratoSweep += 1;
  }
  ch.periodDelta += value >> 6;
  ch.autoVibratoPosition = (position + ins.vibratoRate) & 255;
  ch.flags |= XM_UPDATE_FREQUENCY;
}

MixVoice& partnerOf(const MixVoice& voice) {
  return mixVoiceTable[voice.index < 32 ? voice.index + 32 : voice.index - 32];
}

void pushToVoice(const XmSong* song, XmChannel& ch) {
  MixVoice* voice = ch.voice;
  if (ch.period + ch.periodDelta == 0) ch.flags &= ~XM_UPDATE_FREQUENCY;
  if (ch.flags & XM_TRIGGER) {
    // The old note fades out on the partner voice while the new one starts here.
    if (voice->sample) {
      MixVoice& partner = partnerOf(*voice);
      int32_t index = partner.index;
      partner = *voice;
      partner.index = index;
      partner.gain1 = partner.gain2 = 0;
    }
    voice->sample = ch.sample;
    uint32_t loopEnd = ch.sample->loopStart + ch.sample->loopLength;
    voice->position = voice->pendingOffset < loopEnd ? voice->pendingOffset : 0;
    voice->pendingOffset = 0;
    voice->fraction = 0;
    voice->direction = 1;
    voice->rampStartGain1 = voice->rampStartGain2 = 0;
    voice->rampGain1 = voice->rampGain2 = 0;
    voice->rampStep1 = voice->rampStep2 = 0;
    voice->rampFrames = 0;
  }
  if (ch.flags & XM_UPDATE_VOLUME) {
    int64_t volume = std::max(0, ch.volume + ch.volumeDelta);
    volume = volume * ch.volumeEnvelope.current * ch.fadeout * song->globalVolume * 255 >> 35;
    setVoiceVolumePan(voice, static_cast<int32_t>(volume), voice->pan);
  }
  if (ch.flags & XM_UPDATE_PAN) {
    int pan = ch.pan + (ch.panEnvelope.current - 32) * ((128 - std::abs(ch.pan - 128)) / 32);
    setVoiceVolumePan(voice, voice->volume, std::clamp(pan, 0, 255));
  }
  if (ch.flags & XM_UPDATE_FREQUENCY)
    setVoiceFrequency(voice, xmFrequency(song, ch.period, ch.periodDelta));
  if (ch.flags & XM_STOP) voice->position = voice->fraction = voice->pendingOffset = 0;
}

void retriggerVolume(XmChannel& ch) {
  int v = ch.volume;
  switch (ch.retrigVolumeMode) {
    case 1:
      v -= 1;
      break;
    case 2:
      v -= 2;
      break;
    case 3:
      v -= 4;
      break;
    case 4:
      v -= 8;
      break;
    case 5:
      v -= 16;
      break;
    case 6:
      v = v * 2 / 3;
      break;
    case 7:
      v /= 2;
      break;
    case 9:
      v += 1;
      break;
    case 10:
      v += 2;
      break;
    case 11:
      v += 4;
      break;
    case 12:
      v += 8;
      break;
    case 13:
      v += 16;
      break;
    case 14:
      v = v * 3 / 2;
      break;
    case 15:
      v *= 2;
      break;
  }
  ch.volume = std::clamp(v, 0, 64);
}

struct RowCopies {
  int32_t volume, period, pan;
};

void extendedRowEffect(XmSong* song, XmChannel& ch, int x, int y, const RowCopies& copies) {
  switch (x) {
    case 1:
      if (y) ch.finePortaUpMemory = y;
      slidePeriod(song, ch, -4 * ch.finePortaUpMemory);
      break;
    case 2:
      if (y) ch.finePortaDownMemory = y;
      slidePeriod(song, ch, 4 * ch.finePortaDownMemory);
      break;
    case 4:
      ch.waveControl = (ch.waveControl & 0xF0) | y;
      break;
    case 5:
      if (ch.sample != xmEmptySample()) ch.sample->finetune = static_cast<int8_t>(y);
      break;
    case 6:
      if (y == 0) {
        ch.loopRow = static_cast<uint8_t>(song->row);
      } else {
        ch.loopCounter = ch.loopCounter == 0 ? y : ch.loopCounter - 1;
        if (ch.loopCounter != 0) song->row = ch.loopRow - 1;
      }
      break;
    case 7:
      ch.waveControl = static_cast<uint8_t>((ch.waveControl & 0x0F) | y << 4);
      break;
    case 8:
      ch.pan = 16 * y;
      break;
    case 0xA:
      if (y) ch.fineVolumeMemory = y;
      volumeUp(ch, ch.fineVolumeMemory);
      break;
    case 0xB:
      if (y) ch.fineVolumeMemory = y;
      volumeDown(ch, ch.fineVolumeMemory);
      break;
    case 0xD:
      ch.volume = copies.volume;
      ch.period = copies.period;
      ch.pan = copies.pan;
      ch.flags = 0;
      break;
    case 0xE:
      song->patternDelay = y * song->speed;
      break;
  }
}

// Which order-changing effects the row holds in any channel: a jump and a break on one row go to
// the break's row of the jump's order, whatever the channel order.
struct RowJumps {
  bool positionJump, patternBreak;
};

void rowEffect(XmSong* song, XmChannel& ch, const RowJumps& jumps, const RowCopies& copies) {
  uint8_t p = ch.cell.param;
  int x = p >> 4, y = p & 15;
  switch (ch.cell.effect) {
    case PORTA_UP:
      if (p) ch.portaUpMemory = p;
      break;
    case PORTA_DOWN:
      if (p) ch.portaDownMemory = p;
      break;
    case TONE_PORTA:
      if (p) ch.tonePortaSpeed = p;
      ch.tonePortaTarget = ch.targetPeriod;
      ch.flags &= ~(XM_TRIGGER | XM_UPDATE_FREQUENCY);
      break;
    case VIBRATO:
      if (x) ch.vibratoSpeed = x;
      if (y) ch.vibratoDepth = y;
      vibrato(ch);
      break;
    case TONE_PORTA_VOLUME_SLIDE:
      ch.tonePortaTarget = ch.targetPeriod;
      if (p) ch.volumeSlideMemory = p;
      ch.flags &= ~XM_TRIGGER;
      break;
    case VIBRATO_VOLUME_SLIDE:
      if (p) ch.volumeSlideMemory = p;
      vibrato(ch);
      break;
    case TREMOLO:
      ch.tremoloSpeed = x;
      ch.tremoloDepth = y;
      break;
    case SET_PAN:
      ch.pan = p;
      break;
    case SAMPLE_OFFSET:
      if (p) ch.sampleOffsetMemory = p;
      if (ch.sampleOffsetMemory * 256u < ch.sample->loopStart + ch.sample->loopLength) {
        ch.voice->pendingOffset = ch.sampleOffsetMemory * 256u;
      } else {
        ch.flags &= ~XM_TRIGGER;
        ch.flags |= XM_STOP;
      }
      break;
    case VOLUME_SLIDE:
      if (p) ch.volumeSlideMemory = p;
      break;
    case POSITION_JUMP:
      song->nextOrder = p >= song->songLength ? 0 : p;
      if (!jumps.patternBreak) song->nextRow = 0;
      break;
    case SET_VOLUME:
      ch.volume = p;
      break;
    case PATTERN_BREAK:
      song->nextRow = 10 * x + y > 63 ? 0 : 10 * x + y;
      if (!jumps.positionJump)
        song->nextOrder = song->order + 1 >= song->songLength ? 0 : song->order + 1;
      break;
    case EXTENDED:
      extendedRowEffect(song, ch, x, y, copies);
      break;
    case SET_SPEED:
      if (p < 32)
        song->speed = p;
      else
        xmSetBpm(song, p);
      break;
    case GLOBAL_VOLUME:
      song->globalVolume = std::min<int>(p, 64);
      break;
    case GLOBAL_VOLUME_SLIDE:
      if (p) song->globalSlideMemory = p;
      break;
    case ENVELOPE_POSITION:
      setEnvelopePosition(ch, instrumentOf(song, ch), p);
      break;
    case PAN_SLIDE:
      if (p) ch.panSlideMemory = p;
      ch.flags |= XM_UPDATE_PAN;
      break;
    case MULTI_RETRIGGER:
      if (p) ch.retrigVolumeMode = x, ch.retrigInterval = y;
      break;
    case TREMOR:
      if (p) ch.tremorOn = x + 1, ch.tremorOff = y + 1;
      tremor(ch);
      break;
    case EXTRA_FINE_PORTA:
      if (x == 1) {
        if (y) ch.extraFineUpMemory = y;
        slidePeriod(song, ch, -ch.extraFineUpMemory);
      } else if (x == 2) {
        if (y) ch.extraFineDownMemory = y;
        slidePeriod(song, ch, ch.extraFineDownMemory);
      }
      break;
  }
}

void tickEffect(XmSong* song, XmChannel& ch) {
  uint8_t p = ch.cell.param;
  int x = p >> 4, y = p & 15;
  switch (ch.cell.effect) {
    case ARPEGGIO:
      if (p) {
        int phase = song->tick % 3;
        int offset = phase == 0 ? 0 : phase == 1 ? x : y;
        ch.periodDelta = linearTable(song)
                             ? 64 * offset
                             : amigaPeriod(ch.realNote + offset) - amigaPeriod(ch.realNote);
      }
      break;
    case PORTA_UP:
      slidePeriod(song, ch, -4 * ch.portaUpMemory);
      ch.period = std::max(56, ch.period);
      break;
    case PORTA_DOWN:
      slidePeriod(song, ch, 4 * ch.portaDownMemory);
      break;
    case TONE_PORTA:
      tonePortaStep(ch);
      break;
    case VIBRATO:
      vibratoAndAdvance(ch);
      break;
    case TONE_PORTA_VOLUME_SLIDE:
      tonePortaStep(ch);
      volumeSlide(ch, ch.volumeSlideMemory);
      break;
    case VIBRATO_VOLUME_SLIDE:
      vibratoAndAdvance(ch);
      volumeSlide(ch, ch.volumeSlideMemory);
      break;
    case TREMOLO:
      tremolo(ch);
      break;
    case VOLUME_SLIDE:
      volumeSlide(ch, ch.volumeSlideMemory);
      break;
    case EXTENDED:
      if (x == 9 && y != 0 && song->tick % y == 0) ch.flags |= XM_TRIGGER;
      if (x == 0xC && song->tick == y) ch.volume = 0;
      if (x == 0xD) {
        if (song->tick == y) {
          resetFromSample(ch);
          ch.period = ch.targetPeriod;
          if (ch.cell.volume) volumeColumnRow(ch, ch.cell.volume);
          ch.flags |= XM_TRIGGER;
        } else {
          ch.flags = 0;
        }
      }
      break;
    case GLOBAL_VOLUME_SLIDE: {
      int up = song->globalSlideMemory >> 4, down = song->globalSlideMemory & 15;
      song->globalVolume =
          up > 0 ? std::min(64, song->globalVolume + up) : std::max(0, song->globalVolume - down);
      break;
    }
    case PAN_SLIDE: {
      int up = ch.panSlideMemory >> 4, down = ch.panSlideMemory & 15;
      ch.pan = up > 0 ? std::min(255, ch.pan + up) : std::max(0, ch.pan - down);
      break;
    }
    case MULTI_RETRIGGER:
      if (ch.retrigInterval != 0 && song->tick % ch.retrigInterval == 0) {
        ch.flags |= XM_TRIGGER;
        retriggerVolume(ch);
      }
      break;
    case TREMOR:
      tremor(ch);
      break;
  }
}

void processChannelRow(XmSong* song, XmChannel& ch, const XmCell& cell, const RowJumps& jumps) {
  // The volume column's tone portamento (Fy) slides to the note like the effect does.
  bool tonePorta =
      cell.effect == TONE_PORTA || cell.effect == TONE_PORTA_VOLUME_SLIDE || cell.volume >= 0xF0;
  bool realNote = cell.note != 0 && cell.note != 255;
  if (!tonePorta) {
    if (cell.instrument) ch.instrument = cell.instrument - 1;
    if (realNote) ch.note = cell.note - 1;
  }
  const XmInstrument& ins = instrumentOf(song, ch);
  XmSample* sample = xmEmptySample();
  if (&ins != &emptyInstrument && ch.note < 96 && ins.keyMap[ch.note] < 16)
    sample = ins.samples[ins.keyMap[ch.note]];
  if (!tonePorta) ch.sample = sample;

  RowCopies copies{ch.volume, ch.period, ch.pan};
  if (ch.lastEffect == TREMOLO && cell.effect != TREMOLO) ch.volume += ch.volumeDelta;
  ch.lastEffect = cell.effect;
  ch.cell = cell;
  ch.volumeDelta = 0;
  ch.flags = 0;
  if (realNote) {
    ch.realNote = cell.note - 1 + ch.sample->relativeNote;
    ch.targetPeriod = xmPeriod(song, ch.realNote, ch.sample->finetune);
    if (!tonePorta) ch.period = ch.targetPeriod;
    ch.flags |= XM_TRIGGER;
  }
  ch.periodDelta = 0;
  ch.flags |= XM_UPDATE_FREQUENCY | XM_UPDATE_VOLUME | XM_UPDATE_PAN;
  if (cell.instrument) resetFromSample(ch);
  if (cell.volume) volumeColumnRow(ch, cell.volume);
  if (cell.note == 255 || cell.effect == KEY_OFF) ch.keyOff = true;
  stepEnvelopesAndFadeout(ch, ins);
  rowEffect(song, ch, jumps, copies);
  autoVibrato(ch, ins);
  pushToVoice(song, ch);
}

}  // namespace

int32_t xmPeriod(const XmSong* song, int note, int finetune) {
  if (linearTable(song)) return 7680 - 64 * note - finetune / 2;
  int period = amigaPeriod(note);
  if (finetune >= 0 || note == 0)
    return period + finetune * (period - amigaPeriod(note + 1)) / -128;
  return period + (period - amigaPeriod(note - 1)) * -finetune / -128;
}

int32_t xmFrequency(const XmSong* song, int32_t period, int32_t periodDelta) {
  int64_t sum = int64_t{period} + periodDelta;
  if (sum == 0) return 0;
  double frequency = linearTable(song) ? 8363 * std::pow(2.0, (4608.0 - period + periodDelta) / 768)
                                       : 14317056.0 / static_cast<double>(sum);
  return static_cast<int32_t>(std::clamp(frequency, -2e9, 2e9));
}

void xmSetBpm(XmSong* song, int bpm) {
  song->bpm = bpm;
  double frames = 1000 / (std::max(bpm, 1) * 0.4) * mixConstants.mixRate * 0.001;
  song->samplesPerTick = std::max(1, static_cast<int>(frames));
}

void xmProcessRow(XmSong* song) {
  song->nextOrder = song->nextRow = -1;
  const XmPattern& pattern = song->patterns[song->orders[song->order]];
  // A break or loop may name a row the pattern does not have.
  if (song->row < 0 || static_cast<uint32_t>(song->row) >= pattern.rows) song->row = 0;
  const XmCell* cells = pattern.cells + song->row * song->channelCount;
  RowJumps jumps{false, false};
  for (const XmCell* cell = cells; cell != cells + song->channelCount; ++cell) {
    jumps.positionJump |= cell->effect == POSITION_JUMP;
    jumps.patternBreak |= cell->effect == PATTERN_BREAK;
  }
  for (int c = 0; c < song->channelCount; ++c)
    processChannelRow(song, song->channels[c], cells[c], jumps);
}

void xmProcessTickEffects(XmSong* song) {
  for (int c = 0; c < song->channelCount; ++c) {
    XmChannel& ch = song->channels[c];
    const XmInstrument& ins = instrumentOf(song, ch);
    ch.volumeDelta = 0;
    ch.periodDelta = 0;
    ch.flags = XM_UPDATE_FREQUENCY | XM_UPDATE_VOLUME | XM_UPDATE_PAN;
    stepEnvelopesAndFadeout(ch, ins);
    if (ch.cell.volume) volumeColumnTick(ch, ch.cell.volume);
    tickEffect(song, ch);
    autoVibrato(ch, ins);
    pushToVoice(song, ch);
  }
}

void xmTick(XmSong* song) {
  if (song->tick != 0) {
    xmProcessTickEffects(song);
  } else {
    if (song->nextOrder >= 0) song->order = song->nextOrder;
    if (song->nextRow >= 0) song->row = song->nextRow;
    xmProcessRow(song);
    if (song->nextRow < 0) {
      song->nextRow = song->row + 1;
      if (static_cast<uint32_t>(song->nextRow) >= song->patterns[song->orders[song->order]].rows) {
        song->nextOrder =
            song->order + 1 >= song->songLength ? song->restartPosition : song->order + 1;
        song->nextRow = 0;
      }
    }
  }
  song->tick += 1;
  if (song->tick >= song->speed + song->patternDelay) {
    song->tick = 0;
    song->patternDelay = 0;
  }
}
