// State shared by the mixer and the output thread.
#pragma once

#include <atomic>
#include <thread>
#include <vector>

#include "intro/sound.h"

struct OutputState {
  XmSong* song = nullptr;
  std::vector<int16_t> ring;  // 16-bit stereo, played by the device
  std::vector<float> floatRing;  // the mix before clipping
  std::vector<BlockInfo> blocks;
  int fill = 0;  // block to fill next
  std::atomic<int> playIndex{0};  // block whose BlockInfo the scene is shown
  std::atomic<bool> mixing{false};
  std::atomic<bool> stop{false};
  std::atomic<bool> finished{true};
  std::thread thread;
};

extern OutputState output;
