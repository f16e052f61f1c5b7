#include "util/string_hash.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx/image.h"

namespace {

template <typename Value>
std::vector<std::string> slotOrder(const StringHash<Value>& hash) {
    std::vector<std::string> keys;
    for (uint32_t slot = 0; slot < hash.capacity; ++slot)
        if (hashExists(hash, slot)) keys.push_back(hash.keys[slot]);
    return keys;
}

// The outcome of putting key into set.
HashOutcome put(StringSet& set, const char* key) {
    HashOutcome outcome = HashOutcome::Present;
    hashPut(set, key, &outcome);
    return outcome;
}

const char* const kWords[] = {"sadden", "lauded", "sure", "unseal", "teals", "tzar", "courts"};

}  // namespace

TEST(StringHash, HashesBytesAsSigned) {
    EXPECT_EQ(hashString(""), 0u);
    EXPECT_EQ(hashString("a"), 97u);
    EXPECT_EQ(hashString("ab"), 97u * 31 + 98);
    EXPECT_EQ(hashString("\xC3"), 0xFFFFFFC3u);
    EXPECT_EQ(hashString("\xC3\xA9"), 0xFFFFFFC3u * 31 + 0xFFFFFFA9u);
}

TEST(StringHash, PutReportsNewAndPresentKeys) {
    StringSet set;
    EXPECT_EQ(hashGet(set, "sun"), 0u);  // no slots yet
    EXPECT_EQ(put(set, "sun"), HashOutcome::PutEmpty);
    std::string sameText = "sun";  // equal bytes at another address
    EXPECT_EQ(put(set, sameText.c_str()), HashOutcome::Present);
    EXPECT_EQ(set.size, 1u);
    EXPECT_TRUE(hashExists(set, hashGet(set, sameText.c_str())));
    EXPECT_EQ(hashGet(set, "moon"), set.capacity);
    EXPECT_EQ(hashGet(set, "su"), set.capacity);
}

TEST(StringHash, GrowsAtTheFourthSeventhAndThirteenthKey) {
    const char* keys[] = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m"};
    StringSet set;
    std::vector<uint32_t> capacities;
    for (const char* key : keys) {
        put(set, key);
        capacities.push_back(set.capacity);
    }
    EXPECT_EQ(capacities, (std::vector<uint32_t>{4, 4, 4, 8, 8, 8, 16, 16, 16, 16, 16, 16, 32}));
    EXPECT_EQ(set.upperBound, 25u);
    for (const char* key : keys) EXPECT_NE(hashGet(set, key), set.capacity) << key;
}

TEST(StringHash, SlotOrderFollowsTheInPlaceRehash) {
    // These words collide so that moving them in place at the growth to 16 slots gives another
    // order than inserting them afresh would.
    StringSet set;
    for (const char* word : kWords) put(set, word);
    EXPECT_EQ(slotOrder(set), (std::vector<std::string>{"lauded", "sure", "unseal", "teals",
                                                        "sadden", "courts", "tzar"}));
    StringSet again;
    for (const char* word : kWords) put(again, word);
    EXPECT_EQ(slotOrder(again), slotOrder(set));

    StringSet reversed;
    for (int i = 6; i >= 0; --i) put(reversed, kWords[i]);
    EXPECT_EQ(slotOrder(reversed), (std::vector<std::string>{"lauded", "sure", "unseal", "tzar",
                                                             "courts", "teals", "sadden"}));
}

TEST(StringHash, DeletedSlotsAreReusedAndDroppedByRehash) {
    StringSet set;
    put(set, "sun");
    uint32_t slot = hashGet(set, "sun");
    hashDelete(set, slot);
    EXPECT_FALSE(hashExists(set, slot));
    EXPECT_EQ(set.size, 0u);
    EXPECT_EQ(hashGet(set, "sun"), set.capacity);
    hashDelete(set, slot);          // not live: ignored
    hashDelete(set, set.capacity);  // the "not found" index: ignored
    EXPECT_EQ(set.size, 0u);
    EXPECT_EQ(put(set, "sun"), HashOutcome::PutDeleted);
    EXPECT_EQ(hashGet(set, "sun"), slot);
    EXPECT_EQ(set.occupied, 1u);

    // Six keys fill 8 slots to the bound; with five deleted the next put rehashes at 8 slots.
    StringSet sparse;
    for (int i = 0; i < 6; ++i) put(sparse, kWords[i]);
    ASSERT_EQ(sparse.capacity, 8u);
    for (int i = 0; i < 5; ++i) hashDelete(sparse, hashGet(sparse, kWords[i]));
    EXPECT_EQ(put(sparse, "courts"), HashOutcome::PutEmpty);
    EXPECT_EQ(sparse.capacity, 8u);
    EXPECT_EQ(sparse.occupied, 2u);
    EXPECT_EQ(slotOrder(sparse), (std::vector<std::string>{"courts", "tzar"}));
}

TEST(StringHash, MapValuesMoveWithTheirKeys) {
    const char* keys[] = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m", "n"};
    StringIntMap times;
    for (int i = 0; i < 14; ++i) {
        HashOutcome outcome = HashOutcome::Present;
        uint32_t slot = hashPut(times, keys[i], &outcome);
        times.values[slot] = 1000 + i;
    }
    for (int i = 0; i < 14; ++i) EXPECT_EQ(times.values[hashGet(times, keys[i])], 1000 + i);

    StringImageMap images;
    HashOutcome outcome = HashOutcome::Present;
    int texture = 0;
    images.values[hashPut(images, "home.png", &outcome)] = GuiImage{&texture, 0, 0};
    EXPECT_EQ(images.values[hashGet(images, "home.png")].handle, &texture);
}
