// Member lookup in the asset archives (old binary cpio, either byte order).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One member of an archive: its name field (nameSize bytes, the name ending with the first zero)
// and its data, both pointing into the archive.
struct ArchiveEntry {
    const char* name = nullptr;
    size_t nameSize = 0;
    const char* data = nullptr;
    size_t size = 0;
};

enum class ArchiveStep { Member, End, Cut };

// Reads the member header at *offset and moves *offset past the member. End where no header
// starts (no more room, or no magic in either byte order); Cut where the member's name or data
// would lie outside the archive.
ArchiveStep archiveNext(const char* archive, size_t length, size_t* offset, ArchiveEntry* entry);

// The data of the member called name (exact, case-sensitive), pointing into archive, with *size set
// to its length; null and *size 0 when there is no such member or its data would lie outside the
// archive (or archive or name is null).
const char* archiveFind(const char* archive, size_t length, const char* name, size_t* size);

// Reads <kind>.dat of dataFolder (a data file: plain or compressed) into storage; *archive and
// *size then describe what was read (null and 0 when nothing was).
void readArchive(const std::string& dataFolder, const char* kind, std::vector<char>* storage,
                 const char** archive, uint32_t* size);
