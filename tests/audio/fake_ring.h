// A scripted ring device for tests: the play position is moved by the test (or by the clock),
// every write is recorded in order, and reaching bytes that were never written counts as an
// underrun.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "device/audio_ring.h"

struct LockCall {
    uint32_t offset;
    uint32_t bytes;
};

class FakeRing : public AudioRing {
public:
    // With followClock the play position runs at bytesPerSecond from play() on; otherwise
    // it moves only through advance().
    explicit FakeRing(uint32_t ringBytes, bool followClock = false,
                      uint32_t bytesPerSecond = 176400);

    bool writeCursor(uint32_t* offset) override;
    RingLock lock(uint32_t offset, uint32_t bytes, RingRegions* regions) override;
    void unlock(const RingRegions& regions) override;
    bool restore() override;
    void play() override;
    void pause() override;

    // Script: the next `count` locks report a lost buffer / fail; the next cursor queries fail.
    void loseNextLocks(int count);
    void failNextLocks(int count);
    void failNextCursorQueries(int count);
    // Sets the write cursor (byte offset in the ring) without playing anything.
    void setCursor(uint32_t offset);
    // Plays `bytes` from the play position on, counting an underrun when they were not written.
    void advance(uint32_t bytes);

    // Waits (bounded) until at least `bytes` bytes have been written since creation / until
    // `count` cursor queries were made; false when that never happened.
    bool waitForWritten(uint64_t bytes);
    bool waitForCursorQueries(uint64_t count);

    // Everything written, in write order, as interleaved 16-bit stereo samples.
    std::vector<int16_t> history() const;
    std::vector<LockCall> locks() const;
    uint64_t written() const;
    uint64_t cursorQueries() const;
    int unlocks() const;
    int restores() const;
    int plays() const;
    int pauses() const;
    int underruns() const;
    // Seconds of playback at which each underrun was noticed.
    std::vector<double> underrunTimes() const;
    // Writes that did not continue where the previous one ended.
    int discontinuities() const;
    const uint8_t* bytes() const { return ring_.data(); }

private:
    uint64_t playedLocked();

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<uint8_t> ring_;
    std::vector<int16_t> history_;
    std::vector<LockCall> locks_;
    std::vector<double> underrunTimes_;
    bool followClock_;
    uint32_t bytesPerSecond_;
    std::chrono::steady_clock::time_point playStart_{};
    uint64_t played_ = 0;  // bytes played since creation
    uint64_t written_ = 0;
    uint32_t cursor_ = 0;
    uint32_t expectedOffset_ = 0;
    bool anyWrite_ = false;
    uint64_t cursorQueries_ = 0;
    int lost_ = 0, failing_ = 0, cursorFailing_ = 0;
    int unlocks_ = 0, restores_ = 0, plays_ = 0, pauses_ = 0, underruns_ = 0, discontinuities_ = 0;
};
