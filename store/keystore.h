// The game's JSON data files as a tree of nodes.
//
// Texts are kept byte for byte as written between their delimiters: escapes are not decoded,
// numbers and true/false/null stay text, and an unquoted token keeps its trailing spaces. Lookups
// return pointers into the store, valid until freeKeyStore.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <initializer_list>

#include "store/arena.h"

enum : unsigned {
    NODE_BARE = 1,    // unquoted token
    NODE_SQUOTE = 2,  // single-quoted string
    NODE_DQUOTE = 3,  // double-quoted string
    NODE_ARRAY = 4,
    NODE_OBJECT = 5,
};

// A text node holds its text where a container holds its children, so that the nodes, most of a
// store's memory, stay small: read the value through nodeText and nodeChild.
struct KeyNode {
    uint64_t type : 3;         // one of NODE_*
    uint64_t childCount : 61;  // children of an array or object, 0 otherwise
    const char* key;           // the member's key, or null
    union {
        const char* text;   // of a bare or quoted node
        KeyNode* children;  // of an array or object, in text order; null when it has none
    } value;
};

// The value of a bare or quoted node; null for an array, an object or no node.
inline const char* nodeText(const KeyNode* node) {
    return node && node->type < NODE_ARRAY ? node->value.text : nullptr;
}

// Child i of an array or object in text order; null past the last child, for a text node (which
// has none) or for no node.
inline const KeyNode* nodeChild(const KeyNode* node, uint64_t i) {
    return node && i < node->childCount ? &node->value.children[i] : nullptr;
}

// The first child of an array or object whose key is key; null when none has it, for a text
// node or for no node.
const KeyNode* nodeMember(const KeyNode* node, const char* key);

struct KeyStore {
    KeyNode* root = nullptr;  // the first value of the text
    size_t nodeCount = 0;     // every value of the text
    Arena arena;              // holds every node and a copy of every text
};

// readDataFile and parseKeyStore; null when the file is missing or does not parse.
KeyStore* loadKeyStore(const char* path);
// Parses length bytes of text (which need not be zero-terminated; a zero byte ends the text).
// The store keeps copies of the texts: text may go once this returns. Null on any parse error.
// Free the result with freeKeyStore.
KeyStore* parseKeyStore(const char* text, size_t length);
void freeKeyStore(KeyStore* store);
// A store that its holder frees (freeKeyStore) when it is replaced or goes.
struct KeyStoreFree {
    void operator()(KeyStore* store) const { freeKeyStore(store); }
};
using OwnedKeyStore = std::unique_ptr<KeyStore, KeyStoreFree>;

// The value of the first root member with this key, or null.
const char* getString(const KeyStore* store, const char* key);
// getString read like atoi; 0 when absent.
int getInt(const KeyStore* store, const char* key);
// The value of member key of the first root member named section, or null.
const char* getSectionString(const KeyStore* store, const char* section, const char* key);
int getSectionInt(const KeyStore* store, const char* section, const char* key);
// The number of entries of the root member "lang"; 0 when there is none.
int countLanguages(const KeyStore* store);
// Member key of entry i of the root member "lang", or null.
const char* getLangString(const KeyStore* store, int i, const char* key);

// One step of a findNode path: a member key for an object, an index for an array.
struct PathStep {
    PathStep(const char* key) : key(key) {}
    PathStep(int index) : index(index) {}
    const char* key = nullptr;
    int index = -1;
};

// Walks the path from node: at an object to the first member with the step's key, at an array to
// the child at the step's index. Null when a step finds nothing (or is of the wrong kind for the
// node); a text node ends the walk early and is returned.
const KeyNode* findNode(const KeyNode* node, std::initializer_list<PathStep> path);
