// State shared by the mixer and the output thread.
#pragma once

#include <atomic>
#include <thread>
#include <vector>

#include "intro/sound.h"

struct OutputState {
  XmSong* song = nullptr;
  std::vector<int16_t> ring;     // 16-bit stereo, played by the device
  std::vector<float> floatRing;  // the mix before clipping
  std::vector<int16_t> clipped;  // the newest block before it is handed to the device
  std::vector<BlockInfo> blocks;
  std::atomic<int> fill{0};  // block to fill next
  std::atomic<bool> mixing{false};
  std::atomic<bool> stop{false};
  std::atomic<bool> finished{true};
  std::thread thread;
};

extern OutputState output;
