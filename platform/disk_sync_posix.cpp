#include "platform/disk_sync.h"

#include <fcntl.h>
#include <unistd.h>

bool flushFileToDisk(FILE* file) {
    return std::fflush(file) == 0 && fsync(fileno(file)) == 0;
}

void flushFolderToDisk(const char* folder) {
    int descriptor = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return;
    fsync(descriptor);
    close(descriptor);
}
