#include "store/keystore.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

struct StoreDeleter {
    void operator()(KeyStore* store) const { freeKeyStore(store); }
};
using Store = std::unique_ptr<KeyStore, StoreDeleter>;

Store parse(const std::string& text) {
    return Store(parseKeyStore(text.data(), text.size()));
}

const KeyNode* root(const Store& store) {
    return store->root;
}

}  // namespace

TEST(KeyStore, KeepsTextsAsWritten) {
    Store store = parse(R"({"a": "x\"y", w: 12 , "n": 12.5, t: true, "u": "\u00e9\n"})");
    ASSERT_TRUE(store);
    EXPECT_STREQ(getString(store.get(), "a"), "x\\\"y");
    EXPECT_STREQ(getString(store.get(), "w"), "12 ");  // a bare token keeps trailing spaces
    EXPECT_EQ(getInt(store.get(), "w"), 12);
    EXPECT_EQ(getInt(store.get(), "n"), 12);
    EXPECT_EQ(getInt(store.get(), "t"), 0);
    EXPECT_STREQ(getString(store.get(), "u"), "\\u00e9\\n");
    EXPECT_EQ(getInt(store.get(), "missing"), 0);

    Store raw = parse("{\"multi\": \"line one\nline two\"}");
    EXPECT_STREQ(getString(raw.get(), "multi"), "line one\nline two");
}

TEST(KeyStore, BuildsTheTreeWithAnyKindOfKey) {
    Store store = parse("{a: 1, 'b': 2, \"c\": [1, 2, {}]}");
    ASSERT_TRUE(store);
    const KeyNode* top = root(store);
    ASSERT_EQ(top->type, NODE_OBJECT);
    ASSERT_EQ(top->childCount, 3u);
    EXPECT_EQ(nodeChild(top, 0)->type, NODE_BARE);
    EXPECT_STREQ(nodeChild(top, 1)->key, "b");
    EXPECT_EQ(nodeChild(top, 1)->type, NODE_BARE);
    const KeyNode* c = nodeChild(top, 2);
    EXPECT_STREQ(c->key, "c");
    ASSERT_EQ(c->type, NODE_ARRAY);
    ASSERT_EQ(c->childCount, 3u);
    EXPECT_STREQ(nodeText(nodeChild(c, 1)), "2");
    EXPECT_EQ(nodeChild(c, 2)->type, NODE_OBJECT);
    EXPECT_EQ(nodeChild(c, 2)->childCount, 0u);
    EXPECT_EQ(store->nodeCount, 7u);  // every value, in the order it began

    Store quotes = parse("['single', \"double\", k: v]");
    ASSERT_TRUE(quotes);
    EXPECT_EQ(nodeChild(root(quotes), 0)->type, NODE_SQUOTE);
    EXPECT_EQ(nodeChild(root(quotes), 1)->type, NODE_DQUOTE);
    EXPECT_STREQ(getString(quotes.get(), "k"), "v");  // keyed value inside an array

    Store empty = parse("  {}  ignored [ text");
    ASSERT_TRUE(empty);
    EXPECT_EQ(root(empty)->childCount, 0u);
    EXPECT_EQ(getString(empty.get(), "a"), nullptr);
}

TEST(KeyStore, LookupsFindTheFirstMatch) {
    Store store = parse(R"({"k": 1, "k": 2, "s": {"x": "one", "x": "two", "n": " -7x"},
                            "s": {"y": "hidden"}, "str": "text", "none": {},
                            "lang": [{"long": "english"}, {"long": "russian", "save": "ru"}, 5]})");
    ASSERT_TRUE(store);
    EXPECT_STREQ(getString(store.get(), "k"), "1");
    EXPECT_EQ(getString(store.get(), "s"), nullptr);  // a section is not a text
    EXPECT_STREQ(getSectionString(store.get(), "s", "x"), "one");
    EXPECT_EQ(getSectionInt(store.get(), "s", "n"), -7);
    EXPECT_EQ(getSectionString(store.get(), "s", "y"), nullptr);  // only the first "s" counts
    EXPECT_EQ(getSectionString(store.get(), "str", "x"), nullptr);
    EXPECT_EQ(getSectionString(store.get(), "none", "x"), nullptr);
    EXPECT_EQ(getSectionInt(store.get(), "missing", "x"), 0);
    EXPECT_EQ(countLanguages(store.get()), 3);
    EXPECT_STREQ(getLangString(store.get(), 1, "save"), "ru");
    EXPECT_EQ(getLangString(store.get(), 0, "save"), nullptr);
    EXPECT_EQ(getLangString(store.get(), 2, "long"), nullptr);  // an entry that is not an object
    EXPECT_EQ(getLangString(store.get(), 3, "long"), nullptr);

    Store noLang = parse("{\"width\": 1280}");
    EXPECT_EQ(countLanguages(noLang.get()), 0);
    EXPECT_EQ(getString(nullptr, "width"), nullptr);
    EXPECT_EQ(countLanguages(nullptr), 0);
    Store scalarRoot = parse("\"k\": \"v\"");
    ASSERT_TRUE(scalarRoot);
    EXPECT_EQ(getString(scalarRoot.get(), "k"), nullptr);  // the root has no members
}

TEST(KeyStore, FindNodeWalksKeysAndIndices) {
    Store store = parse(R"({"levels": [["ab", "ba"], ["cab"]], "t": "x"})");
    ASSERT_TRUE(store);
    const KeyNode* word = findNode(root(store), {"levels", 1, 0});
    ASSERT_NE(word, nullptr);
    EXPECT_STREQ(nodeText(word), "cab");
    EXPECT_EQ(findNode(root(store), {"levels", 2}), nullptr);
    EXPECT_EQ(findNode(root(store), {"levels", -1}), nullptr);
    EXPECT_EQ(findNode(root(store), {"levels", "0"}), nullptr);  // a key step at an array
    EXPECT_EQ(findNode(root(store), {0}), nullptr);              // an index step at an object
    EXPECT_EQ(findNode(root(store), {"missing", 0}), nullptr);
    EXPECT_STREQ(nodeText(findNode(root(store), {"t", 4, "deeper"})), "x");  // a text ends the walk
    EXPECT_EQ(findNode(root(store), {}), root(store));
    EXPECT_EQ(findNode(nullptr, {"levels"}), nullptr);
}

TEST(KeyStore, RejectsTextsThatMakeNoTree) {
    const char* bad[] = {
        "",
        "   \n",
        "]",
        "{",
        ":",
        "{\"a\" 1]",
        "[1}",                // closes a container of the other kind
        "{[}]",               // an array still open inside the object
        "{\"a\":}",           // a colon without its value
        "{\"a\":[1]:2}",      // a container used as a key
        "[:1]",               // a colon with no key before it
        "{\"a\"::1}",         // two colons
        "{\"a\": \"open",     // no closing quote
        "{\"a\": 'open\\'}",  // the escaped quote does not close it
        "abc\\",              // a token ending in a lone backslash
        "1, 2",               // two values at the top
    };
    for (const char* text : bad) EXPECT_FALSE(parse(text)) << '"' << text << '"';
    EXPECT_TRUE(parse("{\"a\":1}}"));  // text after the root is ignored
}

TEST(KeyStore, ReadsOnlyTheGivenBytes) {
    const char text[] = "{\"k\": \"v\"}";
    EXPECT_TRUE(parse(std::string(text, sizeof text - 1)));
    EXPECT_FALSE(Store(parseKeyStore(text, sizeof text - 2)));  // the closing brace is cut off
    const char quoted[] = {'"', 'a', 'b'};                      // no terminating zero
    EXPECT_FALSE(Store(parseKeyStore(quoted, sizeof quoted)));
    EXPECT_FALSE(Store(parseKeyStore(nullptr, 0)));  // an empty file read into no buffer
    const char token[] = {'1', '2', '3', '4'};
    Store cut(parseKeyStore(token, 2));
    ASSERT_TRUE(cut);
    EXPECT_STREQ(nodeText(root(cut)), "12");
    // A zero byte ends the text.
    EXPECT_FALSE(parse(std::string("[1\0]", 4)));
    EXPECT_TRUE(parse(std::string("[1]\0[", 5)));
}
