// The wave output on SDL2 audio: the callback copies from the looping buffer and counts the
// bytes it has handed to the device. The buffer is read and written under the device lock.
#include <SDL.h>

#include <atomic>
#include <cstring>

#include "intro/wave_out.h"

namespace {

SDL_AudioDeviceID device;
const uint8_t* loopBuffer;  // guarded by the device lock
uint32_t loopBytes;
uint32_t cursor;
std::atomic<uint64_t> bytesPlayed{0};

void SDLCALL playLoop(void*, Uint8* stream, int length) {
  if (!loopBuffer) {
    std::memset(stream, 0, length);
    return;
  }
  cursor = copyFromLoop(loopBuffer, loopBytes, cursor, stream, static_cast<uint32_t>(length));
  bytesPlayed += length;
}

}  // namespace

bool waveOutOpen(int mixRate) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  SDL_AudioSpec wanted{};
  wanted.freq = mixRate;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = 2;
  wanted.samples = 1024;
  wanted.callback = playLoop;
  device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
  if (device == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  return true;
}

void waveOutPlayLoop(const int16_t* buffer, uint32_t bytes) {
  if (device == 0 || bytes == 0) return;
  SDL_LockAudioDevice(device);
  loopBuffer = reinterpret_cast<const uint8_t*>(buffer);
  loopBytes = bytes;
  cursor = 0;
  bytesPlayed = 0;
  SDL_UnlockAudioDevice(device);
  SDL_PauseAudioDevice(device, 0);
}

void waveOutWriteBlock(int16_t* target, const int16_t* block, uint32_t bytes) {
  if (device != 0) SDL_LockAudioDevice(device);
  std::memcpy(target, block, bytes);
  if (device != 0) SDL_UnlockAudioDevice(device);
}

uint64_t waveOutPositionBytes() {
  return bytesPlayed;
}

void waveOutReset() {
  if (device == 0) return;
  SDL_PauseAudioDevice(device, 1);
  SDL_LockAudioDevice(device);
  loopBuffer = nullptr;
  SDL_UnlockAudioDevice(device);
}

void waveOutClose() {
  if (device == 0) return;
  SDL_CloseAudioDevice(device);
  device = 0;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void raiseThreadPriority() {
  SDL_SetThreadPriority(SDL_THREAD_PRIORITY_TIME_CRITICAL);
}
