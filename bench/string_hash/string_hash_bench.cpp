// The string hash set beside std::unordered_set<std::string_view>: 10^5 insertions of distinct
// words into an empty container, then 10^6 lookups, half of them words that are not there. The
// words are the system's English word list (the game's own kind of keys), the absent ones the same
// words reversed; without the list, made-up words are used. Prints nanoseconds per operation and
// the ratio std / ours (>= 1 means not slower).
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "util/string_hash.h"

namespace {

constexpr int kWords = 100000;
constexpr int kLookups = 1000000;
constexpr int kRounds = 7;

struct Random {
    uint32_t state = 987654321;
    uint32_t next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
};

// Up to kWords distinct words of the word list, or made-up ones of 3 to 10 letters.
std::vector<std::string> loadWords(Random& random, const char** source) {
    std::unordered_set<std::string> seen;
    std::vector<std::string> words;
    std::ifstream list("/usr/share/dict/words");
    *source = "/usr/share/dict/words";
    for (std::string line; words.size() < kWords && std::getline(list, line);)
        if (!line.empty() && seen.insert(line).second) words.push_back(line);
    if (words.size() < kWords) *source = "made-up words";
    while (words.size() < kWords) {
        std::string w;
        int letters = 3 + random.next() % 8;
        for (int i = 0; i < letters; ++i) w += static_cast<char>('a' + random.next() % 26);
        if (seen.insert(w).second) words.push_back(w);
    }
    return words;
}

double seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
    Random random;
    const char* source;
    std::vector<std::string> words = loadWords(random, &source);
    std::unordered_set<std::string_view> present(words.begin(), words.end());
    std::vector<std::string> absent;
    for (const std::string& w : words) {
        std::string reversed(w.rbegin(), w.rend());
        if (!present.count(reversed)) absent.push_back(reversed);
    }
    std::vector<const char*> queries;
    std::vector<std::string_view> queryViews;
    for (int i = 0; i < kLookups; ++i) {
        const std::string& w =
            i % 2 ? absent[random.next() % absent.size()] : words[random.next() % words.size()];
        queries.push_back(w.c_str());
        queryViews.push_back(w);
    }
    std::vector<std::string> order = words;  // insertion in an order unrelated to sorting
    for (size_t i = order.size() - 1; i > 0; --i)
        std::swap(order[i], order[random.next() % (i + 1)]);

    double oursInsert = 1e9, oursLookup = 1e9, stdInsert = 1e9, stdLookup = 1e9;
    size_t oursFound = 0, stdFound = 0;
    for (int round = 0; round < kRounds; ++round) {
        {
            auto start = std::chrono::steady_clock::now();
            StringSet set;
            HashOutcome outcome;
            for (const std::string& w : order) hashPut(set, w.c_str(), &outcome);
            oursInsert = std::min(oursInsert, seconds(start));
            start = std::chrono::steady_clock::now();
            size_t found = 0;
            for (const char* q : queries) found += hashGet(set, q) != set.capacity;
            oursLookup = std::min(oursLookup, seconds(start));
            oursFound = found;
        }
        {
            auto start = std::chrono::steady_clock::now();
            std::unordered_set<std::string_view> set;
            for (const std::string& w : order) set.insert(w);
            stdInsert = std::min(stdInsert, seconds(start));
            start = std::chrono::steady_clock::now();
            size_t found = 0;
            for (std::string_view q : queryViews) found += set.count(q);
            stdLookup = std::min(stdLookup, seconds(start));
            stdFound = found;
        }
    }
    if (oursFound != stdFound) {
        std::fprintf(stderr, "the containers disagree: %zu against %zu found\n", oursFound,
                     stdFound);
        return 1;
    }
    std::printf("string hash set, %zu insertions and %d lookups (%zu hits) of %s, best of %d\n",
                order.size(), kLookups, oursFound, source, kRounds);
    std::printf(
        "  insert: ours %6.1f ns, std::unordered_set<string_view> %6.1f ns, ratio std/ours %.2f\n",
        oursInsert / order.size() * 1e9, stdInsert / order.size() * 1e9, stdInsert / oursInsert);
    std::printf(
        "  lookup: ours %6.1f ns, std::unordered_set<string_view> %6.1f ns, ratio std/ours %.2f\n",
        oursLookup / kLookups * 1e9, stdLookup / kLookups * 1e9, stdLookup / oursLookup);
    std::printf("  goal: ratio >= 1.00 (not slower)\n");
    return 0;
}
