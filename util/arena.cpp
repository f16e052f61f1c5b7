#include "util/arena.h"

#include <mutex>

namespace {

// Blocks of destroyed arenas waiting for the next one; at most kSpareLimit of them are kept.
constexpr size_t kSpareLimit = 256;  // 16 MiB
std::mutex spareLock;
std::vector<char*> spareBlocks;

char* takeBlock() {
    {
        std::lock_guard<std::mutex> lock(spareLock);
        if (!spareBlocks.empty()) {
            char* block = spareBlocks.back();
            spareBlocks.pop_back();
            return block;
        }
    }
    return new char[Arena::kBlockSize];
}

}  // namespace

Arena::~Arena() {
    for (char* piece : large) delete[] piece;
    std::lock_guard<std::mutex> lock(spareLock);
    for (char* block : blocks) {
        if (spareBlocks.size() < kSpareLimit)
            spareBlocks.push_back(block);
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
