// Whole-file reading and writing for the game's data and save files.
#pragma once

#include <cstddef>
#include <cstdio>
#include <optional>
#include <vector>

// Every path the game builds fits a fixed buffer of this size.
constexpr size_t kPathBufferSize = 1024;
// The size of a progress file.
constexpr size_t kRecordFileSize = 40;

// The file's bytes (not zero-terminated), or none when it cannot be opened, the memory cannot be
// had, or fewer bytes than its size can be read. The whole file is read with one read.
std::optional<std::vector<char>> readWholeFile(const char* path);

// The size of an open file (the position is left at the start); 0 for no file.
size_t fileSize(FILE* file);

// The most bytes a compressed data file may inflate to; a few kilobytes of stream can claim
// gigabytes, and no data file of the game comes near this.
constexpr size_t kInflatedDataLimit = size_t{64} << 20;

// The data-file rule: bytes whose first is '[' or '{' are used as they are, anything else is
// inflated as a zlib stream, and kept as it is when it does not inflate. A stream that inflates
// to more than kInflatedDataLimit bytes gives none, like an unreadable file.
std::optional<std::vector<char>> unpackData(std::vector<char> data);

// readWholeFile, then unpackData.
std::optional<std::vector<char>> readDataFile(const char* path);

// True when the file can be opened for reading.
bool fileExists(const char* path);

// Replaces the file with data without ever leaving a half-written file behind: the bytes go to a
// temporary file in the same directory, which is flushed to the disk, closed and then renamed over
// path; the directory is flushed after the rename. On any failure the temporary file is removed,
// the old file is left untouched and false is returned, with errno telling why the first step
// that failed did.
bool writeWholeFile(const char* path, const void* data, size_t size);

// Copies a into buffer and appends the other texts; returns buffer. A path that would not fit, or
// a missing (null) part such as an absent configuration value, leaves buffer empty, so that no
// wrong file is ever opened under a cut-off name.
char* joinPath(char (&buffer)[kPathBufferSize], const char* a, const char* b, const char* c = "",
               const char* d = "");
