#include "store/archive.h"

#include <cstdint>
#include <algorithm>
#include <cstring>
#include <optional>

#include "store/files.h"
#include "store/folders.h"

namespace {

constexpr size_t kHeaderSize = 26;

}  // namespace

const char* archiveFind(const char* archive, size_t length, const char* name, size_t* size) {
    *size = 0;
    if (!archive || !name) return nullptr;
    const auto* bytes = reinterpret_cast<const unsigned char*>(archive);
    size_t nameLength = std::strlen(name);
    size_t offset = 0;
    while (length - offset >= kHeaderSize) {
        const unsigned char* header = bytes + offset;
        bool little = header[0] == 0xC7 && header[1] == 0x71;
        bool big = header[0] == 0x71 && header[1] == 0xC7;
        if (!little && !big) break;
        auto word = [&](size_t at) -> uint32_t {
            return little ? header[at] | header[at + 1] << 8 : header[at] << 8 | header[at + 1];
        };
        uint64_t nameSize = word(20);
        uint64_t dataSize = uint64_t{word(22)} << 16 | word(24);
        uint64_t namePad = (nameSize + 1) & ~uint64_t{1};
        uint64_t dataPad = (dataSize + 1) & ~uint64_t{1};
        uint64_t dataOffset = offset + kHeaderSize + namePad;
        // The stored name must end with its zero inside its own field (and the archive).
        const char* stored = archive + offset + kHeaderSize;
        bool nameFits = nameLength < nameSize && dataOffset <= length;
        if (nameFits && stored[nameLength] == '\0' && std::memcmp(stored, name, nameLength) == 0) {
            if (dataOffset + dataSize > length) return nullptr;  // cut-off member
            *size = static_cast<size_t>(dataSize);
            return archive + dataOffset;
        }
        uint64_t next = dataOffset + dataPad;
        if (next > length) break;
        offset = static_cast<size_t>(next);
    }
    return nullptr;
}

void readArchive(const char* kind, std::vector<char>* storage, const char** archive, uint32_t* size) {
    char path[kPathBufferSize];
    joinPath(path, dataFolder.c_str(), kind, ".dat");
    std::optional<std::vector<char>> bytes = readDataFile(path);
    *storage = bytes ? std::move(*bytes) : std::vector<char>();
    *archive = storage->empty() ? nullptr : storage->data();
    *size = uint32_t(std::min<size_t>(storage->size(), UINT32_MAX));
}
