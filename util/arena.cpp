#include "util/arena.h"

#include <mutex>

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
