// The definitions of the StringHash templates, for the files that instantiate them: this
// module for its own value types, gfx/image.cpp for images.
#pragma once

#include <cstring>
#include <new>
#include <utility>

#include "util/string_hash.h"

namespace string_hash_detail {

constexpr uint32_t kAllEmpty = 0xAAAAAAAAu;

inline bool isEmpty(const std::vector<uint32_t>& flags, uint32_t slot) {
    return (flags[slot >> 4] >> ((slot & 15u) << 1)) & 2u;
}
inline bool isDeleted(const std::vector<uint32_t>& flags, uint32_t slot) {
    return (flags[slot >> 4] >> ((slot & 15u) << 1)) & 1u;
}
inline bool isLive(const std::vector<uint32_t>& flags, uint32_t slot) {
    return ((flags[slot >> 4] >> ((slot & 15u) << 1)) & 3u) == 0;
}
inline void markLive(std::vector<uint32_t>& flags, uint32_t slot) {
    flags[slot >> 4] &= ~(3u << ((slot & 15u) << 1));
}
inline void markDeleted(std::vector<uint32_t>& flags, uint32_t slot) {
    flags[slot >> 4] |= 1u << ((slot & 15u) << 1);
}

inline uint32_t boundFor(uint32_t capacity) {
    return static_cast<uint32_t>(capacity * 0.77 + 0.5);
}

inline uint32_t flagWords(uint32_t capacity) {
    return capacity < 16 ? 1 : capacity >> 4;
}

// Moves every live entry to its place for newCapacity slots, in place: an entry whose new slot
// still holds an entry not moved yet swaps with it, and the displaced entry is placed next.
template <typename Value>
bool resize(StringHash<Value>& hash, uint32_t newCapacity) {
    std::vector<uint32_t> newFlags;
    try {
        newFlags.assign(flagWords(newCapacity), kAllEmpty);
        if (newCapacity > hash.capacity) {
            hash.keys.resize(newCapacity);
            hash.values.resize(newCapacity);
            hash.hashes.resize(newCapacity);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    uint32_t mask = newCapacity - 1;
    for (uint32_t j = 0; j < hash.capacity; ++j) {
        if (!isLive(hash.flags, j)) continue;
        const char* key = hash.keys[j];
        Value value = hash.values[j];
        uint32_t code = hash.hashes[j];
        markDeleted(hash.flags, j);
        for (;;) {
            uint32_t slot = code & mask;
            for (uint32_t step = 1; !isEmpty(newFlags, slot); ++step) slot = (slot + step) & mask;
            markLive(newFlags, slot);
            if (slot < hash.capacity && isLive(hash.flags, slot)) {
                std::swap(key, hash.keys[slot]);
                std::swap(value, hash.values[slot]);
                std::swap(code, hash.hashes[slot]);
                markDeleted(hash.flags, slot);
            } else {
                hash.keys[slot] = key;
                hash.values[slot] = value;
                hash.hashes[slot] = code;
                break;
            }
        }
    }
    hash.flags = std::move(newFlags);
    hash.capacity = newCapacity;
    hash.occupied = hash.size;
    hash.upperBound = boundFor(newCapacity);
    return true;
}

}  // namespace string_hash_detail

template <typename Value>
uint32_t hashGet(const StringHash<Value>& hash, const char* key) {
    if (hash.capacity == 0) return 0;
    uint32_t mask = hash.capacity - 1;
    uint32_t code = hashString(key);
    uint32_t first = code & mask;
    uint32_t slot = first;
    for (uint32_t step = 1;; ++step) {
        if (string_hash_detail::isEmpty(hash.flags, slot)) return hash.capacity;
        if (!string_hash_detail::isDeleted(hash.flags, slot) && hash.hashes[slot] == code &&
            std::strcmp(hash.keys[slot], key) == 0)
            return slot;
        slot = (slot + step) & mask;
        if (slot == first) return hash.capacity;
    }
}

template <typename Value>
uint32_t hashPut(StringHash<Value>& hash, const char* key, HashOutcome* outcome) {
    *outcome = HashOutcome::Present;
    if (hash.occupied >= hash.upperBound) {
        // Plenty of deleted slots: rehash to the same size to drop them; otherwise double.
        uint32_t newCapacity = hash.capacity > 2 * hash.size ? hash.capacity
                               : hash.capacity == 0          ? 4
                                                             : hash.capacity * 2;
        if (!string_hash_detail::resize(hash, newCapacity)) return hash.capacity;
    }
    uint32_t mask = hash.capacity - 1;
    uint32_t code = hashString(key);
    uint32_t first = code & mask;
    uint32_t slot = first;
    if (!string_hash_detail::isEmpty(hash.flags, slot)) {
        uint32_t deletedSeen = hash.capacity;
        for (uint32_t step = 1; !string_hash_detail::isEmpty(hash.flags, slot); ++step) {
            if (string_hash_detail::isDeleted(hash.flags, slot))
                deletedSeen = slot;
            else if (hash.hashes[slot] == code && std::strcmp(hash.keys[slot], key) == 0)
                return slot;
            slot = (slot + step) & mask;
            if (slot == first) break;
        }
        // Reuse a deleted slot on the way rather than the empty slot at its end. There is always
        // an empty slot (occupied stays below capacity), so a full circle never happens.
        if (deletedSeen != hash.capacity) slot = deletedSeen;
    }
    hash.keys[slot] = key;
    hash.hashes[slot] = code;
    if (string_hash_detail::isEmpty(hash.flags, slot)) {
        ++hash.occupied;
        *outcome = HashOutcome::PutEmpty;
    } else {
        *outcome = HashOutcome::PutDeleted;
    }
    string_hash_detail::markLive(hash.flags, slot);
    ++hash.size;
    return slot;
}

template <typename Value>
void hashDelete(StringHash<Value>& hash, uint32_t slot) {
    if (slot >= hash.capacity || !string_hash_detail::isLive(hash.flags, slot)) return;
    string_hash_detail::markDeleted(hash.flags, slot);
    hash.keys[slot] = nullptr;
    --hash.size;
}

template <typename Value>
bool hashExists(const StringHash<Value>& hash, uint32_t slot) {
    return slot < hash.capacity && string_hash_detail::isLive(hash.flags, slot);
}
