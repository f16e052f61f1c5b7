// The module loader on arbitrary bytes; whatever loads is also played for a few blocks, so the
// player and mixer meet the damaged values too.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "intro/memory_file.h"
#include "intro/sound.h"
#include "intro/xm.h"

namespace {

MemoryImage input;

MemoryImage currentInput(const char*) {
    return input;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    input = {data, static_cast<uint32_t>(size)};
    useMemoryFiles(currentInput);
    soundSetup(44100);
    XmSong* song = xmLoadSong("102", nullptr);
    if (!song) return 0;
    xmPrepareSong(song);
    for (int i = 0; i < 12; ++i) fillBlock();
    xmFreeSong(song);
    return 0;
}
