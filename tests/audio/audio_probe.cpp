// Looks into audio that the game wrote through SDL's disk driver (16-bit stereo at 44100 Hz).
// Run in the game's run directory, so that effects are decoded the way the game loads them.
//   audio_probe level CAPTURE FROM TO     peak and RMS of the left channel between two times (s),
//                                         and the length of the capture (s)
//   audio_probe find CAPTURE SLOTKEY [FROM]  where the effect of that sound slot ("wordOk") best
//                                         matches the capture (from FROM s on): time and
//                                         normalised correlation
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "audio/sounds.h"
#include "store/keystore.h"

namespace {

std::vector<float> readLeft(const char* path) {
    std::vector<float> left;
    FILE* file = std::fopen(path, "rb");
    if (!file) return left;
    int16_t frame[2];
    while (std::fread(frame, sizeof frame, 1, file) == 1) left.push_back(frame[0]);
    std::fclose(file);
    return left;
}

int level(const std::vector<float>& left, double from, double to) {
    size_t begin = std::min(left.size(), size_t(from * 44100));
    size_t end = std::min(left.size(), size_t(to * 44100));
    double sum = 0, peak = 0;
    for (size_t i = begin; i < end; ++i) {
        sum += double(left[i]) * left[i];
        peak = std::max(peak, double(std::fabs(left[i])));
    }
    double rms = end > begin ? std::sqrt(sum / double(end - begin)) : 0;
    std::printf("%.0f %.1f %.2f\n", peak, rms, double(left.size()) / 44100.0);
    return 0;
}

int find(const std::vector<float>& left, const char* slotKey, double from) {
    KeyStore* config = loadKeyStore("data/game.dat");
    if (!config) {
        std::fprintf(stderr, "no data/game.dat here\n");
        return 2;
    }
    SoundAssets loaded;
    MusicPlayer music;
    loadSoundAssets(&loaded, config, &music);
    int slot = kSoundSlotCount;
    for (const SoundSlotKey& row : kSoundSlotKeys)
        if (std::strcmp(row.key, slotKey) == 0) slot = slotIndex(row.slot);
    if (slot == kSoundSlotCount || loaded.sounds[slot].frameCount == 0) {
        std::fprintf(stderr, "no sound for %s\n", slotKey);
        return 2;
    }
    // The effect as the mixer plays it on the left side: the source at half amplitude.
    const tsSound& sound = loaded.sounds[slot];
    std::vector<float> effect(sound.channel[0], sound.channel[0] + sound.frameCount);
    double effectEnergy = 0;
    for (float s : effect) effectEnergy += double(s) * s;
    if (effect.size() > left.size() || effectEnergy == 0) {
        std::printf("0 0\n");
        return 0;
    }
    // Effects start on a group of four frames, so only those offsets are tried.
    double best = 0;
    size_t bestAt = 0;
    // Running sums of squares give each window's energy without a second pass over it.
    std::vector<double> squares(left.size() + 1, 0.0);
    for (size_t i = 0; i < left.size(); ++i)
        squares[i + 1] = squares[i] + double(left[i]) * left[i];
    for (size_t at = size_t(from * 44100) & ~size_t(3); at + effect.size() <= left.size();
         at += 4) {
        double dot = 0;
        for (size_t i = 0; i < effect.size(); ++i) dot += double(left[at + i]) * effect[i];
        double energy = squares[at + effect.size()] - squares[at];
        double correlation = energy > 0 ? dot / std::sqrt(energy * effectEnergy) : 0;
        if (correlation > best) {
            best = correlation;
            bestAt = at;
        }
    }
    std::printf("%.3f %.3f\n", double(bestAt) / 44100.0, best);
    freeSoundAssets(&loaded);
    freeKeyStore(config);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "level") == 0)
        return level(readLeft(argv[2]), std::atof(argv[3]), std::atof(argv[4]));
    if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "find") == 0)
        return find(readLeft(argv[2]), argv[3], argc == 5 ? std::atof(argv[4]) : 0.0);
    std::fprintf(stderr,
                 "usage: audio_probe level CAPTURE FROM TO | find CAPTURE SLOTKEY [FROM]\n");
    return 2;
}
