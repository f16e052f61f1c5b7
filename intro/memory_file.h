// File callbacks for the module loader that read named byte images from memory (the intro's
// embedded resources, or a file the caller has read whole).
#pragma once

#include <cstdint>

struct MemoryImage {
  const uint8_t* data;
  uint32_t size;
};

// Finds the image of a name; an unknown name gives an empty image, which the loader then
// refuses by its signature.
using MemoryLookup = MemoryImage (*)(const char* name);

void useMemoryFiles(MemoryLookup lookup);
