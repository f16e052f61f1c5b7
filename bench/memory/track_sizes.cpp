// Prints the decoded size in bytes of every track of the configured playlist, as the game holds
// it in memory (float samples per channel), and its length in seconds: "BYTES SECONDS" per line.
// The memory benchmark's allowance is built from these.
//
// usage: bench_track_sizes DATA_DIR
#include <cstdio>
#include <string>

#include "audio/mixer.h"
#include "store/archive.h"
#include "store/files.h"
#include "store/keystore.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_track_sizes DATA_DIR\n");
        return 2;
    }
    const std::string data = argv[1];
    KeyStore* config = loadKeyStore((data + "/game.dat").c_str());
    auto music = readDataFile((data + "/music.dat").c_str());
    const KeyNode* playlist = config ? findNode(config->root, {"music", "normal"}) : nullptr;
    if (!music || !playlist) {
        std::fprintf(stderr, "no playlist or no music.dat in %s\n", argv[1]);
        return 1;
    }
    for (size_t i = 0; i < playlist->childCount; ++i) {
        size_t size = 0;
        const char* member =
            archiveFind(music->data(), music->size(), nodeText(nodeChild(playlist, i)), &size);
        int rate = 0;
        tsSound sound{};
        tsDecodeOgg(member, int(size), &rate, &sound);
        std::printf("%zu %.1f\n",
                    size_t(sound.frameCount) * size_t(sound.channelCount) * sizeof(float),
                    rate > 0 ? double(sound.frameCount) / rate : 0.0);
        tsReleaseSound(&sound);
    }
    freeKeyStore(config);
    return 0;
}
