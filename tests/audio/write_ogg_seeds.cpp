// Writes a few small Ogg Vorbis streams (mono, stereo, three channels, a few frames) into the
// directory given, as a starting corpus for the Ogg fuzz target.
#include <cstdio>
#include <string>

#include "tests/audio/ogg_encode.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: write_ogg_seeds DIRECTORY\n");
        return 2;
    }
    std::string dir = argv[1];
    bool ok =
        writeFile((dir + "/mono.ogg").c_str(), encodeOgg(sineWave(3000, 1, 440, 8000), 1)) &&
        writeFile((dir + "/stereo.ogg").c_str(), encodeOgg(sineWave(2000, 2, 660, 8000), 2)) &&
        writeFile((dir + "/three.ogg").c_str(), encodeOgg(sineWave(300, 3, 550, 8000), 3)) &&
        writeFile((dir + "/five_frames.ogg").c_str(),
                  encodeOgg(sineWave(5, 1, 440, 8000), 1, 22050));
    return ok ? 0 : 1;
}
