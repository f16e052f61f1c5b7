// Renders an XM module through the intro's player and mixer, without a device.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "intro/xm.h"

// Interleaved 16-bit stereo of the first `seconds` of the module at `mixRate` (whole
// blocks, as the intro's ring holds them) into `stereo`, which is empty when the module does
// not load. Its capacity is kept, so rendering again into the same vector allocates nothing.
XmLoadResult renderModule(const std::vector<uint8_t>& module, int mixRate, double seconds,
                          std::vector<int16_t>& stereo);

bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes);
bool writeWav(const std::string& path, const std::vector<int16_t>& stereo, int mixRate);
