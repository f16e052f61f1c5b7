#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "audio/sounds.h"
#include "tests/audio/ogg_encode.h"
#include "tests/audio/sounds_fixture.h"

namespace {

using SoundLoading = RunDirTest;

TEST_F(SoundLoading, LooseFileComesFirstThenTheArchive) {
    put("data/sounds/ok.ogg", oggTone(500));
    put("data/sounds.dat", cpio({{"ok.ogg", oggTone(700)}, {"click.ogg", oggTone(900, 440, 2)}}));
    const KeyStore* store = config(
        R"({"sounds": {"wordOk": "ok.ogg", "buttonClick": "click.ogg", "statClick": "gone.ogg"}})");
    SoundAssets loaded;
    MusicPlayer music;
    loadSoundAssets(&loaded, store, &music);

    EXPECT_EQ(loaded.music, &music);
    ASSERT_NE(loaded.soundsArchive, nullptr);
    EXPECT_EQ(loaded.sounds[slotIndex(SoundSlot::WordOk)].frameCount, 500);
    EXPECT_EQ(loaded.sounds[slotIndex(SoundSlot::ButtonClick)].frameCount, 900);
    EXPECT_EQ(loaded.sounds[slotIndex(SoundSlot::ButtonClick)].channelCount, 2);
    // Named but found nowhere, or not named at all: the slot stays empty.
    EXPECT_EQ(loaded.sounds[slotIndex(SoundSlot::StatClick)].channel[0], nullptr);
    EXPECT_EQ(loaded.sounds[slotIndex(SoundSlot::Rollover)].channel[0], nullptr);
    for (int slot = 0; slot < kSoundSlotCount; ++slot) {
        EXPECT_EQ(loaded.defs[slot].sound, &loaded.sounds[slot]);
        EXPECT_EQ(loaded.defs[slot].pan, 0.5f);
        EXPECT_EQ(loaded.defs[slot].volumeLeft, 1.0f);
    }
    freeSoundAssets(&loaded);
    EXPECT_EQ(loaded.sounds[slotIndex(SoundSlot::WordOk)].channel[0], nullptr);
}

// The mixer plays a source frame per output frame: a 48 kHz file would play a semitone and more
// too low, so a sound of another rate is left out, loose file or archive member alike.
TEST_F(SoundLoading, SoundsOfAnotherRateAreLeftOut) {
    put("data/sounds/ok.ogg", encodeOgg(sineWave(480, 1, 440, 8000), 1, 48000));
    put("data/sounds.dat", cpio({{"click.ogg", encodeOgg(sineWave(220, 1, 440, 8000), 1, 22050)},
                                 {"stat.ogg", oggTone(300)}}));
    const KeyStore* store = config(
        R"({"sounds": {"wordOk": "ok.ogg", "buttonClick": "click.ogg", "statClick": "stat.ogg"}})");
    SoundAssets loaded;
    MusicPlayer music;
    loadSoundAssets(&loaded, store, &music);
    EXPECT_EQ(loaded.sounds[slotIndex(SoundSlot::WordOk)].channel[0], nullptr);
    EXPECT_EQ(loaded.sounds[slotIndex(SoundSlot::WordOk)].frameCount, 0);
    EXPECT_EQ(loaded.sounds[slotIndex(SoundSlot::ButtonClick)].channel[0], nullptr);
    EXPECT_EQ(loaded.sounds[slotIndex(SoundSlot::StatClick)].frameCount, 300);
    freeSoundAssets(&loaded);
}

TEST_F(SoundLoading, WithoutArchivesOrOutputNothingPlays) {
    const KeyStore* store =
        config(R"({"sounds": {"wordOk": "ok.ogg"}, "music": {"normal": ["a.ogg"]}})");
    MusicPlayer music;
    SoundAssets sounds;
    loadSoundAssets(&sounds, store, &music);
    EXPECT_EQ(sounds.soundsArchiveSize, 0u);

    initAudio(&music, store, nullptr);  // no window: no mixer
    EXPECT_EQ(music.mixer, nullptr);
    EXPECT_STREQ(tsLastError, "Invalid hwnd passed to tsMakeContext.");
    ASSERT_NE(music.playlist, nullptr);
    EXPECT_EQ(playSound(&sounds, SoundSlot::WordOk), nullptr);
    EXPECT_EQ(playSound(&sounds, static_cast<SoundSlot>(-1)), nullptr);
    EXPECT_EQ(startMusicThread(&music), 0);
    EXPECT_FALSE(music.thread.joinable());
    freeSoundAssets(&sounds);
}

TEST_F(SoundLoading, PlaylistIsTheNormalMemberOfTheFirstMusicSection) {
    struct Case {
        const char* json;
        int entries;  // -1: no playlist
    } cases[] = {
        {R"({"music": {"normal": ["a.ogg", "b.ogg"]}})", 2},
        {R"({"music": [{"x": 1}, "normal": ["a.ogg"]]})", 1},
        {R"({"music": {"normal": []}})", 0},
        {R"({"music": {"Normal": ["a.ogg"]}})", -1},
        {R"({"music": "normal"})", -1},
        {R"({"music": {}, "music": {"normal": ["a.ogg"]}})", -1},
        {R"({"sounds": {}})", -1},
    };
    for (const Case& c : cases) {
        MusicPlayer music;
        initAudio(&music, config(c.json), nullptr);
        if (c.entries < 0) {
            EXPECT_EQ(music.playlist, nullptr) << c.json;
        } else {
            ASSERT_NE(music.playlist, nullptr) << c.json;
            EXPECT_EQ(int(music.playlist->childCount), c.entries) << c.json;
        }
    }
}

TEST_F(SoundLoading, TracksAreNeverPickedTwiceInARow) {
    std::srand(7);
    MusicPlayer two;
    initAudio(&two, config(R"({"music": {"normal": ["a.ogg", "b.ogg"]}})"), nullptr);
    for (int i = 0; i < 6; ++i) EXPECT_STREQ(pickNextTrack(&two), i % 2 == 0 ? "b.ogg" : "a.ogg");

    const KeyStore* three = config(R"({"music": {"normal": ["a.ogg", "b.ogg", "c.ogg"]}})");
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::srand(seed);
        MusicPlayer music;
        initAudio(&music, three, nullptr);
        std::string previous = pickNextTrack(&music);
        EXPECT_NE(previous, "a.ogg");  // entry 0 never starts a run
        for (int i = 0; i < 20; ++i) {
            std::string next = pickNextTrack(&music);
            EXPECT_NE(next, previous);
            previous = next;
        }
    }

    MusicPlayer one;
    initAudio(&one, config(R"({"music": {"normal": ["solo.ogg"]}})"), nullptr);
    EXPECT_STREQ(pickNextTrack(&one), "solo.ogg");
    EXPECT_STREQ(pickNextTrack(&one), "solo.ogg");

    MusicPlayer none;
    initAudio(&none, config(R"({"music": {"normal": []}})"), nullptr);
    EXPECT_EQ(pickNextTrack(&none), nullptr);
}

TEST_F(SoundLoading, TrackComesFromTheLooseFileFirstThenTheMusicArchive) {
    put("data/music/a.ogg", oggTone(1200));
    put("data/music.dat", cpio({{"a.ogg", oggTone(1300)}, {"b.ogg", oggTone(1400)}}));
    MusicPlayer music;
    initAudio(&music, config(R"({"music": {"normal": ["a.ogg", "b.ogg"]}})"), nullptr);
    tsSound a = loadTrack(&music, "a.ogg");
    tsSound b = loadTrack(&music, "b.ogg");
    tsSound c = loadTrack(&music, "c.ogg");
    EXPECT_EQ(a.frameCount, 1200);
    EXPECT_EQ(b.frameCount, 1400);
    EXPECT_EQ(c.channel[0], nullptr);
    tsReleaseSound(&a);
    tsReleaseSound(&b);
}

}  // namespace
