// xmrender: plays an XM module through the intro's player and mixer into a WAV file.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/intro/render.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: xmrender MODULE.xm OUTPUT.wav [SECONDS=60] [RATE=44100]\n");
        return 2;
    }
    double seconds = argc > 3 ? std::atof(argv[3]) : 60;
    int rate = argc > 4 ? std::atoi(argv[4]) : 44100;
    if (seconds <= 0 || rate < 8000 || rate > 192000) {
        std::fprintf(stderr, "xmrender: seconds must be positive and the rate 8000..192000\n");
        return 2;
    }
    std::vector<uint8_t> module;
    if (!readWholeFile(argv[1], module)) {
        std::fprintf(stderr, "xmrender: cannot read %s\n", argv[1]);
        return 1;
    }
    std::vector<int16_t> stereo;
    XmLoadResult result = renderModule(module, rate, seconds, stereo);
    if (result != XM_LOADED) {
        std::fprintf(stderr, "xmrender: %s: %s\n", argv[1], xmLoadResultText(result));
        return 1;
    }
    if (!writeWav(argv[2], stereo, rate)) {
        std::fprintf(stderr, "xmrender: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
