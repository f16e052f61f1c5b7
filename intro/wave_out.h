// The wave-output device as the intro's mixer needs it: one 16-bit stereo buffer played as an
// endless loop, whose play position can be asked in bytes. Each back end (SDL2 here) is one file.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

bool waveOutOpen(int mixRate);
// Starts looping playback of the whole buffer; it must stay valid until waveOutReset.
void waveOutPlayLoop(const int16_t* buffer, uint32_t bytes);
// Copies a finished block into the looping buffer at `target`, in one step as the device sees
// it, so that the device never plays a block half written.
void waveOutWriteBlock(int16_t* target, const int16_t* block, uint32_t bytes);
// Bytes played since waveOutPlayLoop.
uint64_t waveOutPositionBytes();
// Stops playback and forgets the buffer; the device stays open.
void waveOutReset();
void waveOutClose();

// Gives the calling thread (the output thread) time-critical priority.
void raiseThreadPriority();

// The device side of a looping buffer, shared by the back ends whose device asks for bytes:
// copies `length` bytes from `cursor` on, wrapping at the end, and returns the new cursor.
inline uint32_t copyFromLoop(const uint8_t* loop, uint32_t loopBytes, uint32_t cursor, uint8_t* out,
                             uint32_t length) {
  for (uint32_t done = 0; done < length;) {
    uint32_t n = std::min(length - done, loopBytes - cursor);
    std::memcpy(out + done, loop + cursor, n);
    cursor = (cursor + n) % loopBytes;
    done += n;
  }
  return cursor;
}
