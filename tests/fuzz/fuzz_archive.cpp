// Asset archive lookup the way the game reads archives: the bytes go through the data-file rule
// (plain or zlib) and are then searched for a member name taken from the input.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "store/archive.h"
#include "store/files.h"

namespace {

void expectInside(const char* found, size_t size, const std::vector<char>& archive) {
    if (!found) {
        if (size != 0) std::abort();
        return;
    }
    const char* begin = archive.data();
    if (found < begin || found > begin + archive.size() ||
        size > static_cast<size_t>(begin + archive.size() - found))
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first byte gives the length of the name that is looked up; the rest is the file.
    if (size == 0) return 0;
    size_t nameLength = data[0] % 16;
    if (nameLength + 1 > size) return 0;
    std::string name(reinterpret_cast<const char*>(data) + 1, nameLength);
    name = name.c_str();  // a name ends at its first zero byte

    static const std::string path = "/tmp/wg_fuzz_archive_" + std::to_string(getpid()) + ".dat";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) std::abort();
    std::fwrite(data + 1 + nameLength, 1, size - 1 - nameLength, file);
    std::fclose(file);
    auto archive = readDataFile(path.c_str());
    std::remove(path.c_str());
    if (!archive) std::abort();

    for (const char* wanted : {name.c_str(), "a.png", ""}) {
        size_t found = 1;
        const char* member = archiveFind(archive->data(), archive->size(), wanted, &found);
        expectInside(member, found, *archive);
    }
    return 0;
}
