#include "tools/levels/levels.h"
#include <algorithm>
#include <cmath>
#include <random>

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

    void wordsOf(const std::string& key, std::vector<unsigned>& out) const {
        auto it = std::lower_bound(entries.begin(), entries.end(), std::make_pair(key, 0u));
        for (; it != entries.end() && it->first == key; ++it) out.push_back(it->second);
    }
};

// Every word whose letters are a sub-multiset of the row, found by walking the
// row's distinct sub-multisets (at most 2^letters) and looking each one up.
void collectWords(const AnagramIndex& index, const std::string& rowKey, size_t position, std::string& partial,
                  std::vector<unsigned>& out) {
    if (position == rowKey.size()) {
        if (partial.size() >= 3) index.wordsOf(partial, out);
        return;
    }
    size_t run = position;
    while (run < rowKey.size() && rowKey[run] == rowKey[position]) ++run;
    for (size_t take = 0; take <= run - position; ++take) {
        partial.append(take, rowKey[position]);
        collectWords(index, rowKey, run, partial, out);
        partial.resize(partial.size() - take);
    }
}

struct Candidate {
    std::string key;
    std::vector<unsigned> words;
    bool used = false;
};

// Fisher-Yates with the generator's raw output, so every platform shuffles alike.
template <class T> void shuffle(std::vector<T>& items, std::mt19937& rng) {
    for (size_t i = items.size(); i > 1; --i) std::swap(items[i - 1], items[rng() % i]);
}

std::string shuffledRow(const std::string& seedWord, const std::vector<std::string>& longest, std::mt19937& rng) {
    CodePoints cps;
    decodeUtf8(seedWord, cps);
    std::vector<char32_t> letters(cps.begin(), cps.end());
    std::string row;
    for (int attempt = 0; attempt < 100; ++attempt) {
        shuffle(letters, rng);
        row = encodeUtf8(CodePoints(letters.begin(), letters.end()));
        if (!spellsWord(row, longest)) break;
    }
    return row;
}

} // namespace

bool spellsWord(const std::string& row, const std::vector<std::string>& words) {
    for (const std::string& word : words)
        if (row.find(word) != std::string::npos) return true;
    return false;
}

std::vector<Level> chooseLevels(const CodePoints& alphabet, const std::vector<std::string>& words,
                                const std::vector<bool>& described, const LevelRules& rules) {
    AnagramIndex index;
    index.entries.reserve(words.size());
    size_t maxLetters = 0;
    for (unsigned i = 0; i < words.size(); ++i) {
        index.entries.emplace_back(letterKey(alphabet, words[i]), i);
        maxLetters = std::max(maxLetters, index.entries.back().first.size());
    }
    std::sort(index.entries.begin(), index.entries.end());

    // Candidate rows per length: the letters of a word (preferably a described one),
    // one row per letter multiset.
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
            collectWords(index, key, 0, partial, candidate.words);
            size_t count = candidate.words.size();
            if (count < rules.minWords || count > rules.maxWords) continue;
            size_t withText = std::count_if(candidate.words.begin(), candidate.words.end(),
                                            [&](unsigned w) { return described[w]; });
            if (withText < rules.minDescribedShare * count) continue;
            byLength[length].push_back(std::move(candidate));
        }
    }

    // Difficulty grows with the level: the row length steps up through the lengths
    // that offer enough rows, and within a length the word count rises.
    size_t enough = std::max<size_t>(1, rules.levelCount / 25);
    size_t shortest = 0, longest = 0;
    for (size_t length = 0; length < byLength.size(); ++length)
        if (byLength[length].size() >= enough) {
            if (!shortest) shortest = length;
            longest = length;
        }
    std::vector<Level> levels;
    if (!shortest) return levels;
    std::mt19937 rng(rules.seed);
    for (size_t i = 0; i < rules.levelCount; ++i) {
        double progress = rules.levelCount > 1 ? double(i) / (rules.levelCount - 1) : 0;
        size_t wanted = shortest + std::min<size_t>(longest - shortest, size_t(progress * (longest - shortest + 1)));
        double targetWords = rules.minWords + progress * (rules.maxWords - 5 - rules.minWords);
        Candidate* best = nullptr;
        for (size_t distance = 0; !best && distance < byLength.size(); ++distance) {
            for (size_t length : {wanted + distance, wanted - distance}) {
                if (length >= byLength.size() || best) continue;
                for (Candidate& c : byLength[length])
                    if (!c.used && (!best || std::fabs(c.words.size() - targetWords) <
                                                 std::fabs(best->words.size() - targetWords)))
                        best = &c;
            }
        }
        if (!best) break;
        best->used = true;
        Level level;
        for (unsigned w : best->words) level.words.push_back(words[w]);
        std::sort(level.words.begin(), level.words.end(), [&](const std::string& a, const std::string& b) {
            size_t la = letterCount(a), lb = letterCount(b);
            return la != lb ? la < lb : a < b;
        });
        std::vector<std::string> longestWords;
        for (const std::string& w : level.words)
            if (letterCount(w) == best->key.size()) longestWords.push_back(w);
        level.row = shuffledRow(longestWords.empty() ? level.words.back() : longestWords.front(), longestWords, rng);
        levels.push_back(std::move(level));
    }
    return levels;
}
