// A looping ring of 16-bit stereo output bytes that a mixer keeps topped up ahead of
// the device's write cursor.
#pragma once

#include <cstdint>
#include <memory>

// Up to two regions: the second is used when a locked range wraps past the end of the ring.
struct RingRegions {
    uint8_t* first;
    uint32_t firstBytes;
    uint8_t* second;
    uint32_t secondBytes;
};

enum class RingLock { Ok, Lost, Failed };

class AudioRing {
public:
    virtual ~AudioRing() = default;
    // Byte offset in the ring from which it is safe to write; false when it cannot be asked.
    virtual bool writeCursor(uint32_t* offset) = 0;
    // Makes bytes at offset writable; on Lost the caller may restore() and try once more.
    virtual RingLock lock(uint32_t offset, uint32_t bytes, RingRegions* regions) = 0;
    virtual void unlock(const RingRegions& regions) = 0;
    virtual bool restore() = 0;
    // Starts looping playback.
    virtual void play() = 0;
    // Pauses playback where it is; play() resumes it.
    virtual void pause() = 0;
};

// The platform's default audio output as a ring of ringBytes bytes at sampleRate (16-bit
// stereo), for the game's window (a GLFWwindow*). Null with *error set to a constant text when
// no device can be opened.
std::unique_ptr<AudioRing> openAudioRing(void* window, int sampleRate, uint32_t ringBytes,
                                         const char** error);
