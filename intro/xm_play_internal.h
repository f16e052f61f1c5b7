// What the playback engine's files share: xm_play.cpp runs the rows and ticks, xm_effects.cpp the
// pattern effects and the volume column, xm_envelopes.cpp the envelopes, fade-out and
// auto-vibrato.
#pragma once

#include <cstdint>

#include "intro/xm.h"

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

// xm_play.cpp
bool linearTable(const XmSong* song);
const XmInstrument& instrumentOf(const XmSong* song, const XmChannel& ch);
int amigaPeriod(int note);
// A new note or instrument: the sample's volume and pan, the envelopes and effect positions anew.
void resetFromSample(XmChannel& ch);

// xm_effects.cpp
struct RowCopies {
  int32_t volume, period, pan;
};

// Which order-changing effects the row holds in any channel: a jump and a break on one row go to
// the break's row of the jump's order, whatever the channel order.
struct RowJumps {
  bool positionJump, patternBreak;
};

void volumeColumnRow(XmChannel& ch, uint8_t byte);
void volumeColumnTick(XmChannel& ch, uint8_t byte);
void rowEffect(XmSong* song, XmChannel& ch, const RowJumps& jumps, const RowCopies& copies);
void tickEffect(XmSong* song, XmChannel& ch);

// xm_envelopes.cpp
void resetEnvelope(XmEnvelopeState& envelope, int value);
void setEnvelopePosition(XmChannel& ch, const XmInstrument& ins, int tick);
void stepEnvelopesAndFadeout(XmChannel& ch, const XmInstrument& ins);
void autoVibrato(XmChannel& ch, const XmInstrument& ins);
