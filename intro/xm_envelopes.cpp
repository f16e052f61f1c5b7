// The volume and panning envelopes, the fade-out after a key off, and the instrument's
// auto-vibrato, stepped once a tick.
#include <algorithm>
#include <cmath>

#include "intro/xm.h"
#include "intro/xm_play_internal.h"

void resetEnvelope(XmEnvelopeState& envelope, int value) {
  envelope = XmEnvelopeState{0, 0, value << 16, 0, value, false};
}

namespace {

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

}  // namespace

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
