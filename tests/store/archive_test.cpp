#include "store/archive.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

// Builds an old binary cpio archive with 16-bit header words in either byte order.
class CpioWriter {
public:
    explicit CpioWriter(bool bigEndian) : big(bigEndian) {}

    CpioWriter& add(const std::string& name, const std::string& data) {
        word(070707);
        for (int i = 0; i < 9; ++i) word(0);
        word(static_cast<uint16_t>(name.size() + 1));
        word(static_cast<uint16_t>(data.size() >> 16));
        word(static_cast<uint16_t>(data.size() & 0xFFFF));
        bytes += name;
        bytes += '\0';
        if ((name.size() + 1) % 2) bytes += '\0';
        bytes += data;
        if (data.size() % 2) bytes += '\0';
        return *this;
    }

    std::string bytes;

private:
    void word(uint16_t w) {
        char hi = static_cast<char>(w >> 8), lo = static_cast<char>(w & 0xFF);
        bytes += big ? hi : lo;
        bytes += big ? lo : hi;
    }
    bool big;
};

std::string find(const std::string& archive, const char* name) {
    size_t size = 99;
    const char* data = archiveFind(archive.data(), archive.size(), name, &size);
    if (!data) {
        EXPECT_EQ(size, 0u);
        return "<none>";
    }
    EXPECT_GE(data, archive.data());
    EXPECT_LE(data + size, archive.data() + archive.size());
    return std::string(data, size);
}

}  // namespace

TEST(Archive, FindsMembersByExactNameInBothByteOrders) {
    for (bool big : {false, true}) {
        std::string large(70000, 'z');  // a size above 16 bits
        CpioWriter cpio(big);
        cpio.add("a.png", "first")
            .add("ab.png", "second!")
            .add("big.ogg", large)
            .add("Odd", "x")
            .add("TRAILER!!!", "");
        cpio.bytes += std::string(300, '\0');  // block padding after the end member
        EXPECT_EQ(cpio.bytes.substr(0, 2), big ? "\x71\xC7" : "\xC7\x71");
        EXPECT_EQ(find(cpio.bytes, "a.png"), "first");
        EXPECT_EQ(find(cpio.bytes, "ab.png"), "second!");
        EXPECT_EQ(find(cpio.bytes, "big.ogg"), large);
        EXPECT_EQ(find(cpio.bytes, "Odd"), "x");
        EXPECT_EQ(find(cpio.bytes, "a"), "<none>");
        EXPECT_EQ(find(cpio.bytes, "a.pn"), "<none>");
        EXPECT_EQ(find(cpio.bytes, "a.png.png"), "<none>");
        EXPECT_EQ(find(cpio.bytes, "odd"), "<none>");
        EXPECT_EQ(find(cpio.bytes, "missing"), "<none>");
    }
}

TEST(Archive, NeverReadsOutsideTheBuffer) {
    CpioWriter cpio(false);
    cpio.add("one", "1111").add("two", "2222");
    const std::string whole = cpio.bytes;
    // Every cut of the archive finds only members that lie wholly inside it.
    for (size_t length = 0; length <= whole.size(); ++length) {
        std::string cut = whole.substr(0, length);
        std::string two = find(cut, "two");
        EXPECT_TRUE(two == "<none>" || (two == "2222" && length >= whole.size())) << length;
    }
    EXPECT_EQ(find("", "one"), "<none>");
    size_t size = 1;
    EXPECT_EQ(archiveFind(whole.data(), whole.size(), nullptr, &size), nullptr);
    EXPECT_EQ(archiveFind(nullptr, 0, "one", &size), nullptr);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(find("not an archive at all, just bytes", "one"), "<none>");

    // Sizes in a header that point past the end.
    CpioWriter lying(true);
    lying.add("name", "data");
    std::string hugeData = lying.bytes;
    hugeData[22] = '\x7F';  // file size 0x7FFF0004
    EXPECT_EQ(find(hugeData, "name"), "<none>");
    std::string hugeName = lying.bytes;
    hugeName[20] = '\x7F';  // name size 0x7F05, without a zero inside the archive
    EXPECT_EQ(find(hugeName, "name"), "<none>");
    std::string noZero = lying.bytes;
    noZero[26 + 4] = 'X';  // the stored name loses its terminating zero
    EXPECT_EQ(find(noZero, "name"), "<none>");
    EXPECT_EQ(find(noZero, "nameX"), "<none>");
}
