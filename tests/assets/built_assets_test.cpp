// The built archives, read the way the game reads them: every name the configuration gives is
// in its archive, every picture decodes and is drawn at its own shape, every sound and track
// decodes to what the mixer expects, at a sane length and level.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <stb/stb_image.h>
#include <stb/stb_vorbis.h>

#include "store/archive.h"
#include "store/files.h"
#include "store/keystore.h"

namespace {

const std::string kData = WG_DATA_DIR;

struct Archive {
    std::vector<char> bytes;
    bool find(const char* name, const unsigned char** data, size_t* size) const {
        const char* found = archiveFind(bytes.data(), bytes.size(), name, size);
        *data = reinterpret_cast<const unsigned char*>(found);
        return found != nullptr;
    }
};

Archive loadArchive(const std::string& name) {
    std::optional<std::vector<char>> bytes = readDataFile((kData + "/" + name).c_str());
    EXPECT_TRUE(bytes.has_value()) << name;
    return {bytes.value_or(std::vector<char>{})};
}

struct Decoded {
    int channels = 0, rate = 0, frames = 0;
    std::vector<short> samples;  // interleaved
    int peak() const {
        int p = 0;
        for (short s : samples) p = std::max(p, std::abs(int(s)));
        return p;
    }
    // Loudest sample among the first (or last) `count` frames.
    int edgePeak(int count, bool atEnd) const {
        int p = 0;
        const size_t n = size_t(count) * channels;
        for (size_t i = 0; i < n && i < samples.size(); ++i)
            p = std::max(p, std::abs(int(samples[atEnd ? samples.size() - 1 - i : i])));
        return p;
    }
};

Decoded decodeOgg(const unsigned char* data, size_t size) {
    Decoded d;
    short* out = nullptr;
    d.frames = stb_vorbis_decode_memory(data, int(size), &d.channels, &d.rate, &out);
    if (d.frames > 0) d.samples.assign(out, out + size_t(d.frames) * d.channels);
    std::free(out);
    return d;
}

class BuiltAssets : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        config = loadKeyStore((kData + "/game.dat").c_str());
        images = new Archive(loadArchive("images.dat"));
        sounds = new Archive(loadArchive("sounds.dat"));
        music = new Archive(loadArchive("music.dat"));
    }
    static void TearDownTestSuite() {
        freeKeyStore(config);
        delete images;
        delete sounds;
        delete music;
    }
    void SetUp() override {
        ASSERT_NE(config, nullptr) << "data/game.dat is missing or does not parse";
    }

    static const KeyNode* section(const char* name) { return findNode(config->root, {name}); }

    // Decodes the named picture from the images archive; width and height 0 when it fails.
    static void decodeImage(const char* name, int* width, int* height) {
        const unsigned char* data = nullptr;
        size_t size = 0;
        *width = *height = 0;
        ASSERT_TRUE(images->find(name, &data, &size)) << name << " is not in images.dat";
        int channels = 0;
        unsigned char* pixels = stbi_load_from_memory(data, int(size), width, height, &channels, 4);
        EXPECT_NE(pixels, nullptr) << name << " does not decode: " << stbi_failure_reason();
        stbi_image_free(pixels);
    }

    static KeyStore* config;
    static Archive* images;
    static Archive* sounds;
    static Archive* music;
};

KeyStore* BuiltAssets::config = nullptr;
Archive* BuiltAssets::images = nullptr;
Archive* BuiltAssets::sounds = nullptr;
Archive* BuiltAssets::music = nullptr;

TEST_F(BuiltAssets, ArchivesAreStoredBothWays) {
    // The game tells the two apart by the first byte: the images archive goes through the
    // inflating path, the sound and music archives through the plain one.
    for (const auto& [file, compressed] : std::map<std::string, bool>{
             {"images.dat", true}, {"sounds.dat", false}, {"music.dat", false}}) {
        std::optional<std::vector<char>> raw = readWholeFile((kData + "/" + file).c_str());
        ASSERT_TRUE(raw && raw->size() > 2) << file;
        EXPECT_EQ((*raw)[0] == 0x78, compressed) << file;
        EXPECT_EQ(uint8_t((*raw)[0]) == 0xC7 && uint8_t((*raw)[1]) == 0x71, !compressed) << file;
    }
    for (const char* font : {"smallFont", "font"}) {
        const char* name = getString(config, font);
        ASSERT_NE(name, nullptr) << font;
        EXPECT_TRUE(fileExists((kData + "/font/" + name).c_str())) << name;
    }
}

TEST_F(BuiltAssets, IconsAndLanguagePicturesAreSharpAtTheirSize) {
    const KeyNode* icons = section("icons");
    ASSERT_NE(icons, nullptr);
    std::set<std::string> keys;
    for (size_t i = 0; i < icons->childCount; ++i) {
        const KeyNode* icon = nodeChild(icons, i);
        keys.insert(icon->key);
        int w = 0, h = 0;
        decodeImage(nodeText(icon), &w, &h);
        EXPECT_EQ(w, h) << nodeText(icon);
        EXPECT_GE(w, 96) << nodeText(icon) << " would be blurred when drawn at 70 pixels and more";
    }
    EXPECT_EQ(keys, (std::set<std::string>{"home", "stat", "statBack", "helpEnabled",
                                           "helpDisabled", "removeChar", "removeWord"}));

    ASSERT_EQ(countLanguages(config), 8);
    for (int i = 0; i < countLanguages(config); ++i) {
        const char* pic = getLangString(config, i, "pic");
        ASSERT_NE(pic, nullptr);
        int w = 0, h = 0;
        decodeImage(pic, &w, &h);
        EXPECT_EQ(w, h) << pic;
        EXPECT_GE(w, 70) << pic;
    }
}

TEST_F(BuiltAssets, EveryScreenAndStoryPageHasPicturesDrawnAtTheirOwnShape) {
    std::vector<std::string> keys = {"help"};
    for (const char* screen : {"inGame", "langSelect", "mainMenu", "stat", "about"}) {
        keys.push_back(screen);
        keys.push_back(std::string(screen) + "Dark");
    }
    const KeyNode* story = section("story");
    ASSERT_NE(story, nullptr);
    size_t pages = 0;
    for (size_t c = 0; c < story->childCount; ++c)
        for (size_t p = 0; p < nodeChild(story, c)->childCount; ++p, ++pages) {
            const KeyNode* image = findNode(nodeChild(nodeChild(story, c), p), {"image"});
            ASSERT_NE(image, nullptr) << nodeChild(story, c)->key << " page " << p;
            keys.push_back(nodeText(image));
        }
    EXPECT_EQ(pages, 11u);

    const KeyNode* placements = section("images");
    ASSERT_NE(placements, nullptr);
    for (const std::string& key : keys) {
        const KeyNode* list = findNode(placements, {key.c_str()});
        ASSERT_TRUE(list && list->type == NODE_ARRAY && list->childCount > 0)
            << key << " has no pictures";
        for (size_t i = 0; i < list->childCount; ++i) {
            const KeyNode* file = findNode(nodeChild(list, i), {"file"});
            const KeyNode* width = findNode(nodeChild(list, i), {"width"});
            const KeyNode* height = findNode(nodeChild(list, i), {"height"});
            ASSERT_TRUE(file && width && height)
                << key << " placement " << i << " needs a file and a size";
            int w = 0, h = 0;
            decodeImage(nodeText(file), &w, &h);
            const double drawnW = std::atoi(nodeText(width)), drawnH = std::atoi(nodeText(height));
            ASSERT_GT(w * h, 0);
            EXPECT_NEAR(drawnW / drawnH, double(w) / h, 0.02 * w / h)
                << nodeText(file) << " is stretched on " << key;
            EXPECT_LE(drawnW, w * 1.05)
                << nodeText(file) << " is enlarged, and so blurred, on " << key;
        }
    }
}

TEST_F(BuiltAssets, SoundEffectsDecodeShortCleanAndAudible) {
    const KeyNode* slots = section("sounds");
    ASSERT_NE(slots, nullptr);
    EXPECT_EQ(slots->childCount, 8u);
    for (size_t i = 0; i < slots->childCount; ++i) {
        const char* name = nodeText(nodeChild(slots, i));
        const unsigned char* data = nullptr;
        size_t size = 0;
        ASSERT_TRUE(sounds->find(name, &data, &size)) << name << " is not in sounds.dat";
        const Decoded d = decodeOgg(data, size);
        ASSERT_GT(d.frames, 0) << name;
        EXPECT_TRUE(d.channels == 1 || d.channels == 2) << name;
        EXPECT_EQ(d.rate, 44100) << name;
        EXPECT_GE(d.frames, 44100 / 20) << name << " is shorter than 0.05 s";
        EXPECT_LE(d.frames, 44100) << name << " is longer than 1 s";
        EXPECT_LT(d.peak(), 32000) << name << " reaches full scale";
        EXPECT_GT(d.peak(), 6000) << name << " is too quiet to hear";
    }
}

TEST_F(BuiltAssets, MusicTracksAreCalmDistinctStereoAndFadeInAndOut) {
    const KeyNode* playlist = findNode(section("music"), {"normal"});
    ASSERT_TRUE(playlist && playlist->type == NODE_ARRAY);
    EXPECT_GE(playlist->childCount, 3u);
    std::set<std::vector<short>> openings;
    for (size_t i = 0; i < playlist->childCount; ++i) {
        const char* name = nodeText(nodeChild(playlist, i));
        const unsigned char* data = nullptr;
        size_t size = 0;
        ASSERT_TRUE(music->find(name, &data, &size)) << name << " is not in music.dat";
        const Decoded d = decodeOgg(data, size);
        EXPECT_EQ(d.channels, 2) << name;
        EXPECT_EQ(d.rate, 44100) << name;
        EXPECT_GE(d.frames, 60 * 44100) << name << " is shorter than a minute";
        EXPECT_LE(d.frames, 180 * 44100) << name << " is longer than three minutes";
        EXPECT_LT(d.peak(), 32000) << name << " reaches full scale";
        // No click: the first and last 10 ms stay within 1 % of full scale.
        EXPECT_LT(d.edgePeak(441, false), 328) << name << " starts with a click";
        EXPECT_LT(d.edgePeak(441, true), 328) << name << " ends with a click";
        const size_t second = 10 * 44100 * 2;
        ASSERT_GT(d.samples.size(), second + 4410);
        openings.insert(
            std::vector<short>(d.samples.begin() + second, d.samples.begin() + second + 4410));
    }
    EXPECT_EQ(openings.size(), playlist->childCount) << "two tracks sound the same";
}

}  // namespace
