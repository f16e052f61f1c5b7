// Render speed of the intro's player and mixer (the offline renderer's path) beside libxmp and
// libopenmpt rendering the same modules at the same rate with linear interpolation, in
// multiples of real time. Each renderer writes into a buffer kept from run to run, so the
// figures compare the players, not the allocation of ten megabytes of output.
//   intro_render_bench [--wav-dir DIR] [MODULE.xm ...]
// With --wav-dir the three renders of each module are written there for listening.
#include <libopenmpt/libopenmpt.h>
#include <xmp.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "tools/intro/render.h"

namespace {

constexpr int RATE = 44100;
constexpr double SECONDS = 60;
constexpr size_t FRAMES = static_cast<size_t>(SECONDS * RATE);
constexpr size_t CHUNK_FRAMES = 4096;
constexpr int RUNS = 5;

using Clock = std::chrono::steady_clock;

void renderWithLibxmp(const std::string& path, std::vector<int16_t>& stereo) {
    stereo.clear();
    xmp_context context = xmp_create_context();
    if (xmp_load_module(context, const_cast<char*>(path.c_str())) == 0) {
        if (xmp_start_player(context, RATE, 0) == 0) {
            xmp_set_player(context, XMP_PLAYER_INTERP, XMP_INTERP_LINEAR);
            int16_t chunk[CHUNK_FRAMES * 2];
            while (stereo.size() < FRAMES * 2) {
                if (xmp_play_buffer(context, chunk, static_cast<int>(sizeof chunk), 0) != 0) break;
                stereo.insert(stereo.end(), chunk, chunk + CHUNK_FRAMES * 2);
            }
            xmp_end_player(context);
        }
        xmp_release_module(context);
    }
    xmp_free_context(context);
}

void renderWithLibopenmpt(const std::vector<uint8_t>& bytes, std::vector<int16_t>& stereo) {
    stereo.clear();
    openmpt_module* module = openmpt_module_create_from_memory2(
        bytes.data(), bytes.size(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    if (!module) return;
    openmpt_module_set_render_param(module, OPENMPT_MODULE_RENDER_INTERPOLATIONFILTER_LENGTH, 2);
    openmpt_module_set_repeat_count(module, -1);
    int16_t chunk[CHUNK_FRAMES * 2];
    while (stereo.size() < FRAMES * 2) {
        size_t frames = openmpt_module_read_interleaved_stereo(module, RATE, CHUNK_FRAMES, chunk);
        if (frames == 0) break;
        stereo.insert(stereo.end(), chunk, chunk + frames * 2);
    }
    openmpt_module_destroy(module);
}

// Runs the renderers in turn RUNS times, so that they see the same load on the machine, and
// returns the speed of each one's best run in multiples of real time.
std::vector<double> speedsOf(const std::vector<std::function<void()>>& renderers) {
    std::vector<double> best(renderers.size(), 1e9);
    for (int run = 0; run < RUNS; ++run) {
        for (size_t i = 0; i < renderers.size(); ++i) {
            Clock::time_point start = Clock::now();
            renderers[i]();
            best[i] =
                std::min(best[i], std::chrono::duration<double>(Clock::now() - start).count());
        }
    }
    for (double& seconds : best) seconds = SECONDS / seconds;
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    std::string wavDir;
    std::vector<std::string> modules;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--wav-dir") == 0 && i + 1 < argc)
            wavDir = argv[++i];
        else
            modules.push_back(argv[i]);
    }
    if (modules.empty()) {
        modules = {"/usr/share/games/bomberclone/music/zb-tnt.xm",  // 8 channels
                   "/usr/share/games/rafkill/music/song4.xm",       // 22 channels
                   "/usr/share/games/rafkill/music/song3.xm"};      // 24 channels
    }
    std::printf("%-24s %5s %11s %11s %7s %11s %7s\n", "module", "chans", "intro x rt",
                "libxmp x rt", "ratio", "openmpt x rt", "ratio");
    double worstXmp = 1e9, worstOpenmpt = 1e9;
    std::vector<int16_t> ours, xmp, openmpt;
    for (const std::string& path : modules) {
        std::vector<uint8_t> bytes;
        if (!readWholeFile(path, bytes) || bytes.size() < 70) {
            std::printf("%-24s cannot be read\n", path.c_str());
            continue;
        }
        int channels = bytes[68] | bytes[69] << 8;
        XmLoadResult result = XM_LOADED;
        std::vector<double> speeds = speedsOf(
            {[&] { result = renderModule(bytes, RATE, SECONDS, ours); },
             [&] { renderWithLibxmp(path, xmp); }, [&] { renderWithLibopenmpt(bytes, openmpt); }});
        double oursSpeed = speeds[0], xmpSpeed = speeds[1], openmptSpeed = speeds[2];
        if (result != XM_LOADED || xmp.empty() || openmpt.empty()) {
            std::printf("%-24s not rendered (%s)\n", path.c_str(), xmLoadResultText(result));
            continue;
        }
        double ratioXmp = oursSpeed / xmpSpeed, ratioOpenmpt = oursSpeed / openmptSpeed;
        worstXmp = std::min(worstXmp, ratioXmp);
        worstOpenmpt = std::min(worstOpenmpt, ratioOpenmpt);
        std::string name = path.substr(path.find_last_of('/') + 1);
        std::printf("%-24s %5d %11.1f %11.1f %7.2f %11.1f %7.2f\n", name.c_str(), channels,
                    oursSpeed, xmpSpeed, ratioXmp, openmptSpeed, ratioOpenmpt);
        if (!wavDir.empty()) {
            writeWav(wavDir + "/" + name + ".intro.wav", ours, RATE);
            writeWav(wavDir + "/" + name + ".libxmp.wav", xmp, RATE);
            writeWav(wavDir + "/" + name + ".libopenmpt.wav", openmpt, RATE);
        }
    }
    if (worstXmp < 1e9) {
        std::printf("lowest ratio (intro / libxmp): %.2f (target 1.5)\n", worstXmp);
        std::printf("lowest ratio (intro / libopenmpt): %.2f\n", worstOpenmpt);
    }
    return 0;
}
