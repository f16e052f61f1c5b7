#include "store/keystore.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "store/files.h"

namespace {

// Stack entries besides node indices.
constexpr int32_t kArrayOpen = -1;
constexpr int32_t kObjectOpen = -2;
constexpr int32_t kColon = -3;

// Parses in one pass with a stack of open containers, keyed nodes waiting for a value and the
// nodes made inside each open container. The store keeps one copy of the input with a zero after
// it, and every text points into that copy: a text is always followed by a byte it does not keep
// (its closing quote or the character that ends the token) or by the end, so its terminating zero
// is written there in the copy while the parser goes on reading the original.
// Returns false on any text that does not make a sound tree.
class Parser {
public:
    Parser(const char* text, size_t length, KeyStore& store)
        : in(text), end(text + length), store(store) {
        store.texts.reset(new char[length + 1]);
        std::memcpy(store.texts.get(), text, length);
        store.texts[length] = '\0';
    }

    bool run() {
        const char* p = in;
        while (p < end) {
            switch (*p) {
            case ' ': case '\t': case '\n': case '\v': case '\f': case '\r': case ',':
                ++p;
                break;
            case '[': case '{':
                open(*p == '[' ? kArrayOpen : kObjectOpen);
                ++p;
                break;
            case ']': case '}': {
                bool rootClosed = false;
                if (!close(*p == ']' ? kArrayOpen : kObjectOpen, rootClosed)) return false;
                if (rootClosed) return finish();  // anything after the root is ignored
                ++p;
                break;
            }
            case ':':
                // Only a text can be a key: not the start of a text, a container, or another key.
                if (stack.empty() || stack.back() < 0 ||
                    store.nodes[stack.back()].type >= NODE_ARRAY)
                    return false;
                stack.push_back(kColon);
                ++p;
                break;
            default:
                p = scalar(p);
                if (!p) return false;
            }
        }
        return finish();
    }

private:
    bool keyWaiting() const { return stack.size() >= 2 && stack.back() == kColon; }

    int32_t addNode() {
        store.nodes.push_back(KeyNode{0, 0, nullptr, nullptr, nullptr});
        return static_cast<int32_t>(store.nodes.size() - 1);
    }

    void open(int32_t marker) {
        if (keyWaiting()) {
            stack.back() = marker;  // the keyed node below becomes the container
        } else {
            stack.push_back(addNode());
            stack.push_back(marker);
        }
    }

    bool close(int32_t marker, bool& rootClosed) {
        size_t m = stack.size();
        while (m > 0 && stack[m - 1] >= 0) --m;
        // The nearest entry that is not a node must open this kind of container: a colon without
        // its value or a container of the other kind still open are errors.
        if (m == 0 || stack[m - 1] != marker) return false;
        --m;
        KeyNode& node = store.nodes[stack[m - 1]];
        node.type = marker == kArrayOpen ? NODE_ARRAY : NODE_OBJECT;
        node.key = node.text;
        node.text = nullptr;
        node.childCount = stack.size() - m - 1;
        containers.push_back({stack[m - 1], static_cast<uint32_t>(childIndex.size())});
        childIndex.insert(childIndex.end(), stack.begin() + m + 1, stack.end());
        stack.resize(m);
        rootClosed = m == 1;
        return true;
    }

    // Scans a quoted string or bare token starting at p; returns where scanning goes on, or null.
    const char* scalar(const char* p) {
        const char* start;
        const char* stop;
        const char* next;
        unsigned type;
        char c = *p;
        if (c == '"' || c == '\'') {
            // A backslash keeps the character after it in the string, so an escaped quote does
            // not close it.
            start = p + 1;
            const char* from = start;
            stop = find(from, c);
            for (;;) {
                if (!stop) return nullptr;  // no closing quote
                const char* backslash = static_cast<const char*>(
                    std::memchr(from, '\\', static_cast<size_t>(stop - from)));
                if (!backslash) break;
                from = backslash + 2;
                if (from > stop) stop = find(from, c);  // that quote was escaped
            }
            next = stop + 1;
            type = c == '"' ? NODE_DQUOTE : NODE_SQUOTE;
        } else {
            start = p;
            for (; p < end; ++p) {
                char t = *p;
                if (t == ':' || t == ',' || t == '\n' || t == ']' || t == '}') break;
                if (t == '\\' && ++p == end) return nullptr;  // lone backslash at the end
            }
            stop = p;
            next = p;
            type = NODE_BARE;
        }
        char* text = store.texts.get() + (start - in);
        text[stop - start] = '\0';
        if (keyWaiting()) {
            stack.pop_back();
            KeyNode& node = store.nodes[stack.back()];
            node.key = node.text;
            node.text = text;
            node.type = type;
        } else {
            stack.push_back(addNode());
            KeyNode& node = store.nodes.back();
            node.text = text;
            node.type = type;
        }
        return next;
    }

    const char* find(const char* from, char c) const {
        return static_cast<const char*>(std::memchr(from, c, static_cast<size_t>(end - from)));
    }

    bool finish() {
        if (stack.size() != 1) return false;
        store.links.resize(childIndex.size());
        for (size_t i = 0; i < childIndex.size(); ++i) store.links[i] = &store.nodes[childIndex[i]];
        for (auto [index, first] : containers)
            if (store.nodes[index].childCount > 0) store.nodes[index].children = &store.links[first];
        return true;
    }

    const char* in;
    const char* end;
    KeyStore& store;
    std::vector<int32_t> stack;
    std::vector<uint32_t> childIndex;  // children of every container, by node index
    std::vector<std::pair<int32_t, uint32_t>> containers;  // node, where its children start
};

// The first child of node whose key is key, or null. Only arrays and objects have children.
const KeyNode* firstChildWithKey(const KeyNode* node, const char* key) {
    if (!node || node->type < NODE_ARRAY) return nullptr;
    for (uint64_t i = 0; i < node->childCount; ++i) {
        const KeyNode* child = node->children[i];
        if (child->key && std::strcmp(child->key, key) == 0) return child;
    }
    return nullptr;
}

const KeyNode* rootOf(const KeyStore* store) {
    return store && !store->nodes.empty() ? &store->nodes[0] : nullptr;
}

int toInt(const char* text) { return text ? std::atoi(text) : 0; }

}  // namespace

KeyStore* parseKeyStore(const char* text, size_t length) {
    if (length == 0) return nullptr;  // nothing to parse (and text may be null)
    if (const void* zero = std::memchr(text, 0, length))
        length = static_cast<size_t>(static_cast<const char*>(zero) - text);
    auto* store = new KeyStore;
    if (!Parser(text, length, *store).run()) {
        delete store;
        return nullptr;
    }
    return store;
}

KeyStore* loadKeyStore(const char* path) {
    auto data = readDataFile(path);
    if (!data) return nullptr;
    return parseKeyStore(data->data(), data->size());
}

void freeKeyStore(KeyStore* store) { delete store; }

const char* getString(const KeyStore* store, const char* key) {
    const KeyNode* member = firstChildWithKey(rootOf(store), key);
    return member ? member->text : nullptr;
}

int getInt(const KeyStore* store, const char* key) { return toInt(getString(store, key)); }

const char* getSectionString(const KeyStore* store, const char* section, const char* key) {
    const KeyNode* member = firstChildWithKey(firstChildWithKey(rootOf(store), section), key);
    return member ? member->text : nullptr;
}

int getSectionInt(const KeyStore* store, const char* section, const char* key) {
    return toInt(getSectionString(store, section, key));
}

int countLanguages(const KeyStore* store) {
    const KeyNode* lang = firstChildWithKey(rootOf(store), "lang");
    return lang ? static_cast<int>(lang->childCount) : 0;
}

const char* getLangString(const KeyStore* store, int i, const char* key) {
    const KeyNode* lang = firstChildWithKey(rootOf(store), "lang");
    if (!lang || i < 0 || static_cast<uint64_t>(i) >= lang->childCount) return nullptr;
    const KeyNode* member = firstChildWithKey(lang->children[i], key);
    return member ? member->text : nullptr;
}

const KeyNode* findNode(const KeyNode* node, std::initializer_list<PathStep> path) {
    for (const PathStep& step : path) {
        if (!node) return nullptr;
        if (node->type == NODE_OBJECT) {
            node = step.key ? firstChildWithKey(node, step.key) : nullptr;
        } else if (node->type == NODE_ARRAY) {
            bool inRange = !step.key && step.index >= 0 &&
                           static_cast<uint64_t>(step.index) < node->childCount;
            node = inRange ? node->children[step.index] : nullptr;
        } else {
            return node;
        }
    }
    return node;
}
