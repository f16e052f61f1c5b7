#include "tests/intro/fake_wave_out.h"

#include <algorithm>
#include <mutex>

#include "intro/wave_out.h"

std::atomic<bool> fakeDeviceOpen{false};
std::atomic<const int16_t*> fakeLoopBuffer{nullptr};

namespace {

// Guards the loop as the real device's lock does.
std::mutex deviceLock;
uint32_t loopBytes, cursor;
std::atomic<uint64_t> bytesPlayed{0};

}  // namespace

std::vector<int16_t> fakePlay(uint32_t bytes) {
    std::vector<int16_t> played(bytes / 2, 0);
    std::lock_guard<std::mutex> lock(deviceLock);
    if (const int16_t* loop = fakeLoopBuffer) {
        cursor = copyFromLoop(reinterpret_cast<const uint8_t*>(loop), loopBytes, cursor,
                              reinterpret_cast<uint8_t*>(played.data()), bytes);
        bytesPlayed += bytes;
    }
    return played;
}

bool waveOutOpen(int) {
    fakeDeviceOpen = true;
    return true;
}

void waveOutPlayLoop(const int16_t* buffer, uint32_t bytes) {
    std::lock_guard<std::mutex> lock(deviceLock);
    fakeLoopBuffer = buffer;
    loopBytes = bytes;
    cursor = 0;
    bytesPlayed = 0;
}

void waveOutWriteBlock(int16_t* target, const int16_t* block, uint32_t bytes) {
    std::lock_guard<std::mutex> lock(deviceLock);
    std::copy(block, block + bytes / 2, target);
}

uint64_t waveOutPositionBytes() {
    return bytesPlayed;
}

void waveOutReset() {
    std::lock_guard<std::mutex> lock(deviceLock);
    fakeLoopBuffer = nullptr;
}

void waveOutClose() {
    fakeDeviceOpen = false;
}

void raiseThreadPriority() {}
