#include "platform/pages.h"

#include <sys/mman.h>

#include <cstdint>

namespace {

// Large pages are this size on the systems that have them (x86-64 and arm64 Linux).
constexpr size_t kLargePage = size_t{2} << 20;

// Only a block of at least one large page asks for them: a smaller one would be backed by a
// whole large page at its first write, several times the memory it needs.
bool wantsLargePages(size_t size) {
    return size >= kLargePage;
}

size_t mappedSize(size_t size) {
    return wantsLargePages(size) ? (size + kLargePage - 1) / kLargePage * kLargePage : size;
}

}  // namespace

void* allocatePages(size_t size) {
    if (!wantsLargePages(size)) {
        void* map = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        return map == MAP_FAILED ? nullptr : map;
    }
    size = mappedSize(size);
    // A large page must start on its own boundary: map one more, then unmap what lies outside.
    size_t mapped = size + kLargePage;
    void* map = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (map == MAP_FAILED) return nullptr;
    auto start = reinterpret_cast<uintptr_t>(map);
    uintptr_t aligned = (start + kLargePage - 1) & ~(kLargePage - 1);
    if (aligned > start) munmap(map, aligned - start);
    uintptr_t end = start + mapped;
    if (end > aligned + size) munmap(reinterpret_cast<void*>(aligned + size), end - aligned - size);
#ifdef MADV_HUGEPAGE
    madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);  // a hint: refused is fine
#endif
    return reinterpret_cast<void*>(aligned);
}

void freePages(void* pages, size_t size) {
    if (pages) munmap(pages, mappedSize(size));
}
