// The word check on Enter against a level of 80 words whose row builds 3000 bonus words: a refused
// text, a bonus word found before, and the same in a language that folds ё into е (every level
// word is then compared letter by letter). The reference is the check after every letter of a
// text that is no word, measured in the same run. Prints the median of 20 batches per check.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/game.h"
#include "core/level.h"
#include "core/tray.h"
#include "core/words.h"
#include "store/config.h"
#include "store/keystore.h"
#include "store/language.h"

namespace {

Config config;
Game game;  // the game the checks are timed on

const int LEVEL_WORDS = 80;
const int BONUS_WORDS = 3000;
const int BATCHES = 20;
const int CALLS = 20000;

// Distinct words of 2 to 12 letters of the row, the first `count` of a seeded shuffle.
std::vector<std::string> wordsOf(const std::string& row, size_t count, std::mt19937& random) {
    std::set<std::string> words;
    while (words.size() < count) {
        std::string letters = row;
        std::shuffle(letters.begin(), letters.end(), random);
        words.insert(letters.substr(0, 2 + random() % 11));
    }
    return std::vector<std::string>(words.begin(), words.end());
}

std::string list(const std::vector<std::string>& words, size_t from, size_t to) {
    std::string json = "[";
    for (size_t i = from; i < to; ++i) json += (i > from ? ",\"" : "\"") + words[i] + "\"";
    return json + "]";
}

KeyStore* language(const std::string& row, const std::vector<std::string>& words, bool folds) {
    std::string json = "{\"game\":{\"" + row + "\":" + list(words, 0, LEVEL_WORDS) +
                       "},\"bonus\":{\"" + row + "\":" + list(words, LEVEL_WORDS, words.size()) +
                       "}" + (folds ? ",\"fold\":{\"q\":\"e\"}" : "") +
                       ",\"stat\":{\"levelsCount\":\"1\"}}";
    KeyStore* store = parseKeyStore(json.c_str(), json.size());
    if (!store) std::abort();
    return store;
}

void type(const std::string& text) {
    clearTypedWord(&game.letterTray);
    for (char c : text) {
        char letter[2] = {c, 0};
        if (!typeCharacter(&game.letterTray, letter)) std::abort();
    }
}

// Microseconds per call, the median of the batches.
template <typename Work>
double perCall(Work work) {
    std::vector<double> times;
    for (int batch = 0; batch < BATCHES; ++batch) {
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < CALLS; ++i) work();
        times.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count() /
            CALLS);
    }
    std::sort(times.begin(), times.end());
    return times[BATCHES / 2];
}

struct Figures {
    double reference, refused, repeat;
};

Figures measure(bool folds) {
    const std::string row = "abcdefghijkl";
    std::mt19937 random(11);
    std::vector<std::string> words = wordsOf(row, LEVEL_WORDS + BONUS_WORDS, random);
    std::shuffle(words.begin(), words.end(), random);
    resetCore(game, config);
    game.langStore.reset(language(row, words, folds));
    if (!loadLevel(game, game.langStore.get(), 0)) std::abort();

    std::string nonWord = "lkjihgfedcba";
    const std::string& bonus = words.back();
    type(bonus);
    submitWord(game);
    if (game.bonusList.words.size() != 1) std::abort();

    Figures figures;
    type(nonWord);
    figures.reference = perCall([] { checkWord(game); });
    figures.refused = perCall([] { submitWord(game); });
    type(bonus);
    figures.repeat = perCall([] { submitWord(game); });
    return figures;
}

}  // namespace

int main() {
    config.store = parseKeyStore("{}", 2);
    Figures plain = measure(false), folded = measure(true);
    std::printf("a level of %d words, %d bonus words; median of %d batches of %d checks\n",
                LEVEL_WORDS, BONUS_WORDS, BATCHES, CALLS);
    std::printf("                                  plain µs  ratio   folding µs  ratio\n");
    std::printf("  check after a letter (reference) %8.3f  %5.2f   %8.3f  %5.2f\n", plain.reference,
                1.0, folded.reference, folded.reference / plain.reference);
    std::printf("  Enter, refused text              %8.3f  %5.2f   %8.3f  %5.2f\n", plain.refused,
                plain.refused / plain.reference, folded.refused, folded.refused / plain.reference);
    std::printf("  Enter, bonus word found before   %8.3f  %5.2f   %8.3f  %5.2f\n", plain.repeat,
                plain.repeat / plain.reference, folded.repeat, folded.repeat / plain.reference);
    std::printf("goal: every check on Enter under 50 µs\n");
    return 0;
}
