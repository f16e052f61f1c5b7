// Member lookup in the asset archives (old binary cpio, either byte order).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The data of the member called name (exact, case-sensitive), pointing into archive, with *size set
// to its length; null and *size 0 when there is no such member or its data would lie outside the
// archive (or archive or name is null).
const char* archiveFind(const char* archive, size_t length, const char* name, size_t* size);

// Reads data/<kind>.dat (a data file: plain or compressed) into storage; *archive and *size then
// describe what was read (null and 0 when nothing was).
void readArchive(const char* kind, std::vector<char>* storage, const char** archive, uint32_t* size);
