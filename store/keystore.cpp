#include "store/keystore.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "store/files.h"

namespace {

// What a stack entry is besides a node.
enum Marker : int32_t { kNode = 0, kArrayOpen = -1, kObjectOpen = -2, kColon = -3 };

struct StackEntry {
    KeyNode node;  // for kNode entries
    Marker marker;
};

// Parses the text in one pass with a stack of open containers, keyed nodes waiting for a value
// and the nodes made inside each open container. A container's nodes are built on the stack and
// moved into the store side by side when it closes, so that the store holds no list of pointers to
// them. Each text is copied into the store with a zero after it; the rest of the text (spaces,
// quotes, delimiters) is not kept.
// Returns false on any text that does not make a sound tree.
class Parser {
public:
    Parser(const char* text, size_t length, KeyStore& store)
        : in(text), end(text + length), store(store) {
        // Room for the widest container of a data file, so that the stack is not copied into
        // fresh memory as it grows; only what is used is ever touched.
        stack.reserve(std::max<size_t>(256, length / 64));
    }

    bool run() {
        const char* p = in;
        while (p < end) {
            switch (*p) {
            case ' ':
            case '\t':
            case '\n':
            case '\v':
            case '\f':
            case '\r':
            case ',': ++p; break;
            case '[':
            case '{':
                open(*p == '[' ? kArrayOpen : kObjectOpen);
                ++p;
                break;
            case ']':
            case '}': {
                bool rootClosed = false;
                if (!close(*p == ']' ? kArrayOpen : kObjectOpen, rootClosed)) return false;
                if (rootClosed) return finish();  // anything after the root is ignored
                ++p;
                break;
            }
            case ':':
                // Only a text can be a key: not the start of a text, a container, or another key.
                if (stack.empty() || stack.back().marker != kNode ||
                    stack.back().node.type >= NODE_ARRAY)
                    return false;
                stack.push_back({KeyNode{}, kColon});
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
    bool keyWaiting() const { return stack.size() >= 2 && stack.back().marker == kColon; }

    void pushNode(unsigned type, const char* text) {
        stack.push_back({KeyNode{type, 0, nullptr, {text}}, kNode});
        ++store.nodeCount;
    }

    void open(Marker marker) {
        if (keyWaiting()) {
            stack.back().marker = marker;  // the keyed node below becomes the container
        } else {
            pushNode(0, nullptr);
            stack.push_back({KeyNode{}, marker});
        }
    }

    bool close(Marker marker, bool& rootClosed) {
        size_t m = stack.size();
        while (m > 0 && stack[m - 1].marker == kNode) --m;
        // The nearest entry that is not a node must open this kind of container: a colon without
        // its value or a container of the other kind still open are errors.
        if (m == 0 || stack[m - 1].marker != marker) return false;
        --m;
        KeyNode& node = stack[m - 1].node;
        node.type = marker == kArrayOpen ? NODE_ARRAY : NODE_OBJECT;
        node.key = node.value.text;
        size_t count = stack.size() - m - 1;
        node.childCount = count;
        node.value.children = count > 0 ? store.arena.allocate<KeyNode>(count) : nullptr;
        for (size_t i = 0; i < count; ++i) node.value.children[i] = stack[m + 1 + i].node;
        stack.resize(m);
        rootClosed = m == 1;
        return true;
    }

    // Scans a quoted string or bare token starting at p; returns where scanning goes on, or null.
    const char* scalar(const char* p) {
        const char* text;
        const char* next;
        unsigned type;
        char c = *p;
        if (c == '"' || c == '\'') {
            // A backslash keeps the character after it in the string, so an escaped quote does
            // not close it.
            const char* from = p + 1;
            const char* stop = find(from, c);
            for (;;) {
                if (!stop) return nullptr;  // no closing quote
                const void* backslash = std::memchr(from, '\\', static_cast<size_t>(stop - from));
                if (!backslash) break;
                from = static_cast<const char*>(backslash) + 2;
                if (from > stop) stop = find(from, c);  // that quote was escaped
            }
            text = copyText(p + 1, stop);
            next = stop + 1;
            type = c == '"' ? NODE_DQUOTE : NODE_SQUOTE;
        } else {
            const char* start = p;
            for (; p < end; ++p) {
                char t = *p;
                if (t == ':' || t == ',' || t == '\n' || t == ']' || t == '}') break;
                if (t == '\\' && ++p == end) return nullptr;  // lone backslash at the end
            }
            text = copyText(start, p);
            next = p;
            type = NODE_BARE;
        }
        if (keyWaiting()) {
            stack.pop_back();
            KeyNode& node = stack.back().node;
            node.key = node.value.text;
            node.value.text = text;
            node.type = type;
        } else {
            pushNode(type, text);
        }
        return next;
    }

    const char* find(const char* from, char c) const {
        return static_cast<const char*>(std::memchr(from, c, static_cast<size_t>(end - from)));
    }

    const char* copyText(const char* from, const char* to) {
        size_t length = static_cast<size_t>(to - from);
        char* copy = store.arena.allocate<char>(length + 1);
        std::memcpy(copy, from, length);
        copy[length] = '\0';
        return copy;
    }

    bool finish() {
        if (stack.size() != 1) return false;
        store.root = store.arena.allocate<KeyNode>(1);
        *store.root = stack[0].node;
        return true;
    }

    const char* in;
    const char* end;
    KeyStore& store;
    std::vector<StackEntry> stack;
};

const KeyNode* rootOf(const KeyStore* store) {
    return store ? store->root : nullptr;
}

int toInt(const char* text) {
    return text ? std::atoi(text) : 0;
}

}  // namespace

KeyStore* parseKeyStore(const char* text, size_t length) {
    if (length == 0) return nullptr;  // nothing to parse (and text may be null)
    if (const void* zero = std::memchr(text, 0, length))
        length = static_cast<size_t>(static_cast<const char*>(zero) - text);
    auto* store = new KeyStore;
    // Language files hold about one value in every ten bytes, each a node: room for that much,
    // and for the texts, in one go.
    store->arena.reserve(length + length / 8 * sizeof(KeyNode));
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

void freeKeyStore(KeyStore* store) {
    delete store;
}

const KeyNode* nodeMember(const KeyNode* node, const char* key) {
    for (uint64_t i = 0; const KeyNode* child = nodeChild(node, i); ++i)
        if (child->key && std::strcmp(child->key, key) == 0) return child;
    return nullptr;
}

const char* getString(const KeyStore* store, const char* key) {
    return nodeText(nodeMember(rootOf(store), key));
}

int getInt(const KeyStore* store, const char* key) {
    return toInt(getString(store, key));
}

const char* getSectionString(const KeyStore* store, const char* section, const char* key) {
    return nodeText(nodeMember(nodeMember(rootOf(store), section), key));
}

int getSectionInt(const KeyStore* store, const char* section, const char* key) {
    return toInt(getSectionString(store, section, key));
}

int countLanguages(const KeyStore* store) {
    const KeyNode* lang = nodeMember(rootOf(store), "lang");
    return lang ? static_cast<int>(lang->childCount) : 0;
}

const char* getLangString(const KeyStore* store, int i, const char* key) {
    if (i < 0) return nullptr;
    const KeyNode* lang = nodeMember(rootOf(store), "lang");
    return nodeText(nodeMember(nodeChild(lang, static_cast<uint64_t>(i)), key));
}

const KeyNode* findNode(const KeyNode* node, std::initializer_list<PathStep> path) {
    for (const PathStep& step : path) {
        if (!node) return nullptr;
        if (node->type == NODE_OBJECT) {
            node = step.key ? nodeMember(node, step.key) : nullptr;
        } else if (node->type == NODE_ARRAY) {
            bool isIndex = !step.key && step.index >= 0;
            node = isIndex ? nodeChild(node, static_cast<uint64_t>(step.index)) : nullptr;
        } else {
            return node;
        }
    }
    return node;
}
