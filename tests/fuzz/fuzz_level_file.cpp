// A level's save file and a progress file holding arbitrary bytes: the level loader
// restores only words of the level, each once, and the progress reader takes only
// a file of exactly 40 bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdlib.h>

#include "core/game.h"
#include "core/level.h"
#include "core/save.h"
#include "core/tray.h"
#include "core/words.h"
#include "store/keystore.h"

namespace {

const char LANGUAGE[] = R"({"game": {"aab": ["ab", "ba", "aab", "b"], "йb": ["йb"]}})";

// The game reads and writes save/ under the working directory; the fuzzer's own
// paths are relative to the directory it was started in, so each input moves into
// a scratch directory and back.
struct ScratchDirectory {
    ScratchDirectory() {
        static std::filesystem::path scratch = makeScratch();
        home = std::filesystem::current_path();
        std::filesystem::current_path(scratch);
    }
    ~ScratchDirectory() { std::filesystem::current_path(home); }

    static std::filesystem::path makeScratch() {
        char pattern[] = "/tmp/fuzz_level_file_XXXXXX";
        if (!mkdtemp(pattern)) std::abort();
        std::filesystem::create_directory(std::filesystem::path(pattern) / "save");
        return pattern;
    }

    std::filesystem::path home;
};

void writeBytes(const char* path, const uint8_t* data, size_t size) {
    FILE* file = std::fopen(path, "wb");
    if (!file) std::abort();
    std::fwrite(data, 1, size, file);
    std::fclose(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static KeyStore* language = parseKeyStore(LANGUAGE, sizeof LANGUAGE - 1);
    static const Config config;  // save/ and data/ under the scratch directory
    ScratchDirectory scratch;
    Game game;
    resetCore(game, config);

    writeBytes("save/616162.sav", data, size);
    if (loadLevel(game, language, 0) != 1) std::abort();
    if (static_cast<size_t>(game.levelFoundCount) != game.foundList.words.size() ||
        game.levelFoundCount > static_cast<int32_t>(game.levelWords.size))
        std::abort();
    for (size_t k = 0; k < game.foundList.words.size(); k++) {
        const char* word = game.foundList.words[k];
        if (hashGet(game.levelWords, word) == game.levelWords.capacity) std::abort();
        for (size_t j = 0; j < k; j++)
            if (std::strcmp(game.foundList.words[j], word) == 0) std::abort();
    }

    writeBytes("save/progress.dat", data, size);
    Progress record;
    readProgress(game.saves, &record, "save/progress.dat");
    if (size != 40 && (record.levelIndex != 0 || record.volume != 100)) std::abort();
    return 0;
}
