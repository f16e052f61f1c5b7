// Starting and stopping the output: the device plays the ring in a loop while the output
// thread refills each block right after the device has played it.
#include <chrono>
#include <thread>

#include "intro/sound.h"
#include "intro/sound_state.h"
#include "intro/wave_out.h"
#include "intro/xm.h"

namespace {

void sleepMs(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace

bool soundInit(int mixRate) {
  if (!fileCallbacksSet()) return false;
  soundClose();
  // Set up first, so that a song can be played silently when no device opens.
  soundSetup(mixRate);
  return waveOutOpen(mixRate);
}

void soundClose() {
  waveOutReset();
  waveOutClose();
}

void outputThread() {
  raiseThreadPriority();
  while (!output.stop) {
    uint64_t frames = waveOutPositionBytes() / 4;
    int playing = static_cast<int>(frames % mixConstants.ringFrames / mixConstants.blockFrames);
    while (playing != output.fill) {
      output.mixing = true;
      fillBlock();
      output.mixing = false;
    }
    sleepMs(5);
  }
  output.finished = true;
}

bool xmPlaySong(XmSong* song) {
  if (!song) return false;
  xmStopSong(output.song);
  xmPrepareSong(song);
  for (int i = 0; i < RING_BLOCKS; ++i) fillBlock();
  waveOutPlayLoop(output.ring.data(), static_cast<uint32_t>(output.ring.size() * sizeof(int16_t)));
  output.stop = false;
  output.finished = false;
  output.thread = std::thread(outputThread);
  return true;
}

void xmStopSong(XmSong* song) {
  if (!song || song != output.song) return;
  output.stop = true;
  while (output.mixing) sleepMs(1);
  if (output.thread.joinable()) {
    while (!output.finished) sleepMs(50);
    output.thread.join();
  }
  // The device must let go of the ring before it is freed.
  waveOutReset();
  releaseSongBuffers();
}
