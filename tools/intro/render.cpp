#include "tools/intro/render.h"

#include <cmath>
#include <cstdio>
#include <memory>

#include "intro/memory_file.h"
#include "intro/sound.h"

namespace {

const std::vector<uint8_t>* currentModule;

MemoryImage moduleImage(const char*) {
    return {currentModule->data(), static_cast<uint32_t>(currentModule->size())};
}

void putLittleEndian(std::FILE* file, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) std::fputc(value >> (8 * i) & 0xFF, file);
}

}  // namespace

XmLoadResult renderModule(const std::vector<uint8_t>& module, int mixRate, double seconds,
                          std::vector<int16_t>& stereo) {
    currentModule = &module;
    useMemoryFiles(moduleImage);
    soundSetup(mixRate);
    XmLoadResult result;
    XmSong* song = xmLoadSong("module", nullptr, &result);
    stereo.clear();
    if (!song) return result;
    xmPrepareSong(song);
    int frames = mixConstants.blockFrames;
    long blocks = std::lround(std::ceil(seconds * mixRate / frames));
    stereo.reserve(static_cast<size_t>(blocks) * frames * 2);
    for (long b = 0; b < blocks; ++b) {
        int block = fillPosition();
        fillBlock();
        const int16_t* data = blockFrames(block);
        stereo.insert(stereo.end(), data, data + frames * 2);
    }
    xmFreeSong(song);
    return result;
}

bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         std::fclose);
    if (!file) return false;
    bytes.clear();
    uint8_t buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    return !std::ferror(file.get());
}

bool writeWav(const std::string& path, const std::vector<int16_t>& stereo, int mixRate) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"),
                                                         std::fclose);
    if (!file) return false;
    uint32_t dataBytes = static_cast<uint32_t>(stereo.size() * 2);
    std::FILE* f = file.get();
    std::fwrite("RIFF", 1, 4, f);
    putLittleEndian(f, 36 + dataBytes, 4);
    std::fwrite("WAVEfmt ", 1, 8, f);
    putLittleEndian(f, 16, 4);
    putLittleEndian(f, 1, 2);  // PCM
    putLittleEndian(f, 2, 2);
    putLittleEndian(f, mixRate, 4);
    putLittleEndian(f, mixRate * 4, 4);
    putLittleEndian(f, 4, 2);
    putLittleEndian(f, 16, 2);
    std::fwrite("data", 1, 4, f);
    putLittleEndian(f, dataBytes, 4);
    for (int16_t value : stereo) putLittleEndian(f, static_cast<uint16_t>(value), 2);
    return std::fflush(f) == 0 && !std::ferror(f);
}
