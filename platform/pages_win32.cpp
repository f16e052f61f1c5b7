#include "platform/pages.h"

#include <windows.h>

// Large pages on Windows need a privilege players do not hold; ordinary committed pages serve.
void* allocatePages(size_t size) {
    return VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void freePages(void* pages, size_t) {
    if (pages) VirtualFree(pages, 0, MEM_RELEASE);
}
