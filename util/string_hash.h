// Open-addressing hash containers keyed by zero-terminated byte strings.
//
// The slot layout is part of the game's behaviour: hints take the first unfound word in slot order
// and the statistics walk the word set in slot order. So the hash, the triangular probe sequence
// and the growth rule are fixed, and walking slots 0..capacity-1 with hashExists gives the slot
// order:
//
//     for (uint32_t slot = 0; slot < words.capacity; ++slot)
//         if (hashExists(words, slot)) use(words.keys[slot]);
//
// Keys are not copied: the container keeps the caller's pointer, so the string must outlive the
// entry.
#pragma once

#include <cstdint>
#include <vector>

struct NoValue {};

template <typename Value>
struct StringHash {
    uint32_t capacity = 0;        // 0 or a power of two, at least 4
    uint32_t size = 0;            // live keys
    uint32_t occupied = 0;        // live plus deleted slots
    uint32_t upperBound = 0;      // grow or rehash when occupied reaches this
    std::vector<uint32_t> flags;  // 2 bits per slot: bit 1 empty, bit 0 deleted, both clear live
    std::vector<const char*> keys;
    std::vector<Value> values;     // unused for sets
    std::vector<uint32_t> hashes;  // hashString of each key: probes compare strings only on a match
};

using StringSet = StringHash<NoValue>;     // the level's word set
using StringIntMap = StringHash<int32_t>;  // the repeat times

// Outcomes of hashPut.
enum class HashOutcome { Present, PutEmpty, PutDeleted };

// h = first byte, then h * 31 + byte, bytes taken as signed; "" hashes to 0.
uint32_t hashString(const char* key);

// The slot holding key, or capacity when it is not there.
template <typename Value>
uint32_t hashGet(const StringHash<Value>& hash, const char* key);

// Inserts key unless it is live already and returns its slot; *outcome is HashOutcome::PutEmpty or
// HashOutcome::PutDeleted for a new entry (whose value the caller sets) and HashOutcome::Present
// when the key was there. Returns capacity (outcome HashOutcome::Present) only when growing the
// container ran out of memory.
template <typename Value>
uint32_t hashPut(StringHash<Value>& hash, const char* key, HashOutcome* outcome);

// Marks a live slot deleted; slot == capacity or a slot that is not live is ignored.
template <typename Value>
void hashDelete(StringHash<Value>& hash, uint32_t slot);

template <typename Value>
bool hashExists(const StringHash<Value>& hash, uint32_t slot);

// Instantiated in string_hash.cpp for the set and the repeat times (gfx/image.h instantiates the
// image cache).
extern template uint32_t hashGet(const StringHash<NoValue>&, const char*);
extern template uint32_t hashPut(StringHash<NoValue>&, const char*, HashOutcome*);
extern template void hashDelete(StringHash<NoValue>&, uint32_t);
extern template bool hashExists(const StringHash<NoValue>&, uint32_t);
extern template uint32_t hashGet(const StringHash<int32_t>&, const char*);
extern template uint32_t hashPut(StringHash<int32_t>&, const char*, HashOutcome*);
extern template void hashDelete(StringHash<int32_t>&, uint32_t);
extern template bool hashExists(const StringHash<int32_t>&, uint32_t);
