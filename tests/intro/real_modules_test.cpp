// Modules written by others (installed from Debian's game packages) load and play through the
// same path as the offline renderer: a minute each, with sound and without runaway clipping.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/intro/render.h"

namespace {

std::vector<std::string> installedModules() {
    std::vector<std::string> found;
    std::error_code error;
    for (const char* root : {"/usr/share/games"}) {
        std::filesystem::recursive_directory_iterator it(root, error), end;
        for (; !error && it != end; it.increment(error)) {
            if (it->path().extension() == ".xm") found.push_back(it->path().string());
        }
    }
    return found;
}

TEST(RealModules, EachLoadsAndPlaysAMinuteWithSoundAndWithoutRunawayClipping) {
    std::vector<std::string> modules = installedModules();
    if (modules.size() < 20) GTEST_SKIP() << "the game packages with modules are not installed";
    for (const std::string& path : modules) {
        SCOPED_TRACE(path);
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(readWholeFile(path, bytes));
        std::vector<int16_t> stereo;
        ASSERT_EQ(renderModule(bytes, 44100, 60, stereo), XM_LOADED);
        ASSERT_GE(stereo.size(), 60u * 44100 * 2);
        double energy = 0;
        size_t clipped = 0;
        for (int16_t v : stereo) {
            energy += static_cast<double>(v) * v;
            if (v == 32767 || v == -32768) ++clipped;
        }
        double rms = std::sqrt(energy / stereo.size());
        EXPECT_GT(rms, 300) << "nearly silent";
        EXPECT_LT(clipped, stereo.size() / 50) << "more than 2% of the samples clipped";
    }
}

}  // namespace
