#include "platform/disk_sync.h"

#include <io.h>

bool flushFileToDisk(FILE* file) {
    return std::fflush(file) == 0 && _commit(_fileno(file)) == 0;
}

// Windows cannot open a folder to flush it; the replacing move is made with
// MOVEFILE_WRITE_THROUGH, which returns only once the new name is on the disk.
void flushFolderToDisk(const char*) {}
