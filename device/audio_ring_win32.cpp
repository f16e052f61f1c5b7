// The audio ring over DirectSound: one looping secondary buffer on the game window, behind a
// primary buffer set to the same format. The device and its buffers live until the process ends.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#define GLFW_EXPOSE_NATIVE_WIN32
#include <GLFW/glfw3.h>
#include <GLFW/glfw3native.h>

#include "device/audio_ring.h"

namespace {

template <typename T>
void release(T*& object) {
    if (object) object->Release();
    object = nullptr;
}

class DirectSoundRing : public AudioRing {
public:
    ~DirectSoundRing() override {
        release(stream_);
        release(primary_);
        release(device_);
    }

    // The creation steps in order; the text names the step that failed.
    const char* open(HWND window, int sampleRate, uint32_t ringBytes) {
        if (FAILED(DirectSoundCreate(nullptr, &device_, nullptr)))
            return "DirectSoundCreate failed";
        device_->SetCooperativeLevel(window, DSSCL_PRIORITY);

        WAVEFORMATEX format{};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = 2;
        format.nSamplesPerSec = DWORD(sampleRate);
        format.wBitsPerSample = 16;
        format.nBlockAlign = 4;
        format.nAvgBytesPerSec = DWORD(sampleRate) * 4;

        DSBUFFERDESC primary{};
        primary.dwSize = sizeof primary;
        primary.dwFlags = DSBCAPS_PRIMARYBUFFER;
        if (FAILED(device_->CreateSoundBuffer(&primary, &primary_, nullptr)))
            return "Failed to create primary sound buffer";
        if (FAILED(primary_->SetFormat(&format))) return "Failed to set format on primary buffer";

        DSBUFFERDESC stream{};
        stream.dwSize = sizeof stream;
        stream.dwBufferBytes = ringBytes;
        stream.lpwfxFormat = &format;
        if (FAILED(device_->CreateSoundBuffer(&stream, &stream_, nullptr)))
            return "Failed to set format on secondary buffer";
        return nullptr;
    }

    bool writeCursor(uint32_t* offset) override {
        DWORD play = 0, write = 0;
        if (FAILED(stream_->GetCurrentPosition(&play, &write))) return false;
        *offset = write;
        return true;
    }

    RingLock lock(uint32_t offset, uint32_t bytes, RingRegions* regions) override {
        void* first = nullptr;
        void* second = nullptr;
        DWORD firstBytes = 0, secondBytes = 0;
        HRESULT result =
            stream_->Lock(offset, bytes, &first, &firstBytes, &second, &secondBytes, 0);
        if (result == DSERR_BUFFERLOST) return RingLock::Lost;
        if (FAILED(result)) return RingLock::Failed;
        *regions = RingRegions{static_cast<uint8_t*>(first), firstBytes,
                               static_cast<uint8_t*>(second), secondBytes};
        return RingLock::Ok;
    }

    void unlock(const RingRegions& regions) override {
        stream_->Unlock(regions.first, regions.firstBytes, regions.second, regions.secondBytes);
    }

    bool restore() override { return SUCCEEDED(stream_->Restore()); }

    void play() override { stream_->Play(0, 0, DSBPLAY_LOOPING); }

    // Stop keeps the play position, so Play resumes from it.
    void pause() override { stream_->Stop(); }

private:
    IDirectSound* device_ = nullptr;
    IDirectSoundBuffer* primary_ = nullptr;
    IDirectSoundBuffer* stream_ = nullptr;
};

}  // namespace

std::unique_ptr<AudioRing> openAudioRing(void* window, int sampleRate, uint32_t ringBytes,
                                         const char** error) {
    auto ring = std::make_unique<DirectSoundRing>();
    HWND handle = glfwGetWin32Window(static_cast<GLFWwindow*>(window));
    if (const char* failure = ring->open(handle, sampleRate, ringBytes)) {
        *error = failure;
        return nullptr;
    }
    return ring;
}
