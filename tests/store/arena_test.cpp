#include "store/arena.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

TEST(Arena, PiecesKeepTheirBytesAndAlignmentAcrossBlocks) {
    Arena arena;
    std::vector<std::pair<char*, size_t>> texts;
    std::vector<uint64_t*> numbers;
    // Enough small pieces, odd sizes between aligned ones, to fill several blocks.
    for (size_t i = 0; i < 20000; ++i) {
        size_t length = 1 + i % 13;
        char* text = arena.allocate<char>(length);
        std::memset(text, static_cast<int>('a' + i % 26), length);
        texts.push_back({text, length});
        uint64_t* number = arena.allocate<uint64_t>(1);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(number) % alignof(uint64_t), 0u);
        *number = i;
        numbers.push_back(number);
    }
    // A piece larger than a block stands alone and leaves the small ones untouched.
    char* large = arena.allocate<char>(3 * Arena::kBlockSize);
    std::memset(large, 'z', 3 * Arena::kBlockSize);
    for (size_t i = 0; i < texts.size(); ++i) {
        ASSERT_EQ(*numbers[i], i);
        for (size_t k = 0; k < texts[i].second; ++k) ASSERT_EQ(texts[i].first[k], 'a' + i % 26);
    }
}

TEST(Arena, ANewArenaReusesTheBlocksOfADestroyedOne) {
    char* first;
    {
        Arena arena;
        first = arena.allocate<char>(100);
    }
    Arena next;
    EXPECT_EQ(next.allocate<char>(100), first);  // the warm block comes back, not a fresh one
}

TEST(Arena, AReservedBlockHoldsPiecesInOrderAndTheBlocksServeBeyondIt) {
    Arena arena;
    const size_t reserved = 8 * Arena::kBlockSize;
    arena.reserve(reserved);
    char* first = arena.allocate<char>(1000);
    std::memset(first, 'a', 1000);
    // Pieces follow one another in the reserved block, however they are aligned...
    char* previous = first;
    size_t used = 1000;
    while (used + 24 <= reserved) {
        auto* piece = reinterpret_cast<char*>(arena.allocate<uint64_t>(2));
        ASSERT_GT(piece, previous);
        ASSERT_LE(piece - first + 16, static_cast<ptrdiff_t>(reserved));
        std::memset(piece, 'b', 16);
        previous = piece;
        used = static_cast<size_t>(piece - first) + 16;
    }
    // ...and once it is full the ordinary blocks take over, leaving what it holds alone.
    char* beyond = arena.allocate<char>(64);
    std::memset(beyond, 'c', 64);
    EXPECT_TRUE(beyond < first || beyond >= first + reserved);
    for (size_t k = 0; k < 1000; ++k) ASSERT_EQ(first[k], 'a');
}
