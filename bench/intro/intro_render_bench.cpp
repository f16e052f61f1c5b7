// Render speed of the intro's player and mixer (the offline renderer's path) beside libxmp
// rendering the same modules at the same rate, in multiples of real time.
//   intro_render_bench [--wav-dir DIR] [MODULE.xm ...]
// With --wav-dir both renders of each module are written there for listening.
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
constexpr int RUNS = 5;

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

std::vector<int16_t> renderWithLibxmp(const std::string& path) {
  std::vector<int16_t> stereo;
  xmp_context context = xmp_create_context();
  if (xmp_load_module(context, const_cast<char*>(path.c_str())) == 0) {
    if (xmp_start_player(context, RATE, 0) == 0) {
      xmp_set_player(context, XMP_PLAYER_INTERP, XMP_INTERP_LINEAR);
      size_t total = static_cast<size_t>(SECONDS * RATE) * 2;
      stereo.resize(total);
      size_t done = 0;
      while (done < total) {
        size_t chunk = std::min<size_t>(4096, total - done);
        if (xmp_play_buffer(context, stereo.data() + done, static_cast<int>(chunk * 2), 0) != 0) break;
        done += chunk;
      }
      stereo.resize(done);
      xmp_end_player(context);
    }
    xmp_release_module(context);
  }
  xmp_free_context(context);
  return stereo;
}

double secondsOf(const std::function<void()>& render) {
  Clock::time_point start = Clock::now();
  render();
  return secondsSince(start);
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
               "/usr/share/games/rafkill/music/song4.xm",  // 22 channels
               "/usr/share/games/rafkill/music/song3.xm"};  // 24 channels
  }
  std::printf("%-40s %5s %12s %12s %8s\n", "module", "chans", "intro x rt", "libxmp x rt", "ratio");
  double worst = 1e9;
  for (const std::string& path : modules) {
    std::vector<uint8_t> bytes;
    if (!readWholeFile(path, bytes) || bytes.size() < 70) {
      std::printf("%-40s cannot be read\n", path.c_str());
      continue;
    }
    int channels = bytes[68] | bytes[69] << 8;
    std::vector<int16_t> ours, theirs;
    XmLoadResult result = XM_LOADED;
    // Alternating runs see the same load on the machine; the best of each counts.
    double oursSeconds = 1e9, theirsSeconds = 1e9;
    for (int run = 0; run < RUNS; ++run) {
      oursSeconds = std::min(oursSeconds, secondsOf([&] { ours = renderModule(bytes, RATE, SECONDS, &result); }));
      theirsSeconds = std::min(theirsSeconds, secondsOf([&] { theirs = renderWithLibxmp(path); }));
    }
    if (result != XM_LOADED || theirs.empty()) {
      std::printf("%-40s not rendered (%s)\n", path.c_str(), xmLoadResultText(result));
      continue;
    }
    double oursSpeed = SECONDS / oursSeconds, theirsSpeed = SECONDS / theirsSeconds;
    double ratio = oursSpeed / theirsSpeed;
    worst = std::min(worst, ratio);
    std::string name = path.substr(path.find_last_of('/') + 1);
    std::printf("%-40s %5d %12.1f %12.1f %8.2f\n", name.c_str(), channels, oursSpeed, theirsSpeed, ratio);
    if (!wavDir.empty()) {
      writeWav(wavDir + "/" + name + ".intro.wav", ours, RATE);
      writeWav(wavDir + "/" + name + ".libxmp.wav", theirs, RATE);
    }
  }
  if (worst < 1e9) std::printf("lowest ratio (intro / libxmp): %.2f (target 1.5)\n", worst);
  return 0;
}
