#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <system_error>

#include "audio/sounds.h"
#include "tests/audio/fake_ring.h"
#include "tests/audio/sounds_fixture.h"
#include "tests/audio/test_sound.h"

namespace {

constexpr uint32_t kRingBytes = 882000;
constexpr uint32_t kPassBytes = 1760;  // 440 frames: what one 10 ms pass of the device plays
constexpr size_t kPassSamples = kPassBytes / 2;

// The music thread over a device whose play position moves only when the test says so:
// each pass() plays one pass worth of output and waits until the thread has refilled it.
class MusicThreadTest : public RunDirTest {
protected:
    void start(const std::string& json, int voices = 5, int volume = 100) {
        initAudio(&music, config(json), nullptr);
        auto device = std::make_unique<FakeRing>(kRingBytes);
        ring = device.get();
        music.mixer = tsMakeContextOnRing(std::move(device), 44100, 15, 5, voices);
        ASSERT_NE(music.mixer, nullptr);
        setMusicVolume(&music, volume);
        sounds.music = &music;
        startMusicThread(&music);
        ASSERT_TRUE(ring->waitForWritten(expected));
    }

    void TearDown() override {
        stopMusicThread(&music);
        tsReleaseSound(&music.track);
        tsFreeContext(music.mixer);
        RunDirTest::TearDown();
    }

    void pass() {
        ring->advance(kPassBytes);
        expected += kPassBytes;
        ASSERT_TRUE(ring->waitForWritten(expected));
    }

    // Waits until a whole pass has begun after this call, so it sees every setting made before.
    void settle() { ASSERT_TRUE(ring->waitForCursorQueries(ring->cursorQueries() + 2)); }

    std::vector<int16_t> lastPass() const {
        std::vector<int16_t> h = ring->history();
        return std::vector<int16_t>(h.end() - kPassSamples, h.end());
    }

    static int peak(const std::vector<int16_t>& samples, int around = 0) {
        int result = 0;
        for (int16_t s : samples) result = std::max(result, std::abs(s - around));
        return result;
    }

    // Passes until the music is heard; false when it never is.
    bool untilMusicHeard(int limit = 300) {
        for (int i = 0; i < limit; ++i) {
            pass();
            if (peak(lastPass()) > 1000) return true;
        }
        return false;
    }

    void expectOnlyEffects(const std::string& json);

    bool voicePlaysTrack() {
        std::lock_guard<std::mutex> guard(music.mixer->lock);
        return music.mixer->playing && music.mixer->playing->sound == &music.track;
    }
    bool voiceIsFree() {
        std::lock_guard<std::mutex> guard(music.mixer->lock);
        return music.mixer->freeList != nullptr;
    }

    MusicPlayer music;
    SoundAssets sounds;  // the slots playSound plays, on this music's mixer
    FakeRing* ring = nullptr;
    uint64_t expected = 2940 * 4;
};

TEST_F(MusicThreadTest, VolumeZeroSilencesMusicWithinOnePassWhileEffectsKeepTheirLevel) {
    put("data/music/long.ogg", oggTone(88200));
    start(R"({"music": {"normal": ["long.ogg"]}})");
    ASSERT_TRUE(untilMusicHeard());

    TestSound effect(44100, 1000.0f);
    sounds.defs[slotIndex(SoundSlot::WordOk)] = tsDefaultDef(&effect.sound);
    setMusicVolume(&music, 0);
    ASSERT_NE(playSound(&sounds, SoundSlot::WordOk), nullptr);
    settle();
    pass();
    EXPECT_EQ(peak(lastPass(), 500), 0);  // the effect alone, at half amplitude per side

    setMusicVolume(&music, 100);
    settle();
    pass();
    EXPECT_GT(peak(lastPass(), 500), 1000);
}

TEST_F(MusicThreadTest, EffectTakingTheFinishedMusicVoiceIsNotTakenForMusic) {
    put("data/music/short.ogg", oggTone(4410));
    start(R"({"music": {"normal": ["short.ogg"]}})", 1, 0);  // one voice, music silent
    TestSound effect(8820, 1000.0f);
    sounds.defs[slotIndex(SoundSlot::WordOk)] = tsDefaultDef(&effect.sound);

    // Wait for the track to finish and take its voice before the music thread restarts it.
    bool musicPlayed = false;
    tsVoice* voice = nullptr;
    for (int i = 0; i < 500 && !voice; ++i) {
        pass();
        if (voicePlaysTrack())
            musicPlayed = true;
        else if (musicPlayed && voiceIsFree())
            voice = playSound(&sounds, SoundSlot::WordOk);
    }
    ASSERT_NE(voice, nullptr) << "the effect never got the music's voice";

    // The music volume (0) must not reach the effect, and the track must not restart on it.
    for (int i = 0; i < 10; ++i) {
        pass();
        EXPECT_EQ(peak(lastPass(), 500), 0) << "pass " << i;
    }
    for (int i = 0; i < 30 && !voicePlaysTrack(); ++i) pass();
    EXPECT_TRUE(voicePlaysTrack()) << "the music did not come back after the effect";
}

TEST_F(MusicThreadTest, NextTrackStartsWithoutAGap) {
    put("data/music/a.ogg", oggTone(13230, 440));
    put("data/music/b.ogg", oggTone(11025, 660));
    start(R"({"music": {"normal": ["a.ogg", "b.ogg"]}})");
    ASSERT_TRUE(untilMusicHeard());
    for (int i = 0; i < 150; ++i) pass();  // five track changes or more

    std::vector<int16_t> h = ring->history();
    size_t first = 0;
    while (first < h.size() && std::abs(h[first]) < 1000) ++first;
    // Between two tracks only the rest of the pass in which one ended stays quiet.
    size_t quiet = 0, longestQuiet = 0;
    for (size_t i = first / 2; i < h.size() / 2; ++i) {
        quiet = std::abs(h[2 * i]) <= 16 ? quiet + 1 : 0;
        longestQuiet = std::max(longestQuiet, quiet);
    }
    EXPECT_LT(longestQuiet, kPassSamples / 2 + 4);
    EXPECT_EQ(ring->discontinuities(), 0);
}

TEST_F(MusicThreadTest, SingleTrackRepeats) {
    put("data/music/solo.ogg", oggTone(4410));
    start(R"({"music": {"normal": ["solo.ogg"]}})");
    ASSERT_TRUE(untilMusicHeard());
    for (int i = 0; i < 50; ++i) pass();  // five times the track's length
    EXPECT_GT(peak(lastPass()), 1000);
}

// Music that cannot play stays silent, while effects still play through the same passes.
void MusicThreadTest::expectOnlyEffects(const std::string& json) {
    put("data/music/bad.ogg", std::vector<uint8_t>(3000, 0x4F));
    start(json);
    for (int i = 0; i < 20; ++i) pass();
    EXPECT_EQ(peak(ring->history()), 0);

    TestSound effect(44100, 1000.0f);
    sounds.defs[slotIndex(SoundSlot::WordOk)] = tsDefaultDef(&effect.sound);
    ASSERT_NE(playSound(&sounds, SoundSlot::WordOk), nullptr);
    pass();
    EXPECT_EQ(peak(lastPass(), 500), 0);
}

TEST_F(MusicThreadTest, EmptyPlaylistPlaysOnlyEffects) {
    expectOnlyEffects(R"({"music": {"normal": []}})");
}

TEST_F(MusicThreadTest, MissingPlaylistPlaysOnlyEffects) {
    expectOnlyEffects(R"({"sounds": {}})");
}

TEST_F(MusicThreadTest, UnplayableTracksPlayOnlyEffects) {
    expectOnlyEffects(R"({"music": {"normal": ["missing.ogg", "bad.ogg"]}})");
}

TEST_F(MusicThreadTest, FreeSoundAssetsStopsTheMusicBeforeReleasingSounds) {
    put("data/music/long.ogg", oggTone(88200));
    put("data/sounds/ok.ogg", oggTone(44100));
    const KeyStore* store = config(R"({"sounds": {"wordOk": "ok.ogg"}})");
    loadSoundAssets(&sounds, store, &music);
    start(R"({"music": {"normal": ["long.ogg"]}})");
    ASSERT_TRUE(untilMusicHeard());
    ASSERT_NE(playSound(&sounds, SoundSlot::WordOk), nullptr);
    pass();

    freeSoundAssets(&sounds);
    EXPECT_FALSE(music.thread.joinable());
    EXPECT_EQ(ring->pauses(), 1);  // the device does not loop the ring's last seconds
    EXPECT_EQ(sounds.sounds[slotIndex(SoundSlot::WordOk)].channel[0], nullptr);
    uint64_t queries = ring->cursorQueries();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(ring->cursorQueries(), queries);  // nothing mixes the released samples any more
}

// A device that asks the music loop to stop at its given cursor query, so that the loop can
// run on the test's own thread.
class StopAfterRing : public FakeRing {
public:
    StopAfterRing(std::atomic<bool>* stop, uint64_t queries)
        : FakeRing(kRingBytes), stop_(stop), queries_(queries) {}

    bool writeCursor(uint32_t* offset) override {
        if (cursorQueries() + 1 >= queries_) *stop_ = true;
        return FakeRing::writeCursor(offset);
    }

private:
    std::atomic<bool>* stop_;
    uint64_t queries_;
};

// Makes this process unable to start another thread: false where that cannot be arranged. The
// process limit does not bind root, so root gives up its rights first (for this process only).
bool forbidNewThreads() {
    if (geteuid() == 0 && setuid(65534) != 0) return false;
    rlimit none{0, 0};
    if (setrlimit(RLIMIT_NPROC, &none) != 0) return false;
    try {
        std::thread([] {}).join();
        return false;
    } catch (const std::system_error&) {
        return true;
    }
}

class NoThreadTest : public RunDirTest {};

TEST_F(NoThreadTest, MusicWithoutThreadsIsSilentAndTheGameGoesOn) {
    put("data/music/long.ogg", oggTone(88200));
    MusicPlayer music;
    initAudio(&music, config(R"({"music": {"normal": ["long.ogg"]}})"), nullptr);
    // 150 passes: the read-ahead is tried twice (at pass 0 and after the retry interval).
    auto device = std::make_unique<StopAfterRing>(&music.stopRequested, 150);
    FakeRing* ring = device.get();
    music.mixer = tsMakeContextOnRing(std::move(device), 44100, 15, 5, 5);
    ASSERT_NE(music.mixer, nullptr);

    pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        if (!forbidNewThreads()) _exit(77);
        try {
            startMusicThread(&music);
            if (music.thread.joinable()) _exit(2);
            // The loop the thread would have run, here with no thread for the read-ahead either.
            musicThreadMain(&music);
        } catch (...) {
            _exit(4);  // in the game nothing catches it: the program ends
        }
        bool silent = ring->written() > 0 && music.track.frameCount == 0;
        for (int16_t sample : ring->history()) silent = silent && sample == 0;
        _exit(silent ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    tsFreeContext(music.mixer);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "this machine lets the test process start threads whatever its limits";
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0)
        << "2: a music thread ran, 3: something was heard, 4: an exception escaped";
}

}  // namespace
