// The intro's resources: made by our tools at build time, embedded into the program, and
// found by type and number like program resources.
#pragma once

#include <cstdint>

enum class ResourceType { Bitmap, RcData, Icon };

struct ResourceData {
  const uint8_t* data;
  uint32_t size;  // 0 when there is no such resource
};

constexpr int ICON_PROGRAM = 101;
constexpr int MODULE_TUNE = 102;
constexpr int BITMAP_BACKGROUND = 107;
constexpr int BITMAP_GLYPHS = 109;

ResourceData findResource(ResourceType type, int id);
