// A wave-output device for tests: it plays only when the test calls fakePlay, from whichever
// thread the test likes, and copies from the looping buffer as the real device does.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

extern std::atomic<bool> fakeDeviceOpen;
extern std::atomic<const int16_t*> fakeLoopBuffer;

// Plays `bytes` more of the loop (silence when none is playing) and returns what was played.
std::vector<int16_t> fakePlay(uint32_t bytes);
