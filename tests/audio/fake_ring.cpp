#include "tests/audio/fake_ring.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr auto kWaitLimit = std::chrono::seconds(20);
}

FakeRing::FakeRing(uint32_t ringBytes, bool followClock, uint32_t bytesPerSecond)
    : ring_(ringBytes, 0), followClock_(followClock), bytesPerSecond_(bytesPerSecond) {}

uint64_t FakeRing::playedLocked() {
    if (followClock_ && plays_ > 0) {
        auto elapsed = std::chrono::steady_clock::now() - playStart_;
        uint64_t micros =
            uint64_t(std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count());
        played_ = micros * bytesPerSecond_ / 1000000 / 4 * 4;
        cursor_ = uint32_t(played_ % ring_.size());
    }
    return played_;
}

bool FakeRing::writeCursor(uint32_t* offset) {
    std::lock_guard<std::mutex> guard(mutex_);
    ++cursorQueries_;
    changed_.notify_all();
    if (cursorFailing_ > 0) {
        --cursorFailing_;
        return false;
    }
    // The device has reached data that was never written.
    if (playedLocked() > written_) {
        ++underruns_;
        underrunTimes_.push_back(double(played_) / bytesPerSecond_);
    }
    *offset = cursor_;
    return true;
}

RingLock FakeRing::lock(uint32_t offset, uint32_t bytes, RingRegions* regions) {
    std::lock_guard<std::mutex> guard(mutex_);
    locks_.push_back({offset, bytes});
    if (lost_ > 0) {
        --lost_;
        return RingLock::Lost;
    }
    if (failing_ > 0) {
        --failing_;
        return RingLock::Failed;
    }
    uint32_t size = uint32_t(ring_.size());
    if (offset >= size || bytes > size) return RingLock::Failed;
    uint32_t first = std::min(bytes, size - offset);
    *regions = RingRegions{ring_.data() + offset, first, nullptr, 0};
    if (first < bytes)
        *regions = RingRegions{ring_.data() + offset, first, ring_.data(), bytes - first};
    if (anyWrite_ && offset != expectedOffset_) ++discontinuities_;
    anyWrite_ = true;
    expectedOffset_ = uint32_t((uint64_t{offset} + bytes) % size);
    return RingLock::Ok;
}

void FakeRing::unlock(const RingRegions& regions) {
    std::lock_guard<std::mutex> guard(mutex_);
    for (auto [data, count] : {std::pair{regions.first, regions.firstBytes},
                               std::pair{regions.second, regions.secondBytes}}) {
        if (!data) continue;
        size_t at = history_.size();
        history_.resize(at + count / 2);
        std::memcpy(history_.data() + at, data, count / 2 * 2);
        written_ += count;
    }
    ++unlocks_;
    changed_.notify_all();
}

bool FakeRing::restore() {
    std::lock_guard<std::mutex> guard(mutex_);
    ++restores_;
    return true;
}

void FakeRing::play() {
    std::lock_guard<std::mutex> guard(mutex_);
    if (plays_++ == 0) playStart_ = std::chrono::steady_clock::now();
}

void FakeRing::pause() {
    std::lock_guard<std::mutex> guard(mutex_);
    ++pauses_;
}

void FakeRing::loseNextLocks(int count) {
    std::lock_guard<std::mutex> guard(mutex_);
    lost_ = count;
}

void FakeRing::failNextLocks(int count) {
    std::lock_guard<std::mutex> guard(mutex_);
    failing_ = count;
}

void FakeRing::failNextCursorQueries(int count) {
    std::lock_guard<std::mutex> guard(mutex_);
    cursorFailing_ = count;
}

void FakeRing::setCursor(uint32_t offset) {
    std::lock_guard<std::mutex> guard(mutex_);
    cursor_ = offset;
}

void FakeRing::advance(uint32_t bytes) {
    std::lock_guard<std::mutex> guard(mutex_);
    played_ += bytes;
    cursor_ = uint32_t(played_ % ring_.size());
    if (played_ > written_) ++underruns_;
}

bool FakeRing::waitForWritten(uint64_t bytes) {
    std::unique_lock<std::mutex> guard(mutex_);
    return changed_.wait_for(guard, kWaitLimit, [&] { return written_ >= bytes; });
}

bool FakeRing::waitForCursorQueries(uint64_t count) {
    std::unique_lock<std::mutex> guard(mutex_);
    return changed_.wait_for(guard, kWaitLimit, [&] { return cursorQueries_ >= count; });
}

std::vector<int16_t> FakeRing::history() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return history_;
}

std::vector<double> FakeRing::underrunTimes() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return underrunTimes_;
}

std::vector<LockCall> FakeRing::locks() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return locks_;
}

#define FAKE_RING_GETTER(type, name, field)        \
    type FakeRing::name() const {                  \
        std::lock_guard<std::mutex> guard(mutex_); \
        return field;                              \
    }
FAKE_RING_GETTER(uint64_t, written, written_)
FAKE_RING_GETTER(uint64_t, cursorQueries, cursorQueries_)
FAKE_RING_GETTER(int, unlocks, unlocks_)
FAKE_RING_GETTER(int, restores, restores_)
FAKE_RING_GETTER(int, plays, plays_)
FAKE_RING_GETTER(int, pauses, pauses_)
FAKE_RING_GETTER(int, underruns, underruns_)
FAKE_RING_GETTER(int, discontinuities, discontinuities_)
