// Bump allocation for data that lives and dies together, such as a parsed data file.
//
// Nothing handed out ever moves: pointers stay valid until the arena is destroyed. Memory comes in
// fixed blocks, and the blocks of destroyed arenas are kept (up to a bound) for the next one, so
// parsing one file after another reuses warm pages instead of faulting in fresh ones each time. An
// arena that knows it will hold much reserves one large block of whole pages first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

class Arena {
public:
    Arena() = default;
    Arena(const Arena&) = delete;
    Arena& operator=(const Arena&) = delete;
    ~Arena();

    // Room for count objects of type T, aligned for T, left uninitialised.
    template <typename T>
    T* allocate(size_t count) {
        return static_cast<T*>(allocateBytes(count * sizeof(T), alignof(T)));
    }

    // Room for about bytes more in one block straight from the system's pages, for an arena about
    // to hold that much: such a block faults in at a fraction of the cost of heap blocks. Amounts
    // that a few ordinary blocks hold are left to them.
    void reserve(size_t bytes);

    static constexpr size_t kBlockSize = 64 * 1024;

private:
    void* allocateBytes(size_t size, size_t align) {
        size_t pad = (align - reinterpret_cast<uintptr_t>(next) % align) % align;
        if (size + pad > left) return fromNewBlock(size);
        char* piece = next + pad;
        next = piece + size;
        left -= size + pad;
        return piece;
    }
    void* fromNewBlock(size_t size);

    std::vector<char*> blocks;  // of kBlockSize bytes, reusable by later arenas
    std::vector<char*> large;   // pieces bigger than a quarter block, each allocated alone
    std::vector<std::pair<char*, size_t>> pageBlocks;  // from reserve, with their sizes
    char* next = nullptr;
    size_t left = 0;
};
