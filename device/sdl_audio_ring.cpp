// The audio ring over SDL2: the device callback copies from the ring at the play cursor,
// silences what it copied and advances the cursor; everything before the cursor has been
// handed to the device.
#include <SDL2/SDL.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "device/audio_ring.h"

namespace {

class SdlAudioRing : public AudioRing {
public:
    explicit SdlAudioRing(uint32_t ringBytes) : ring_(ringBytes, 0) {}

    ~SdlAudioRing() override {
        if (device_) SDL_CloseAudioDevice(device_);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    bool open(int sampleRate) {
        SDL_AudioSpec want{};
        want.freq = sampleRate;
        want.format = AUDIO_S16SYS;
        want.channels = 2;
        want.samples = 512;
        want.callback = &SdlAudioRing::callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        return device_ != 0;
    }

    bool writeCursor(uint32_t* offset) override {
        SDL_LockAudioDevice(device_);
        *offset = playCursor_;
        SDL_UnlockAudioDevice(device_);
        return true;
    }

    // The device stays locked until unlock(), so the callback never reads half-written bytes.
    RingLock lock(uint32_t offset, uint32_t bytes, RingRegions* regions) override {
        uint32_t size = static_cast<uint32_t>(ring_.size());
        if (offset >= size || bytes > size) return RingLock::Failed;
        SDL_LockAudioDevice(device_);
        uint32_t first = std::min(bytes, size - offset);
        *regions = RingRegions{ring_.data() + offset, first, nullptr, 0};
        if (first < bytes) {
            regions->second = ring_.data();
            regions->secondBytes = bytes - first;
        }
        return RingLock::Ok;
    }

    void unlock(const RingRegions&) override { SDL_UnlockAudioDevice(device_); }

    bool restore() override { return true; }

    void play() override { SDL_PauseAudioDevice(device_, 0); }

    void pause() override { SDL_PauseAudioDevice(device_, 1); }

private:
    static void callback(void* self, Uint8* stream, int length) {
        static_cast<SdlAudioRing*>(self)->fill(stream, static_cast<uint32_t>(length));
    }

    // Runs on SDL's audio thread with the device lock held. What was handed to the device is
    // silenced, so that a mixer falling behind is heard as a gap, never as the ring's old sound.
    void fill(uint8_t* out, uint32_t length) {
        uint32_t size = static_cast<uint32_t>(ring_.size());
        while (length > 0) {
            uint32_t chunk = std::min(length, size - playCursor_);
            std::memcpy(out, ring_.data() + playCursor_, chunk);
            std::memset(ring_.data() + playCursor_, 0, chunk);
            out += chunk;
            length -= chunk;
            playCursor_ = (playCursor_ + chunk) % size;
        }
    }

    std::vector<uint8_t> ring_;
    uint32_t playCursor_ = 0;
    SDL_AudioDeviceID device_ = 0;
};

}  // namespace

std::unique_ptr<AudioRing> openAudioRing(void*, int sampleRate, uint32_t ringBytes,
                                         const char** error) {
    // The text outlives this call: the mixer keeps it as its last error.
    static std::string message;
    // SDL would put its own handlers on SIGTERM, SIGINT and SIGHUP where none is set, turning
    // them into events nothing reads; the game's are platform/close_signals.h's.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        message = std::string("SDL audio could not start: ") + SDL_GetError();
        *error = message.c_str();
        return nullptr;
    }
    auto ring = std::make_unique<SdlAudioRing>(ringBytes);
    if (!ring->open(sampleRate)) {
        message = std::string("SDL could not open an audio device: ") + SDL_GetError();
        *error = message.c_str();
        return nullptr;  // the destructor quits the subsystem again
    }
    return ring;
}
