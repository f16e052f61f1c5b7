// A wave-output device for tests: its play position is whatever the test sets.
#pragma once

#include <atomic>
#include <cstdint>

extern std::atomic<uint64_t> fakeBytesPlayed;
extern std::atomic<bool> fakeDeviceOpen;
extern std::atomic<const int16_t*> fakeLoopBuffer;
