#include "tools/levels/levels.h"
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <unordered_map>

namespace {

size_t letterCount(const std::string& word) {
    return std::count_if(word.begin(), word.end(), [](char c) { return (c & 0xC0) != 0x80; });
}

// A word's letters as alphabet indices in ascending order: words with the same
// letters (anagrams) share it, and a row builds a word when the word's key is a
// sub-multiset of the row's key.
std::string letterKey(const CodePoints& alphabet, const std::string& word) {
    CodePoints cps;
    decodeUtf8(word, cps);
    std::string key;
    for (char32_t cp : cps) key += char(alphabet.find(cp));
    std::sort(key.begin(), key.end());
    return key;
}

struct AnagramIndex {
    std::vector<std::pair<std::string, unsigned>> entries; // (key, word index), sorted
    std::unordered_map<std::string, std::pair<size_t, size_t>> ranges; // key -> its run of entries

    void build() {
        std::sort(entries.begin(), entries.end());
        ranges.reserve(entries.size());
        for (size_t i = 0; i < entries.size();) {
            size_t end = i;
            while (end < entries.size() && entries[end].first == entries[i].first) ++end;
            ranges.emplace(entries[i].first, std::make_pair(i, end));
            i = end;
        }
    }

    void wordsOf(const std::string& key, std::vector<unsigned>& out) const {
        auto range = ranges.find(key);
        if (range == ranges.end()) return;
        for (size_t i = range->second.first; i < range->second.second; ++i) out.push_back(entries[i].second);
    }
};

// Every word whose letters are a sub-multiset of the row, found by walking the
// row's distinct sub-multisets (at most 2^letters) and looking each one up. Stops
// once more than `limit` words are found: such a row is of no use.
void collectWords(const AnagramIndex& index, const std::string& rowKey, size_t position, std::string& partial,
                  size_t limit, std::vector<unsigned>& out) {
    if (out.size() > limit) return;
    if (position == rowKey.size()) {
        if (partial.size() >= 3) index.wordsOf(partial, out);
        return;
    }
    size_t run = position;
    while (run < rowKey.size() && rowKey[run] == rowKey[position]) ++run;
    for (size_t take = 0; take <= run - position; ++take) {
        partial.append(take, rowKey[position]);
        collectWords(index, rowKey, run, partial, limit, out);
        partial.resize(partial.size() - take);
    }
}

struct Candidate {
    std::string key;
    std::vector<unsigned> words;
    double describedShare = 0;
    bool used = false;
};

// Fisher-Yates with the generator's raw output, so every platform shuffles alike.
template <class T> void shuffle(std::vector<T>& items, std::mt19937& rng) {
    for (size_t i = items.size(); i > 1; --i) std::swap(items[i - 1], items[rng() % i]);
}

// A shuffle of the seed word's letters in the rules' row class that spells none of
// the longest words; empty when there is none within a few hundred tries.
std::string shuffledRow(const std::string& seedWord, const std::vector<std::string>& longest,
                        const LevelRules& rules, std::mt19937& rng) {
    CodePoints cps;
    decodeUtf8(seedWord, cps);
    std::vector<char32_t> letters(cps.begin(), cps.end());
    for (int attempt = 0; attempt < 400; ++attempt) {
        shuffle(letters, rng);
        std::string row = encodeUtf8(CodePoints(letters.begin(), letters.end()));
        if (!spellsWord(row, longest) && rowClassOf(row, rules.rowClasses) == rules.rowClass) return row;
    }
    return "";
}

Level makeLevel(const Candidate& candidate, const std::vector<std::string>& words, const LevelRules& rules,
                std::mt19937& rng) {
    Level level;
    for (unsigned w : candidate.words) level.words.push_back(words[w]);
    std::sort(level.words.begin(), level.words.end(), [&](const std::string& a, const std::string& b) {
        size_t la = letterCount(a), lb = letterCount(b);
        return la != lb ? la < lb : a < b;
    });
    std::vector<std::string> longest;
    for (const std::string& w : level.words)
        if (letterCount(w) == candidate.key.size()) longest.push_back(w);
    level.row = shuffledRow(longest.front(), longest, rules, rng);
    return level;
}

} // namespace

unsigned rowClassOf(const std::string& row, unsigned classes) {
    uint32_t hash = 2166136261u;
    for (unsigned char c : row) hash = (hash ^ c) * 16777619u;
    return hash % classes;
}

bool spellsWord(const std::string& row, const std::vector<std::string>& words) {
    for (const std::string& word : words)
        if (row.find(word) != std::string::npos) return true;
    return false;
}

namespace {

// Candidate rows per length: the letters of a word (preferably a described one),
// one row per letter multiset, each building between minWords and maxWords words.
std::vector<std::vector<Candidate>> candidateRows(const CodePoints& alphabet, const std::vector<std::string>& words,
                                                  const std::vector<bool>& described, const LevelRules& rules) {
    AnagramIndex index;
    index.entries.reserve(words.size());
    size_t maxLetters = 0;
    for (unsigned i = 0; i < words.size(); ++i) {
        index.entries.emplace_back(letterKey(alphabet, words[i]), i);
        maxLetters = std::max(maxLetters, index.entries.back().first.size());
    }
    index.build();

    std::vector<std::vector<Candidate>> byLength(maxLetters + 1);
    for (size_t length = 4; length <= maxLetters; ++length) {
        std::vector<std::string> seeds, describedSeeds;
        for (size_t i = 0; i < index.entries.size(); ++i) {
            const auto& [key, word] = index.entries[i];
            if (key.size() != length || (i > 0 && index.entries[i - 1].first == key)) continue;
            seeds.push_back(key);
            if (described[word]) describedSeeds.push_back(key);
        }
        if (describedSeeds.size() >= rules.seedsPerLength / 2) seeds.swap(describedSeeds);
        std::mt19937 rng(rules.seed + unsigned(length));
        shuffle(seeds, rng);
        if (seeds.size() > rules.seedsPerLength) seeds.resize(rules.seedsPerLength);
        for (const std::string& key : seeds) {
            Candidate candidate{key, {}};
            std::string partial;
            collectWords(index, key, 0, partial, rules.maxWords, candidate.words);
            size_t count = candidate.words.size();
            if (count < rules.minWords || count > rules.maxWords) continue;
            size_t withText = std::count_if(candidate.words.begin(), candidate.words.end(),
                                            [&](unsigned w) { return described[w]; });
            candidate.describedShare = double(withText) / count;
            byLength[length].push_back(std::move(candidate));
        }
    }
    return byLength;
}

std::vector<Level> pickLevels(std::vector<std::vector<Candidate>> byLength, const std::vector<std::string>& words,
                              const LevelRules& rules) {
    // Difficulty grows with the level: the row length steps up through the lengths
    // that offer enough rows, each length taking levels in proportion to its rows (so
    // no length runs out), and within a length the word count rises.
    size_t enough = std::max<size_t>(1, rules.levelCount / 25);
    size_t available = 0;
    std::vector<size_t> quota(byLength.size(), 0);
    for (size_t length = 0; length < byLength.size(); ++length)
        if (byLength[length].size() >= enough) available += byLength[length].size();
    std::vector<Level> levels;
    if (available < rules.levelCount) return levels;
    size_t assigned = 0;
    for (size_t length = 0; length < byLength.size(); ++length)
        if (byLength[length].size() >= enough) {
            quota[length] = rules.levelCount * byLength[length].size() / available;
            assigned += quota[length];
        }
    for (size_t length = 0; assigned < rules.levelCount; length = (length + 1) % byLength.size())
        if (byLength[length].size() >= enough && quota[length] < byLength[length].size()) {
            ++quota[length];
            ++assigned;
        }
    // Within a length, rows are taken at evenly spaced places of the word-count order;
    // of the rows up to the next place, the one whose words are best described.
    std::mt19937 rng(rules.seed);
    for (size_t length = 0; length < byLength.size(); ++length) {
        std::vector<Candidate>& bucket = byLength[length];
        std::stable_sort(bucket.begin(), bucket.end(),
                         [](const Candidate& a, const Candidate& b) { return a.words.size() < b.words.size(); });
        size_t stride = quota[length] ? std::max<size_t>(1, bucket.size() / quota[length]) : 1;
        for (size_t j = 0; j < quota[length];) {
            size_t place = quota[length] > 1 ? j * (bucket.size() - 1) / (quota[length] - 1) : 0;
            Candidate* best = nullptr;
            for (size_t k = place; k < bucket.size() + place && (!best || k < place + stride); ++k) {
                Candidate& c = bucket[k % bucket.size()];
                if (!c.used && (!best || c.describedShare > best->describedShare)) best = &c;
            }
            if (!best) break;
            best->used = true;
            Level level = makeLevel(*best, words, rules, rng);
            if (level.row.empty()) continue; // too few orders of these letters: take another row
            levels.push_back(std::move(level));
            ++j;
        }
    }
    return levels;
}

} // namespace

std::vector<Level> chooseLevels(const CodePoints& alphabet, const std::vector<std::string>& words,
                                const std::vector<bool>& described, const LevelRules& rules) {
    std::vector<std::vector<Candidate>> candidates = candidateRows(alphabet, words, described, rules);
    std::vector<Level> levels;
    for (double share = rules.minDescribedShare;; share -= 0.01) {
        std::vector<std::vector<Candidate>> wellDescribed(candidates.size());
        for (size_t length = 0; length < candidates.size(); ++length)
            for (const Candidate& c : candidates[length])
                if (c.describedShare >= share) wellDescribed[length].push_back(c);
        levels = pickLevels(std::move(wellDescribed), words, rules);
        if (levels.size() >= rules.levelCount || share <= 0) return levels;
    }
}
