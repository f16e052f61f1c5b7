#include "tools/levels/levels.h"
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <memory>
#include <random>
#include <unordered_map>
#include <unordered_set>

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
    std::vector<std::pair<std::string, unsigned>> entries;              // (key, word index), sorted
    std::unordered_map<std::string, std::pair<size_t, size_t>> ranges;  // key -> its run of entries

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
        for (size_t i = range->second.first; i < range->second.second; ++i)
            out.push_back(entries[i].second);
    }
};

// Every word whose letters are a sub-multiset of the row, found by walking the
// row's distinct sub-multisets (at most 2^letters) and looking each one up. Stops
// once more than `limit` words are found: such a row is of no use.
void collectWords(const AnagramIndex& index, const std::string& rowKey, size_t position,
                  std::string& partial, size_t minLetters, size_t limit,
                  std::vector<unsigned>& out) {
    if (out.size() > limit) return;
    if (position == rowKey.size()) {
        if (partial.size() >= minLetters) index.wordsOf(partial, out);
        return;
    }
    size_t run = position;
    while (run < rowKey.size() && rowKey[run] == rowKey[position]) ++run;
    for (size_t take = 0; take <= run - position; ++take) {
        partial.append(take, rowKey[position]);
        collectWords(index, rowKey, run, partial, minLetters, limit, out);
        partial.resize(partial.size() - take);
    }
}

struct Candidate {
    std::string key;
    std::vector<unsigned> words;  // ascending
    double describedShare = 0;
    unsigned medianRank = 0;
    unsigned maxRank = 0;
    bool used = false;
};

// Fisher-Yates with the generator's raw output, so every platform shuffles alike.
template <class T>
void shuffle(std::vector<T>& items, std::mt19937& rng) {
    for (size_t i = items.size(); i > 1; --i) std::swap(items[i - 1], items[rng() % i]);
}

// A shuffle of the row's letters in the rules' row class that spells none of the
// longest words; empty when there is none within a few hundred tries.
std::string shuffledRow(const CodePoints& rowLetters, const std::vector<std::string>& longest,
                        const LevelRules& rules, std::mt19937& rng) {
    std::vector<char32_t> letters(rowLetters.begin(), rowLetters.end());
    for (int attempt = 0; attempt < 400; ++attempt) {
        shuffle(letters, rng);
        std::string row = encodeUtf8(CodePoints(letters.begin(), letters.end()));
        if (!spellsWord(row, longest) && rowClassOf(row, rules.rowClasses) == rules.rowClass)
            return row;
    }
    return "";
}

void sortShorterFirst(std::vector<std::string>& words) {
    std::sort(words.begin(), words.end(), [](const std::string& a, const std::string& b) {
        size_t la = letterCount(a), lb = letterCount(b);
        return la != lb ? la < lb : a < b;
    });
}

Level makeLevel(const Candidate& candidate, const CodePoints& alphabet,
                const std::vector<std::string>& words, const LevelRules& rules, std::mt19937& rng) {
    Level level;
    for (unsigned w : candidate.words) level.words.push_back(words[w]);
    sortShorterFirst(level.words);
    std::vector<std::string> longest;
    for (const std::string& w : level.words)
        if (letterCount(w) == letterCount(level.words.back())) longest.push_back(w);
    CodePoints rowLetters;
    for (char index : candidate.key) rowLetters += alphabet[size_t(index)];
    level.row = shuffledRow(rowLetters, longest, rules, rng);
    level.medianRank = candidate.medianRank;
    return level;
}

}  // namespace

namespace {

// Every sub-multiset of the sorted key from `position` on, appended to partial.
void collectSubKeys(const std::string& rowKey, size_t position, std::string& partial,
                    size_t minLetters, std::unordered_set<std::string>& out) {
    if (position == rowKey.size()) {
        if (partial.size() >= minLetters) out.insert(partial);
        return;
    }
    size_t run = position;
    while (run < rowKey.size() && rowKey[run] == rowKey[position]) ++run;
    for (size_t take = 0; take <= run - position; ++take) {
        partial.append(take, rowKey[position]);
        collectSubKeys(rowKey, run, partial, minLetters, out);
        partial.resize(partial.size() - take);
    }
}

}  // namespace

std::function<bool(const std::string&)> builtBySomeRow(const CodePoints& alphabet,
                                                       const std::vector<Level>& levels,
                                                       size_t minLetters) {
    auto keys = std::make_shared<std::unordered_set<std::string>>();
    for (const Level& level : levels) {
        std::string partial;
        collectSubKeys(letterKey(alphabet, level.row), 0, partial, minLetters, *keys);
    }
    return [keys, alphabet](const std::string& word) {
        return keys->count(letterKey(alphabet, word)) > 0;
    };
}

std::vector<std::vector<std::string>> otherWords(const CodePoints& alphabet,
                                                 const std::vector<Level>& levels,
                                                 const std::vector<std::string>& words,
                                                 size_t minLetters) {
    AnagramIndex index;
    index.entries.reserve(words.size());
    for (unsigned i = 0; i < words.size(); ++i)
        index.entries.emplace_back(letterKey(alphabet, words[i]), i);
    index.build();
    std::vector<std::vector<std::string>> others;
    for (const Level& level : levels) {
        std::vector<unsigned> built;
        std::string partial;
        collectWords(index, letterKey(alphabet, level.row), 0, partial, minLetters, SIZE_MAX,
                     built);
        std::sort(built.begin(), built.end());
        others.emplace_back();
        for (unsigned w : built)
            if (std::find(level.words.begin(), level.words.end(), words[w]) == level.words.end())
                others.back().push_back(words[w]);
    }
    return others;
}

namespace {

size_t sharedCount(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    size_t shared = 0;
    for (const std::string& word : a) shared += std::count(b.begin(), b.end(), word);
    return shared;
}

// True when two word counts differ by at most `step` of the larger, or by no more than before.
bool gentleStep(size_t count, size_t neighbour, size_t before, double step) {
    auto change = [](size_t a, size_t b) { return a > b ? a - b : b - a; };
    return change(count, neighbour) <= step * std::max(count, neighbour) ||
           change(count, neighbour) <= change(before, neighbour);
}

// True when `level` may list `word` as well and still keep the rules the levels were chosen
// by: its size, a gentle step from each neighbour, at most half its words shared, and no longest
// word to be read off the row. An early level may grow further (see earlyMaxWithEveryday).
bool roomFor(const std::vector<Level>& levels, size_t i, const std::string& word,
             const LevelRules& rules) {
    const std::vector<std::string>& words = levels[i].words;
    size_t count = words.size() + 1;
    // The row is shuffled so that no longest word can be read off it.
    if (letterCount(word) >= letterCount(words.back()) && spellsWord(levels[i].row, {word}))
        return false;
    bool early = i < rules.earlyLevels;
    if (count > (early ? rules.earlyMaxWithEveryday : rules.maxWords)) return false;
    for (size_t n : {i - 1, i + 1}) {
        if (n >= levels.size()) continue;  // i - 1 wraps around for the first level
        const std::vector<std::string>& other = levels[n].words;
        if (!gentleStep(count, other.size(), words.size(), early ? 0.5 : rules.neighbourStep))
            return false;
        size_t shared = sharedCount(words, other) +
                        size_t(std::find(other.begin(), other.end(), word) != other.end());
        if (shared * 2 > std::min(count, other.size())) return false;
    }
    return true;
}

}  // namespace

std::vector<std::string> addBuiltWords(const CodePoints& alphabet, std::vector<Level>& levels,
                                       const std::vector<std::string>& words,
                                       const LevelRules& rules) {
    std::vector<std::vector<std::string>> pending =
        otherWords(alphabet, levels, words, rules.minLetters);
    for (std::vector<std::string>& built : pending) sortShorterFirst(built);
    // A word at a time per level and round, so that neighbours grow together and the step
    // between them stays gentle.
    for (bool added = true; added;) {
        added = false;
        for (size_t i = 0; i < levels.size(); ++i) {
            for (auto word = pending[i].begin(); word != pending[i].end(); ++word) {
                if (!roomFor(levels, i, *word, rules)) continue;
                levels[i].words.push_back(*word);
                pending[i].erase(word);
                added = true;
                break;
            }
        }
    }
    std::vector<std::string> left;
    for (size_t i = 0; i < levels.size(); ++i) {
        sortShorterFirst(levels[i].words);
        left.insert(left.end(), pending[i].begin(), pending[i].end());
    }
    return left;
}

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

// True when every letter of the row, as often as the row holds it, is in one of its words: a
// letter no word needs is a tile the player tries in vain. The row is then the union of its
// words' letters, so two rows never build the same words.
bool noDeadLetter(const std::string& rowKey, const std::vector<unsigned>& words,
                  const std::vector<std::string>& wordKeys) {
    std::string needed;  // the union of the words' letter multisets, sorted
    for (unsigned w : words) {
        std::string merged;
        std::set_union(needed.begin(), needed.end(), wordKeys[w].begin(), wordKeys[w].end(),
                       std::back_inserter(merged));
        needed.swap(merged);
    }
    return needed == rowKey;
}

// Candidate rows per length: the letters of a word, one row per letter multiset,
// each building between minWords and maxWords words.
std::vector<std::vector<Candidate>> candidateRows(const CodePoints& alphabet,
                                                  const std::vector<std::string>& words,
                                                  const std::vector<unsigned>& ranks,
                                                  const std::vector<bool>& described,
                                                  const LevelRules& rules) {
    AnagramIndex index;
    index.entries.reserve(words.size());
    std::vector<std::string> wordKeys;
    size_t maxLetters = 0;
    for (unsigned i = 0; i < words.size(); ++i) {
        wordKeys.push_back(letterKey(alphabet, words[i]));
        index.entries.emplace_back(wordKeys.back(), i);
        maxLetters = std::max(maxLetters, wordKeys.back().size());
    }
    index.build();

    std::vector<std::vector<Candidate>> byLength(maxLetters + 1);
    for (size_t length = 3; length <= maxLetters; ++length) {
        std::vector<std::string> seeds;
        for (size_t i = 0; i < index.entries.size(); ++i) {
            const std::string& key = index.entries[i].first;
            if (key.size() == length && (i == 0 || index.entries[i - 1].first != key))
                seeds.push_back(key);
        }
        // Rows for the first levels also come from a common word and one more vowel: in a
        // language of many forms few words alone make enough common words.
        if (length <= rules.allSeedsUpTo) {
            for (const auto& [key, word] : index.entries)
                if (key.size() + 1 == length && ranks[word] <= rules.earlyMaxRank)
                    for (char32_t vowel : rules.extraLetters) {
                        std::string seed = key + char(alphabet.find(vowel));
                        std::sort(seed.begin(), seed.end());
                        seeds.push_back(seed);
                    }
            std::sort(seeds.begin(), seeds.end());
            seeds.erase(std::unique(seeds.begin(), seeds.end()), seeds.end());
        }
        std::mt19937 rng(rules.seed + unsigned(length));
        shuffle(seeds, rng);
        // Short rows are all tried: the first levels need every one whose words are all common.
        if (length > rules.allSeedsUpTo && seeds.size() > rules.seedsPerLength)
            seeds.resize(rules.seedsPerLength);
        for (const std::string& key : seeds) {
            Candidate candidate{key, {}};
            std::string partial;
            collectWords(index, key, 0, partial, rules.minLetters, rules.maxWords, candidate.words);
            size_t count = candidate.words.size();
            if (count < rules.minWords || count > rules.maxWords) continue;
            if (!noDeadLetter(key, candidate.words, wordKeys)) continue;
            std::sort(candidate.words.begin(), candidate.words.end());
            std::vector<unsigned> wordRanks;
            for (unsigned w : candidate.words) wordRanks.push_back(ranks[w]);
            std::sort(wordRanks.begin(), wordRanks.end());
            candidate.medianRank = wordRanks[count / 2];
            candidate.maxRank = wordRanks.back();
            size_t withText = std::count_if(candidate.words.begin(), candidate.words.end(),
                                            [&](unsigned w) { return described[w]; });
            candidate.describedShare = double(withText) / count;
            byLength[length].push_back(std::move(candidate));
        }
    }
    return byLength;
}

// What level i aims at: its row length, its word count and, after the first levels,
// the rank its median word may reach. The first levels hold short rows and few common
// words; all three grow slowly, the lengths up to the longest rows there are enough of,
// the rank over the first half of the rest.
struct Aim {
    double length;
    double words;
    double medianRank;
};

Aim aimOf(size_t i, size_t longest, const LevelRules& rules) {
    size_t early = rules.earlyLevels;
    if (i < early)
        return {i < early * 2 / 5 ? 4.0 : 5.0, 7.0 + 9.0 * i / std::max<size_t>(1, early - 1), 0.0};
    double f = double(i - early) / std::max<size_t>(1, rules.levelCount - early - 1);
    double firstRank = rules.earlyMaxRank / 3.0;
    return {5.0 + (double(longest) - 5.0) * f, 16.0 + 34.0 * f,
            firstRank * std::pow(5.0, std::min(1.0, 2 * f))};
}

// How far a level may stray from the one before: its word count by `step` of that
// level's, its row length by `shorter` letters less or `longer` more.
struct Leeway {
    double step;
    size_t shorter, longer;
};

// True when two levels share at most half the words of each: a level that repeats most of the
// one before plays as the same level again.
bool fewShared(const std::vector<unsigned>& a, const std::vector<unsigned>& b) {
    size_t shared = 0;
    for (size_t i = 0, k = 0; i < a.size() && k < b.size();) {
        if (a[i] < b[k]) {
            ++i;
        } else if (b[k] < a[i]) {
            ++k;
        } else {
            ++shared;
            ++i;
            ++k;
        }
    }
    return shared * 2 <= std::min(a.size(), b.size());
}

bool allowed(const Candidate& c, size_t i, size_t previousLength, size_t previousWords,
             const Leeway& leeway, const LevelRules& rules) {
    size_t length = c.key.size(), count = c.words.size();
    if (c.used) return false;
    if (i < rules.earlyLevels && (c.maxRank > rules.earlyMaxRank || count > rules.earlyMaxWords ||
                                  length > rules.earlyMaxLetters))
        return false;
    if (previousWords == 0) return true;
    if (length + leeway.shorter < previousLength || length > previousLength + leeway.longer)
        return false;
    return count >= previousWords * (1 - leeway.step) && count <= previousWords * (1 + leeway.step);
}

double cost(const Candidate& c, size_t i, const Aim& aim, const LevelRules& rules) {
    double words = std::fabs(std::log(c.words.size() / aim.words));
    double length = std::fabs(double(c.key.size()) - aim.length);
    // Early rows the more common the better; later a row costs more the rarer its median word
    // is than the level's aim, so that the words grow less common slowly, not at one step.
    double common = i < rules.earlyLevels
                        ? 0.5 * double(c.medianRank) / rules.earlyMaxRank
                        : std::max(0.0, std::log(double(c.medianRank) / aim.medianRank));
    return words + 0.6 * length + common - 1.0 * c.describedShare;
}

}  // namespace

std::vector<Level> chooseLevels(const CodePoints& alphabet, const std::vector<std::string>& words,
                                const std::vector<unsigned>& ranks,
                                const std::vector<bool>& described, const LevelRules& rules) {
    std::vector<std::vector<Candidate>> byLength =
        candidateRows(alphabet, words, ranks, described, rules);
    size_t longest = 5;
    for (size_t length = 5; length < byLength.size(); ++length)
        if (byLength[length].size() >= rules.levelCount / 10) longest = length;
    std::vector<Candidate*> all;
    for (auto& bucket : byLength)
        for (Candidate& c : bucket) all.push_back(&c);

    std::mt19937 rng(rules.seed);
    std::vector<Level> levels;
    size_t previousLength = 0, previousWords = 0;
    const Candidate* previous = nullptr;
    while (levels.size() < rules.levelCount) {
        size_t i = levels.size();
        Aim aim = aimOf(i, longest, rules);
        // The neighbour rule widens step by step, and gives way only when no row keeps it: a row
        // a letter shorter or two longer first, as a jump in word count is what a player feels.
        const double third = rules.neighbourStep;
        const Leeway leeways[] = {{third, 0, 1},
                                  {third, 1, 2},
                                  {third * 1.5, 1, 2},
                                  {third * 2, 2, 3},
                                  {third * 4, 2, 3}};
        const size_t leewayCount = sizeof leeways / sizeof leeways[0];
        Candidate* best = nullptr;
        double bestCost = 0;
        for (size_t pass = 0; !best && pass < leewayCount + 2; ++pass) {
            bool free = pass >= leewayCount;
            const Leeway& leeway = leeways[std::min(pass, leewayCount - 1)];
            size_t level = pass == leewayCount + 1
                               ? rules.earlyLevels
                               : i;  // last of all the first levels' rule gives way
            for (Candidate* c : all) {
                if (!allowed(*c, level, free ? 0 : previousLength, free ? 0 : previousWords, leeway,
                             rules) ||
                    (previous && !fewShared(c->words, previous->words)))
                    continue;
                double d = cost(*c, i, aim, rules);
                // Once the word count may jump, the row nearest the last level's count.
                if (pass >= 3 && previousWords > 0)
                    d += 3 * std::fabs(std::log(double(c->words.size()) / previousWords));
                if (!best || d < bestCost) {
                    best = c;
                    bestCost = d;
                }
            }
        }
        if (!best) break;
        best->used = true;
        Level level = makeLevel(*best, alphabet, words, rules, rng);
        if (level.row.empty()) continue;  // too few orders of these letters: take another row
        previous = best;
        previousLength = best->key.size();
        previousWords = best->words.size();
        levels.push_back(std::move(level));
    }
    return levels;
}
