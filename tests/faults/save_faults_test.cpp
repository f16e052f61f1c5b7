// Every file-system call of a save, failed in turn with each error a full or refusing disk gives
// (through the preload library fault_inject.c): the files stay whole, and the next save succeeds.
#include <dlfcn.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <map>
#include <string>

#include "core/game.h"
#include "core/level.h"
#include "core/save.h"
#include "core/tray.h"
#include "core/words.h"
#include "core_fixture.h"
#include "store/language.h"

namespace {

using Files = std::map<std::string, std::string>;

Files saveFolder() {
    Files files;
    for (const auto& entry : std::filesystem::directory_iterator("save"))
        if (entry.is_regular_file()) files[entry.path().string()] = readFile(entry.path().string());
    return files;
}

std::string listing(const Files& files) {
    std::string text;
    for (const auto& [path, bytes] : files) text += "\n  " + path + ": " + bytes;
    return text;
}

const char* const LEVEL = "save/616162.sav";
const char* const RECORD = "save/progress_en.dat";

// What save/ holds before the save, and the word found since.
struct Scenario {
    const char* name;
    Files before;
    const char* word;
};

class SaveFaults : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        arm_ = reinterpret_cast<void (*)(long, int)>(dlsym(RTLD_DEFAULT, "wg_fault_arm"));
        disarm_ = reinterpret_cast<long (*)()>(dlsym(RTLD_DEFAULT, "wg_fault_disarm"));
        ASSERT_TRUE(arm_ && disarm_) << "run with LD_PRELOAD naming the fault library";
    }

    // Sets save/ up as the scenario says and plays up to the moment of the save.
    void prepare(const Scenario& scenario) {
        std::filesystem::remove_all("save");
        std::filesystem::create_directory("save");
        for (const auto& [path, bytes] : scenario.before) writeFile(path, bytes);
        resetCore(game, config);
        useLanguage(SMALL_LANGUAGE, 1);
        readProgress(game.saves, &game.progress, RECORD);
        game.progress.levelIndex = 1;
        typeWord(scenario.word);
        game.lastLevelSaveTime =
            static_cast<int32_t>(std::time(nullptr)) + 100000;  // every save writes the same
    }

    void (*arm_)(long, int) = nullptr;
    long (*disarm_)() = nullptr;
};

TEST_F(SaveFaults, EveryCallOfASaveFailedWithEachErrorLosesNothing) {
    std::string record(40, '\0');
    record[36] = 100;
    const Scenario scenarios[] = {
        {"first save", {}, "ab"},
        {"over earlier files", {{LEVEL, "[\"ab\"]"}, {RECORD, record}}, "ba"},
        {"unreadable files moved aside", {{LEVEL, "[\"ab\""}, {RECORD, "short"}}, "ab"},
    };
    const int errors[] = {ENOSPC, EIO, EACCES, EROFS};
    long faults = 0, checked = 0;
    for (const Scenario& scenario : scenarios) {
        // The files a save that goes through leaves.
        prepare(scenario);
        saveProgress(game);
        ASSERT_EQ(saveRefusal(game.saves), SaveRefusal::None);
        const Files after = saveFolder();
        ASSERT_EQ(after.count(LEVEL), 1u);
        ASSERT_EQ(after.count(RECORD), 1u);

        for (int error : errors) {
            for (long k = 1;; k++) {
                prepare(scenario);
                arm_(k, error);
                saveProgress(game);
                long calls = disarm_();
                if (k > calls) break;  // every call of this save has failed once
                faults++;
                const std::string what = std::string(scenario.name) + ", call " +
                                         std::to_string(k) + " of " + std::to_string(calls) +
                                         " fails with " + std::strerror(error);
                const Files now = saveFolder();
                for (const auto& [path, bytes] : now) {
                    if (path.size() > 4 && path.compare(path.size() - 4, 4, ".tmp") == 0) continue;
                    // Each file is whole: as it was, as the save makes it, or kept aside.
                    bool before = scenario.before.count(path) && scenario.before.at(path) == bytes;
                    bool saved = after.count(path) && after.at(path) == bytes;
                    EXPECT_TRUE(before || saved) << what << ": " << path << " holds " << bytes;
                }
                // An earlier file is still there, kept aside, or replaced by the save's own.
                for (const auto& [path, bytes] : scenario.before) {
                    bool kept = (now.count(path) && now.at(path) == bytes) ||
                                (now.count(path) && now.at(path) == after.at(path)) ||
                                (now.count(path + ".bad") && now.at(path + ".bad") == bytes);
                    EXPECT_TRUE(kept)
                        << what << ": the earlier " << path << " is gone" << listing(now);
                }
                // A record never counts words its level file lacks.
                if (now.count(RECORD) && now.at(RECORD) == after.at(RECORD)) {
                    EXPECT_EQ(now.count(LEVEL) ? now.at(LEVEL) : "", after.at(LEVEL)) << what;
                }
                if (saveRefusal(game.saves) != SaveRefusal::None) {
                    EXPECT_NE(now.count(RECORD) ? now.at(RECORD) : "", after.at(RECORD)) << what;
                }

                // Once the disk takes it again, a save leaves what a save without faults does.
                game.lastLevelSaveTime = static_cast<int32_t>(std::time(nullptr)) + 100000;
                saveProgress(game);
                EXPECT_EQ(saveRefusal(game.saves), SaveRefusal::None) << what;
                Files again = saveFolder();
                for (const auto& [path, bytes] : after) EXPECT_EQ(again[path], bytes) << what;
                checked++;
            }
        }
    }
    std::printf("faults injected and survived: %ld; saves checked after them: %ld\n", faults,
                checked);
    EXPECT_GE(faults, 3 * 4 * 10);
}

}  // namespace
