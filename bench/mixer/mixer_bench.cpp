// The mixer's pass (five stereo voices, 2940 frames) beside a plain scalar loop of the same
// arithmetic, then the music thread over a clock-driven device across track changes,
// counting underruns. Usage: bench_mixer [track changes (default 8)]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <vector>

#include "audio/sounds.h"
#include "store/keystore.h"
#include "tests/audio/fake_ring.h"
#include "tests/audio/ogg_encode.h"
#include "tests/audio/test_sound.h"

namespace {

using Clock = std::chrono::steady_clock;

// CPU time of this thread: the machine may be shared, and time spent waiting for a core is
// not time the mixer costs.
double cpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

constexpr int kFrames = 2940;
constexpr int kVoices = 5;
constexpr uint32_t kRingBytes = 882000;

// A device whose write cursor moves one pass per query, so every pass mixes 2940 frames.
class StepRing : public AudioRing {
public:
    bool writeCursor(uint32_t* offset) override {
        cursor_ = (cursor_ + kFrames * 4) % kRingBytes;
        *offset = cursor_;
        return true;
    }
    RingLock lock(uint32_t offset, uint32_t bytes, RingRegions* regions) override {
        uint32_t first = std::min(bytes, kRingBytes - offset);
        *regions = {ring_.data() + offset, first, first < bytes ? ring_.data() : nullptr,
                    bytes - first};
        return RingLock::Ok;
    }
    void unlock(const RingRegions&) override {}
    bool restore() override { return true; }
    void play() override {}
    void pause() override {}

private:
    std::vector<uint8_t> ring_ = std::vector<uint8_t>(kRingBytes);
    uint32_t cursor_ = 0;
};

// One second of stereo noise: the length of a long sound effect, exactly 15 passes.
constexpr int kVoiceFrames = 44100;

std::unique_ptr<TestSound> noiseVoice(unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> sample(-20000.0f, 20000.0f);
    return std::make_unique<TestSound>(kVoiceFrames, 2, [&](int, int) { return sample(random); });
}

// The same pass written as a plain loop: accumulate, round, clip, interleave, copy.
#if defined(__GNUC__) && !defined(__clang__)
__attribute__((optimize("no-tree-vectorize")))
#endif
void scalarPass(const std::vector<std::unique_ptr<TestSound>>& voices, int position, float* left,
                float* right, int16_t* staging, uint8_t* ring) {
    std::fill(left, left + kFrames, 0.0f);
    std::fill(right, right + kFrames, 0.0f);
    for (const auto& voice : voices) {
        const tsSound& s = voice->sound;
        for (int i = 0; i < kFrames; ++i) {
            left[i] += s.channel[0][position + i] * 0.5f;
            right[i] += s.channel[1][position + i] * 0.5f;
        }
    }
    for (int i = 0; i < kFrames; ++i) {
        staging[2 * i] = int16_t(std::clamp(std::lrint(left[i]), -32768L, 32767L));
        staging[2 * i + 1] = int16_t(std::clamp(std::lrint(right[i]), -32768L, 32767L));
    }
    std::copy(reinterpret_cast<uint8_t*>(staging),
              reinterpret_cast<uint8_t*>(staging + 2 * kFrames), ring);
}

void benchPass() {
    std::vector<std::unique_ptr<TestSound>> voices;
    for (int v = 0; v < kVoices; ++v) voices.push_back(noiseVoice(unsigned(v + 1)));
    tsMixer* mixer = tsMakeContextOnRing(std::make_unique<StepRing>(), 44100, 15, 5, kVoices);
    const int passes = 3000;  // the voices are restarted whenever they have ended
    std::vector<float> left(kFrames), right(kFrames);
    std::vector<int16_t> staging(2 * kFrames);
    std::vector<uint8_t> ring(kFrames * 4);

    double best[2] = {1e9, 1e9};
    double bestWall[2] = {1e9, 1e9};
    for (int round = 0; round < 5; ++round) {
        auto wall = Clock::now();
        double start = cpuSeconds();
        for (int p = 0; p < passes; ++p) {
            if (!mixer->playing)
                for (auto& v : voices) tsStartSound(mixer, tsDefaultDef(&v->sound));
            tsMixAhead(mixer);
        }
        double mixerSeconds = cpuSeconds() - start;
        double mixerWall = std::chrono::duration<double>(Clock::now() - wall).count();
        wall = Clock::now();
        start = cpuSeconds();
        for (int p = 0; p < passes; ++p)
            scalarPass(voices, (p * kFrames) % kVoiceFrames, left.data(), right.data(),
                       staging.data(), ring.data());
        double scalarSeconds = cpuSeconds() - start;
        double scalarWall = std::chrono::duration<double>(Clock::now() - wall).count();
        bestWall[0] = std::min(bestWall[0], mixerWall / passes);
        bestWall[1] = std::min(bestWall[1], scalarWall / passes);
        best[0] = std::min(best[0], mixerSeconds / passes);
        best[1] = std::min(best[1], scalarSeconds / passes);
    }
    double realTime = double(kFrames) / 44100.0;
    std::printf("mix pass, %d stereo voices, %d frames (best of 5 rounds, thread CPU time):\n",
                kVoices, kFrames);
    std::printf("  mixer        %8.2f us per pass  %8.0f x real time   (wall clock %.2f us)\n",
                best[0] * 1e6, realTime / best[0], bestWall[0] * 1e6);
    std::printf("  scalar loop  %8.2f us per pass  %8.0f x real time   (wall clock %.2f us)\n",
                best[1] * 1e6, realTime / best[1], bestWall[1] * 1e6);
    std::printf("  ratio        %8.2f x faster than the scalar loop (target >= 4)\n",
                best[1] / best[0]);
    tsFreeContext(mixer);
}

void benchTrackChanges(int changes) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("bench_mixer_" + std::to_string(getpid()));
    fs::create_directories(dir / "data/music");
    fs::path previous = fs::current_path();
    fs::current_path(dir);
    const int trackFrames = 3 * 44100;
    std::mt19937 random(3);
    std::normal_distribution<double> noise(0, 3000);
    for (const char* name : {"a.ogg", "b.ogg"}) {
        std::vector<int16_t> samples = sineWave(trackFrames, 2, name[0] == 'a' ? 440 : 550, 6000);
        for (int16_t& s : samples) s = int16_t(std::clamp(s + noise(random), -32768.0, 32767.0));
        writeFile((std::string("data/music/") + name).c_str(), encodeOgg(samples, 2));
    }
    auto decodeStart = Clock::now();
    int rate = 0;
    tsSound probe = tsReadOggFile("data/music/a.ogg", &rate);
    double decodeMs = std::chrono::duration<double, std::milli>(Clock::now() - decodeStart).count();
    tsReleaseSound(&probe);

    std::string json = R"({"music": {"normal": ["a.ogg", "b.ogg"]}})";
    KeyStore* config = parseKeyStore(json.c_str(), json.size());
    MusicPlayer music;
    initAudio(&music, config, nullptr);
    auto device = std::make_unique<FakeRing>(kRingBytes, true);
    FakeRing* ring = device.get();
    music.mixer = tsMakeContextOnRing(std::move(device), 44100, 15, 5, 5);
    setMusicVolume(&music, 100);
    startMusicThread(&music);
    std::this_thread::sleep_for(std::chrono::milliseconds(100 + changes * 3000 + 1000));
    stopMusicThread(&music);

    std::printf(
        "music thread, %d track changes of %.1f s tracks (decoding one takes %.1f ms; the lead is "
        "66.7 ms):\n",
        changes, trackFrames / 44100.0, decodeMs);
    std::printf("  underruns    %8d (target 0), %llu passes\n", ring->underruns(),
                static_cast<unsigned long long>(ring->cursorQueries()));
    for (double at : ring->underrunTimes()) std::printf("  underrun at %.2f s of playback\n", at);
    tsReleaseSound(&music.track);
    tsFreeContext(music.mixer);
    freeKeyStore(config);
    fs::current_path(previous);
    fs::remove_all(dir);
}

}  // namespace

int main(int argc, char** argv) {
    benchPass();
    benchTrackChanges(argc > 1 ? std::max(1, std::atoi(argv[1])) : 8);
    return 0;
}
