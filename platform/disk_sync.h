// Flushing written bytes through to the disk: a renamed file must never turn out empty
// after a power loss.
#pragma once

#include <cstdio>

// Flushes the stream and then the file's data to the disk; false when either fails.
bool flushFileToDisk(FILE* file);

// Makes the entries of folder (a rename into it, say) durable. Best effort: some file
// systems cannot flush a folder, and then nothing more can be done.
void flushFolderToDisk(const char* folder);
