// The pattern effects and the volume column: what a row sets up on its first tick and what the
// later ticks of the row do.
#include <algorithm>
#include <cmath>

#include "intro/sound.h"
#include "intro/xm.h"
#include "intro/xm_play_internal.h"

namespace {

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

}  // namespace

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

namespace {

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

}  // namespace

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
