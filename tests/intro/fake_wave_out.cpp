#include "tests/intro/fake_wave_out.h"

#include "intro/wave_out.h"

std::atomic<uint64_t> fakeBytesPlayed{0};
std::atomic<bool> fakeDeviceOpen{false};
std::atomic<const int16_t*> fakeLoopBuffer{nullptr};

bool waveOutOpen(int) {
  fakeDeviceOpen = true;
  return true;
}

void waveOutPlayLoop(const int16_t* buffer, uint32_t) {
  fakeLoopBuffer = buffer;
  fakeBytesPlayed = 0;
}

uint64_t waveOutPositionBytes() {
  return fakeBytesPlayed;
}

void waveOutReset() {
  fakeLoopBuffer = nullptr;
}

void waveOutClose() {
  fakeDeviceOpen = false;
}

void raiseThreadPriority() {}
