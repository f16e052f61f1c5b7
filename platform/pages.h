// Memory taken from the system in whole pages, for large blocks that are written soon after.
//
// Writing to a page for the first time costs a fault, and on virtual machines a fault can cost
// more than the work that writes the page. Where the system offers large pages, these blocks ask
// for them, so that a few faults bring in what would otherwise take hundreds.
#pragma once

#include <cstddef>

// At least size bytes, aligned to the system's page, zero-filled; null when the system refuses.
void* allocatePages(size_t size);
// Gives back a block of allocatePages, with the size it was asked for.
void freePages(void* pages, size_t size);
