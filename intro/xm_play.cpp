// The playback engine: rows and ticks, the song position and the periods, and each channel's
// state pushed to its mixer voice. The effects are in xm_effects.cpp, the envelopes in
// xm_envelopes.cpp.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "intro/sound.h"
#include "intro/xm.h"
#include "intro/xm_play_internal.h"

namespace {

const XmInstrument emptyInstrument{};

}  // namespace

bool linearTable(const XmSong* song) {
  return song->flags & 1;
}

const XmInstrument& instrumentOf(const XmSong* song, const XmChannel& ch) {
  return ch.instrument < song->instrumentCount ? song->instruments[ch.instrument] : emptyInstrument;
}

int amigaPeriod(int note) {
  return static_cast<int>(13.375 * std::pow(2.0, (132 - note) / 12.0));
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

namespace {

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
