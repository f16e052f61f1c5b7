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
  int playIndex = 0;         // block whose BlockInfo the scene is shown
  // Order and row of that block (order << 8 | row), published by the output thread so that the
  // scene reads them without touching a block that is being refilled.
  std::atomic<uint32_t> playing{0};
  std::atomic<bool> mixing{false};
  std::atomic<bool> stop{false};
  std::atomic<bool> finished{true};
  std::thread thread;
};

extern OutputState output;
