// The wave output over WinMM: one prepared header describes the whole ring and loops it
// endlessly; the device reports how many bytes it has played.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <mmsystem.h>

#include "intro/wave_out.h"

namespace {

HWAVEOUT device;
WAVEHDR header;
// The device counts played bytes in 32 bits; the count wraps after about 6.7 hours at 44100 Hz.
DWORD lastReported;
uint64_t wrappedBytes;

}  // namespace

bool waveOutOpen(int mixRate) {
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 2;
  format.nSamplesPerSec = DWORD(mixRate);
  format.wBitsPerSample = 16;
  format.nBlockAlign = 4;
  format.nAvgBytesPerSec = DWORD(mixRate) * 4;
  if (waveOutOpen(&device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
    device = nullptr;
    return false;
  }
  return true;
}

void waveOutPlayLoop(const int16_t* buffer, uint32_t bytes) {
  if (!device || bytes == 0) return;
  header = WAVEHDR{};
  header.lpData = reinterpret_cast<LPSTR>(const_cast<int16_t*>(buffer));
  header.dwBufferLength = bytes;
  header.dwFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
  header.dwLoops = 0xFFFFFFFF;
  lastReported = 0;
  wrappedBytes = 0;
  waveOutPrepareHeader(device, &header, sizeof header);
  waveOutWrite(device, &header, sizeof header);
}

// WinMM reads the looping buffer itself and offers no lock: the output thread writes only blocks
// the device has already played, well behind the block it is playing.
void waveOutWriteBlock(int16_t* target, const int16_t* block, uint32_t bytes) {
  std::memcpy(target, block, bytes);
}

uint64_t waveOutPositionBytes() {
  if (!device) return 0;
  MMTIME time{};
  time.wType = TIME_BYTES;
  if (waveOutGetPosition(device, &time, sizeof time) != MMSYSERR_NOERROR ||
      time.wType != TIME_BYTES)
    return wrappedBytes + lastReported;
  if (time.u.cb < lastReported) wrappedBytes += uint64_t{1} << 32;
  lastReported = time.u.cb;
  return wrappedBytes + lastReported;
}

void waveOutReset() {
  if (!device) return;
  waveOutReset(device);
  if (header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(device, &header, sizeof header);
  header = WAVEHDR{};
}

void waveOutClose() {
  if (!device) return;
  waveOutClose(device);
  device = nullptr;
}

void raiseThreadPriority() {
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
}
