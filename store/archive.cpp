#include "store/archive.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>

#include "store/files.h"
#include "store/folders.h"

namespace {

constexpr size_t kHeaderSize = 26;

}  // namespace

ArchiveStep archiveNext(const char* archive, size_t length, size_t* offset, ArchiveEntry* entry) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(archive);
    if (!archive || length < kHeaderSize || *offset > length - kHeaderSize) return ArchiveStep::End;
    const unsigned char* header = bytes + *offset;
    bool little = header[0] == 0xC7 && header[1] == 0x71;
    bool big = header[0] == 0x71 && header[1] == 0xC7;
    if (!little && !big) return ArchiveStep::End;
    auto word = [&](size_t at) -> uint32_t {
        return little ? header[at] | header[at + 1] << 8 : header[at] << 8 | header[at + 1];
    };
    uint64_t nameSize = word(20);
    uint64_t dataSize = uint64_t{word(22)} << 16 | word(24);
    uint64_t namePad = (nameSize + 1) & ~uint64_t{1};
    uint64_t dataPad = (dataSize + 1) & ~uint64_t{1};
    uint64_t dataOffset = *offset + kHeaderSize + namePad;
    if (dataOffset > length || dataSize > length - dataOffset) return ArchiveStep::Cut;
    entry->name = archive + *offset + kHeaderSize;
    entry->nameSize = static_cast<size_t>(nameSize);
    entry->data = archive + dataOffset;
    entry->size = static_cast<size_t>(dataSize);
    // The padding of the last member may lie past the end; the walk ends after it.
    *offset = static_cast<size_t>(std::min<uint64_t>(dataOffset + dataPad, length));
    return ArchiveStep::Member;
}

const char* archiveFind(const char* archive, size_t length, const char* name, size_t* size) {
    *size = 0;
    if (!archive || !name) return nullptr;
    size_t nameLength = std::strlen(name);
    size_t offset = 0;
    ArchiveEntry entry;
    while (archiveNext(archive, length, &offset, &entry) == ArchiveStep::Member) {
        // The stored name must end with its zero inside its own field.
        if (nameLength < entry.nameSize && entry.name[nameLength] == '\0' &&
            std::memcmp(entry.name, name, nameLength) == 0) {
            *size = entry.size;
            return entry.data;
        }
    }
    return nullptr;
}

void readArchive(const std::string& dataFolder, const char* kind, std::vector<char>* storage,
                 const char** archive, uint32_t* size) {
    char path[kPathBufferSize];
    joinPath(path, dataFolder.c_str(), kind, ".dat");
    std::optional<std::vector<char>> bytes = readDataFile(path);
    *storage = bytes ? std::move(*bytes) : std::vector<char>();
    *archive = storage->empty() ? nullptr : storage->data();
    *size = static_cast<uint32_t>(std::min<size_t>(storage->size(), UINT32_MAX));
}
