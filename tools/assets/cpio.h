// Asset archives in the old binary cpio format, as the game reads them: a 26-byte header
// per member (16-bit words, magic 070707 octal), the zero-terminated name and the data,
// each padded to an even length. The whole archive may be stored as one zlib stream.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ArchiveMember {
  std::string name;
  std::vector<uint8_t> data;
};

// Members in archive order, read with the game's own walk (store/archive.h). Parsing stops, like
// the game's lookup, at the first header
// without a magic or at a header that does not fit; a member whose data runs past the
// end is dropped and reported through `truncated`. The end-of-archive marker is skipped.
std::vector<ArchiveMember> parseArchive(const std::vector<uint8_t>& bytes,
                                        bool* truncated = nullptr);

// Little-endian headers, zero times and owners, members in the given order, then the
// end-of-archive marker. Returns false (and leaves `out` empty) for a name longer than
// 65534 bytes or data of 4 GiB or more, which the header cannot hold.
bool buildArchive(const std::vector<ArchiveMember>& members, std::vector<uint8_t>* out);

// The game's data-file rule (unpackData of store/files.h): bytes starting with '[' or '{' are
// plain, anything else is inflated when it is a valid zlib stream and taken as it is otherwise;
// nothing when the stream inflates past the game's limit.
std::vector<uint8_t> unpackDataFile(const std::vector<uint8_t>& bytes);

std::vector<uint8_t> zlibCompress(const std::vector<uint8_t>& bytes);

bool readFileBytes(const std::string& path, std::vector<uint8_t>* out);
// The game's own whole-file reading and safe replacing (store/files.h), so a failed run leaves no
// half-written archive behind.
bool writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
