// The key store parser on arbitrary bytes, followed by every kind of lookup on what it built.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "store/keystore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    KeyStore* store = parseKeyStore(reinterpret_cast<const char*>(data), size);
    if (!store) return 0;
    // Walk the whole tree: every node is reached once and every text is a piece of the input.
    size_t textBytes = 0;
    size_t reached = 0;
    std::vector<const KeyNode*> pending{store->root};
    while (!pending.empty()) {
        const KeyNode* node = pending.back();
        pending.pop_back();
        if (++reached > store->nodeCount) std::abort();
        if (node->key) textBytes += std::strlen(node->key);
        if (node->type >= NODE_ARRAY) {
            for (uint64_t i = 0; i < node->childCount; ++i) pending.push_back(nodeChild(node, i));
        } else if (!nodeText(node) || node->type == 0 || node->childCount != 0) {
            std::abort();  // every value that is not a container has its text, and no children
        } else {
            textBytes += std::strlen(nodeText(node));
        }
    }
    if (reached != store->nodeCount || textBytes > size) std::abort();

    const KeyNode* root = store->root;
    getInt(store, "width");
    getSectionString(store, "sounds", "wordOk");
    getSectionInt(store, "stat", "pressCount");
    for (int i = 0; i < countLanguages(store); ++i) getLangString(store, i, "long");
    findNode(root, {"levels", 0, 1});
    findNode(root, {0, "a", 2});
    if (const KeyNode* first = nodeChild(root, 0); first && first->key)
        getString(store, first->key);
    freeKeyStore(store);
    return 0;
}
