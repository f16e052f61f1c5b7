// The wave-output device as the intro's mixer needs it: one 16-bit stereo buffer played as an
// endless loop, whose play position can be asked in bytes.
#pragma once

#include <cstdint>

bool waveOutOpen(int mixRate);
// Starts looping playback of the whole buffer; it must stay valid until waveOutReset.
void waveOutPlayLoop(const int16_t* buffer, uint32_t bytes);
// Bytes played since waveOutPlayLoop.
uint64_t waveOutPositionBytes();
// Stops playback and forgets the buffer; the device stays open.
void waveOutReset();
void waveOutClose();

// Gives the calling thread (the output thread) time-critical priority.
void raiseThreadPriority();
