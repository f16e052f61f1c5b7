#include "store/arena.h"

#include <mutex>

#include "platform/pages.h"

namespace {

// Blocks of destroyed arenas waiting for the next one; at most kSpareLimit of them are kept.
constexpr size_t kSpareLimit = 256;  // 16 MiB

struct SpareBlocks {
    std::mutex lock;
    std::vector<char*> blocks;
};

// Never destroyed, so that arenas freed late at exit still find it and kept blocks stay reachable.
SpareBlocks& spare() {
    static SpareBlocks& blocks = *new SpareBlocks;
    return blocks;
}

char* takeBlock() {
    SpareBlocks& kept = spare();
    {
        std::lock_guard<std::mutex> lock(kept.lock);
        if (!kept.blocks.empty()) {
            char* block = kept.blocks.back();
            kept.blocks.pop_back();
            return block;
        }
    }
    return new char[Arena::kBlockSize];
}

}  // namespace

Arena::~Arena() {
    for (char* piece : large) delete[] piece;
    for (auto& [pages, size] : pageBlocks) freePages(pages, size);
    SpareBlocks& kept = spare();
    std::lock_guard<std::mutex> lock(kept.lock);
    for (char* block : blocks) {
        if (kept.blocks.size() < kSpareLimit)
            kept.blocks.push_back(block);
        else
            delete[] block;
    }
}

void* Arena::fromNewBlock(size_t size) {
    if (size > kBlockSize / 4) {
        large.push_back(new char[size]);  // aligned for any type, like every block
        return large.back();
    }
    blocks.push_back(takeBlock());
    next = blocks.back() + size;
    left = kBlockSize - size;
    return blocks.back();
}

void Arena::reserve(size_t bytes) {
    if (bytes <= 4 * kBlockSize || bytes <= left) return;
    auto* pages = static_cast<char*>(allocatePages(bytes));
    if (!pages) return;  // the heap blocks still serve, only slower
    pageBlocks.push_back({pages, bytes});
    next = pages;
    left = bytes;
}
