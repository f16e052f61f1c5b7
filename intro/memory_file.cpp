#include "intro/memory_file.h"

#include <algorithm>
#include <cstring>

#include "intro/xm.h"

namespace {

struct MemoryFile {
  MemoryImage image;
  uint32_t position;
};

MemoryLookup currentLookup;

void* memoryOpen(const char* name) {
  return new MemoryFile{currentLookup(name), 0};
}

void memoryClose(void* file) {
  delete static_cast<MemoryFile*>(file);
}

uint32_t memoryRead(void* handle, void* buffer, uint32_t count) {
  auto* file = static_cast<MemoryFile*>(handle);
  uint32_t n = std::min(count, file->image.size - file->position);
  if (n > 0) std::memcpy(buffer, file->image.data + file->position, n);
  file->position += n;
  return n;
}

void memorySeek(void* handle, int64_t offset, int mode) {
  auto* file = static_cast<MemoryFile*>(handle);
  int64_t base = mode == 0 ? 0 : mode == 1 ? file->position : file->image.size;
  file->position = static_cast<uint32_t>(std::clamp<int64_t>(base + offset, 0, file->image.size));
}

uint32_t memoryTell(void* handle) {
  return static_cast<MemoryFile*>(handle)->position;
}

}  // namespace

void useMemoryFiles(MemoryLookup lookup) {
  currentLookup = lookup;
  setFileCallbacks(memoryOpen, memoryClose, memoryRead, memorySeek, memoryTell);
}
