// The asset tools. What the archive packer writes, the game's reader finds; what wgpack packs, it
// lists and extracts byte for byte; damaged or hostile archives are handled without harm; the
// synthesisers refuse bad recipes and scores without writing anything.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "store/archive.h"
#include "tools/assets/cpio.h"
#include "tools/assets/synth.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> bytesOf(const std::string& s) {
    return {s.begin(), s.end()};
}

std::vector<ArchiveMember> sampleMembers() {
    std::vector<uint8_t> binary;
    for (int i = 0; i < 256; ++i) binary.push_back(uint8_t(i));
    return {{"a.png", bytesOf("odd")},    // odd data length
            {"ab.png", bytesOf("even")},  // a name that extends the previous one
            {"empty.ogg", {}},            // no data at all
            {"binary.dat", binary},       // every byte value
            {"nine.txt", bytesOf("123456789")}};
}

struct TempDir {
    fs::path path;
    explicit TempDir(const std::string& name) : path(fs::temp_directory_path() / name) {
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~TempDir() { fs::remove_all(path); }
};

int run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str());
}

void writeFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
    ASSERT_TRUE(writeFileBytes(path.string(), bytes));
}

std::vector<uint8_t> readFile(const fs::path& path) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(readFileBytes(path.string(), &bytes)) << path;
    return bytes;
}

}  // namespace

TEST(ArchivePacker, GameReaderFindsEveryMemberPlainAndCompressed) {
    const std::vector<ArchiveMember> members = sampleMembers();
    std::vector<uint8_t> archive;
    ASSERT_TRUE(buildArchive(members, &archive));
    EXPECT_EQ(archive[0], 0xC7);
    EXPECT_EQ(archive[1], 0x71);

    for (const std::vector<uint8_t>& stored : {archive, zlibCompress(archive)}) {
        const std::vector<uint8_t> bytes = unpackDataFile(stored);
        ASSERT_EQ(bytes, archive);
        for (const ArchiveMember& m : members) {
            size_t size = 99;
            const char* data = archiveFind(reinterpret_cast<const char*>(bytes.data()),
                                           bytes.size(), m.name.c_str(), &size);
            ASSERT_NE(data, nullptr) << m.name;
            EXPECT_EQ(std::vector<uint8_t>(data, data + size), m.data) << m.name;
        }
        size_t size = 99;
        EXPECT_EQ(
            archiveFind(reinterpret_cast<const char*>(bytes.data()), bytes.size(), "a", &size),
            nullptr);
    }

    // Our own reader gives back the same members in order, without the end marker.
    const std::vector<ArchiveMember> parsed = parseArchive(archive);
    ASSERT_EQ(parsed.size(), members.size());
    for (size_t i = 0; i < members.size(); ++i) {
        EXPECT_EQ(parsed[i].name, members[i].name);
        EXPECT_EQ(parsed[i].data, members[i].data);
    }
}

TEST(ArchivePacker, ReadsBigEndianHeadersAndStopsAtDamage) {
    // One member "x" with data "hi", written with big-endian header words.
    std::vector<uint8_t> big = {0x71, 0xC7};
    big.resize(20, 0);
    for (uint8_t b : {0x00, 0x02, 0x00, 0x00, 0x00, 0x02})
        big.push_back(b);  // name size 2, file size 0:2
    for (uint8_t b : {'x', '\0', 'h', 'i'}) big.push_back(b);
    std::vector<ArchiveMember> parsed = parseArchive(big);
    ASSERT_EQ(parsed.size(), 1u);
    EXPECT_EQ(parsed[0].name, "x");
    EXPECT_EQ(parsed[0].data, bytesOf("hi"));

    std::vector<uint8_t> archive;
    ASSERT_TRUE(buildArchive(sampleMembers(), &archive));
    // Cut inside the data of the fourth member: the first three take 110 bytes, then come its
    // header (26), its padded name (12) and 100 of its 256 data bytes. The three before it
    // survive and nothing past the end is read.
    const std::vector<uint8_t> cut(archive.begin(), archive.begin() + 110 + 26 + 12 + 100);
    bool truncated = false;
    parsed = parseArchive(cut, &truncated);
    EXPECT_TRUE(truncated);
    EXPECT_EQ(parsed.size(), 3u);
    EXPECT_TRUE(parseArchive(bytesOf("not an archive at all")).empty());
    EXPECT_TRUE(parseArchive({}).empty());

    ArchiveMember huge{std::string(70000, 'n'), {}};
    EXPECT_FALSE(buildArchive({huge}, &archive));
    EXPECT_TRUE(archive.empty());
}

TEST(ArchivePacker, DataFileRuleKeepsPlainBytes) {
    EXPECT_EQ(unpackDataFile(bytesOf("{\"a\": 1}")), bytesOf("{\"a\": 1}"));
    // A zlib header followed by rubbish does not inflate, so the bytes stay as they are.
    const std::vector<uint8_t> rubbish = {0x78, 0x9C, 1, 2, 3, 4, 5};
    EXPECT_EQ(unpackDataFile(rubbish), rubbish);
    // A stream cut short is not half-inflated either.
    std::vector<uint8_t> stream = zlibCompress(std::vector<uint8_t>(5000, 'z'));
    stream.resize(stream.size() / 2);
    EXPECT_EQ(unpackDataFile(stream), stream);
}

TEST(WgpackTool, PackListExtractGiveBackTheSameBytes) {
    TempDir dir("wgpack_round_trip");
    const fs::path in = dir.path / "in", out = dir.path / "out";
    fs::create_directories(in);
    for (const ArchiveMember& m : sampleMembers()) writeFile(in / m.name, m.data);

    for (const std::string flag : {"", "-z "}) {
        const fs::path archive = dir.path / ("pack" + flag.substr(0, 2) + ".dat");
        ASSERT_EQ(run(std::string(WGPACK) + " pack " + flag + archive.string() + " " + in.string()),
                  0);
        const std::vector<uint8_t> stored = readFile(archive);
        ASSERT_FALSE(stored.empty());
        EXPECT_EQ(stored[0] == 0xC7, flag.empty())
            << "plain archives start with the magic, compressed ones with zlib";

        const fs::path listing = dir.path / "listing.txt";
        ASSERT_EQ(std::system(
                      (std::string(WGPACK) + " list " + archive.string() + " >" + listing.string())
                          .c_str()),
                  0);
        const std::vector<uint8_t> listed = readFile(listing);
        const std::string text(listed.begin(), listed.end());
        for (const ArchiveMember& m : sampleMembers())
            EXPECT_NE(text.find(std::to_string(m.data.size()) + "  " + m.name + "\n"),
                      std::string::npos)
                << text;

        fs::remove_all(out);
        ASSERT_EQ(run(std::string(WGPACK) + " extract " + archive.string() + " " + out.string()),
                  0);
        for (const ArchiveMember& m : sampleMembers())
            EXPECT_EQ(readFile(out / m.name), m.data) << m.name;
    }

    // Packing the same files twice gives the same archive.
    ASSERT_EQ(
        run(std::string(WGPACK) + " pack " + (dir.path / "again.dat").string() + " " + in.string()),
        0);
    EXPECT_EQ(readFile(dir.path / "again.dat"), readFile(dir.path / "pack.dat"));
}

TEST(WgpackTool, ExtractWritesNothingOutsideTheTargetDirectory) {
    TempDir dir("wgpack_hostile");
    std::vector<uint8_t> archive;
    ASSERT_TRUE(buildArchive({{"../escaped.txt", bytesOf("x")},
                              {"/tmp/wgpack_abs.txt", bytesOf("y")},
                              {"ok.txt", bytesOf("z")}},
                             &archive));
    writeFile(dir.path / "hostile.dat", archive);
    const fs::path out = dir.path / "out";
    EXPECT_NE(run(std::string(WGPACK) + " extract " + (dir.path / "hostile.dat").string() + " " +
                  out.string()),
              0);
    EXPECT_FALSE(fs::exists(dir.path / "escaped.txt"));
    EXPECT_FALSE(fs::exists("/tmp/wgpack_abs.txt"));
    EXPECT_EQ(readFile(out / "ok.txt"), bytesOf("z"));

    // Missing archives, unknown members and bad usage fail without writing anything.
    EXPECT_NE(run(std::string(WGPACK) + " list " + (dir.path / "missing.dat").string()), 0);
    EXPECT_NE(run(std::string(WGPACK) + " extract " + (dir.path / "hostile.dat").string() + " " +
                  out.string() + " nope.txt"),
              0);
    EXPECT_NE(run(std::string(WGPACK) + " pack " + (dir.path / "x.dat").string()), 0);
    EXPECT_FALSE(fs::exists(dir.path / "x.dat"));
}

TEST(AudioTools, NoteNamesAndBadRecipesAreHandled) {
    EXPECT_DOUBLE_EQ(noteFrequency("A4"), 440.0);
    EXPECT_EQ(noteNumber("C4"), 60);
    EXPECT_EQ(noteNumber("C#3"), noteNumber("Db3"));
    EXPECT_EQ(noteNumber("B-1"), 11);
    for (const char* bad : {"", "H4", "C", "C#", "C44", "Cx4", "4C"})
        EXPECT_EQ(noteFrequency(bad), 0.0) << bad;
    // A sharp inside a word is a note, a word starting with # is a comment.
    EXPECT_EQ(stripComment("buzz 0 C#3 0.1 0.2 # low"), "buzz 0 C#3 0.1 0.2 ");

    TempDir dir("audio_tools_bad_input");
    const fs::path out = dir.path / "out.ogg";
    for (const std::string score :
         {"tempo 70\nchords A C G\nchords B F\nform A B\nvoice pad 0.1 0.5 1 2\n",
          "tempo 70\nchords A C\nform A X\nvoice pad 0.1 0.5 1 1\n",
          "tempo 70\nchords A Cxyz\nform A\nvoice pad 0.1 0.5 1 1\n",
          "tempo 70\nchords A C\nform A\nvoice flute 0.1 0.5 1 1\n", "chords A C\n"}) {
        writeFile(dir.path / "bad.score", bytesOf(score));
        EXPECT_NE(run(std::string(WGMUSIC) + " " + (dir.path / "bad.score").string() + " " +
                      out.string()),
                  0)
            << score;
        EXPECT_FALSE(fs::exists(out)) << score;
    }
    for (const std::string recipe : {"bell 0 C5 0.5 0.3\n", "effect ok ok.ogg 0.5 1.5\n",
                                     "effect ok ok.ogg 0.5 0.5\nbell 0 Q5 0.5 0.3\n",
                                     "effect ok ok.ogg 0.5 0.5\nsweep 0 0 100 0.2 0.3\n"}) {
        writeFile(dir.path / "bad.txt", bytesOf(recipe));
        EXPECT_NE(run(std::string(WGSFX) + " " + (dir.path / "bad.txt").string() + " " +
                      dir.path.string()),
                  0)
            << recipe;
        EXPECT_FALSE(fs::exists(dir.path / "ok.ogg")) << recipe;
    }
}
