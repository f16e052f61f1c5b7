// Parse throughput of the key store beside RapidJSON's DOM parser on the same bytes: a generated
// text shaped like a language data file (a few hundred arrays of short words and a large object
// of descriptions). Prints MB/s of both and their ratio, for repeated parses in one process (the
// best of several) and for the first parse of a fresh process (the median of several), where
// every page touched is a page fault; the goal is a ratio of at least 1.0 in both.
#include <rapidjson/document.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "store/keystore.h"

namespace {

// A small deterministic generator, so that every run measures the same text.
struct Random {
    uint32_t state = 12345;
    uint32_t next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
};

std::string word(Random& random, bool cyrillic) {
    std::string w;
    int letters = 3 + random.next() % 6;
    for (int i = 0; i < letters; ++i) {
        if (cyrillic) {
            unsigned code = 0x430 + random.next() % 32;  // а..я as two UTF-8 bytes
            w += static_cast<char>(0xC0 | (code >> 6));
            w += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            w += static_cast<char>('a' + random.next() % 26);
        }
    }
    return w;
}

std::string languageFile() {
    Random random;
    std::string text = "{\"levels\": {\n";
    for (int level = 0; level < 400; ++level) {
        text += "  \"" + std::to_string(level) + "\": [";
        for (int i = 0; i < 120; ++i) text += (i ? ", \"" : "\"") + word(random, level % 2) + "\"";
        text += "],\n";
    }
    text += "  \"end\": []},\n\"descr\": {\n";
    for (int entry = 0; entry < 9000; ++entry) {
        text += "  \"" + word(random, entry % 2) + std::to_string(entry) + "\": \"";
        for (int i = 0; i < 14; ++i) text += word(random, entry % 2) + (i % 5 == 4 ? ", " : " ");
        text += "\\\"quoted\\\" end.\",\n";
    }
    text += "  \"last\": \"x\"},\n\"charmap\": {\"q\": \"й\", \"w\": \"ц\"}, \"count\": 9000 }\n";
    return text;
}

// The best of several rounds, in seconds per parse.
template <typename Parse>
double bestSeconds(Parse parse, int rounds) {
    double best = 1e9;
    for (int r = 0; r < rounds; ++r) {
        auto start = std::chrono::steady_clock::now();
        if (!parse()) {
            std::fprintf(stderr, "parse failed\n");
            std::exit(1);
        }
        std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

long minorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

struct FirstParse {
    double seconds;
    long faults;
};

// One parse in a child process that has parsed nothing before; the median of several children.
template <typename Parse>
FirstParse firstParse(Parse parse, int children) {
    std::vector<FirstParse> runs;
    for (int c = 0; c < children; ++c) {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0) std::exit(1);
        pid_t pid = fork();
        if (pid == 0) {
            long faultsBefore = minorFaults();
            FirstParse run{bestSeconds(parse, 1), 0};
            run.faults = minorFaults() - faultsBefore;
            if (write(pipeEnds[1], &run, sizeof run) != sizeof run) _exit(1);
            _exit(0);
        }
        FirstParse run{};
        if (read(pipeEnds[0], &run, sizeof run) != sizeof run) std::exit(1);
        waitpid(pid, nullptr, 0);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        runs.push_back(run);
    }
    std::sort(runs.begin(), runs.end(),
              [](const FirstParse& a, const FirstParse& b) { return a.seconds < b.seconds; });
    return runs[runs.size() / 2];
}

}  // namespace

int main() {
    const std::string text = languageFile();
    const double megabytes = text.size() / 1e6;
    const int rounds = 30;

    auto parseOurs = [&] {
        KeyStore* store = parseKeyStore(text.data(), text.size());
        bool parsed = store && store->nodeCount > 50000;
        freeKeyStore(store);
        return parsed;
    };
    auto parseReference = [&] {
        rapidjson::Document document;
        document.Parse(text.data(), text.size());
        return !document.HasParseError() && document.IsObject();
    };
    const int children = 9;
    FirstParse oursFirst = firstParse(parseOurs, children);
    FirstParse referenceFirst = firstParse(parseReference, children);
    double ours = bestSeconds(parseOurs, rounds);
    double reference = bestSeconds(parseReference, rounds);

    std::printf("key store parse of a %.2f MB language-shaped file\n", megabytes);
    std::printf("first parse of a fresh process (median of %d):\n", children);
    std::printf("  key store:  %8.1f MB/s, %ld page faults\n", megabytes / oursFirst.seconds,
                oursFirst.faults);
    std::printf("  RapidJSON:  %8.1f MB/s, %ld page faults (DOM)\n",
                megabytes / referenceFirst.seconds, referenceFirst.faults);
    std::printf("  ratio key store / RapidJSON: %.2f (goal >= 1.0)\n",
                referenceFirst.seconds / oursFirst.seconds);
    std::printf("repeated parses (best of %d):\n", rounds);
    std::printf("  key store:  %8.1f MB/s\n", megabytes / ours);
    std::printf("  RapidJSON:  %8.1f MB/s (DOM)\n", megabytes / reference);
    std::printf("  ratio key store / RapidJSON: %.2f (goal >= 1.0)\n", reference / ours);
    return 0;
}
