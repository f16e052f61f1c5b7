// Builds the levels, descriptions, statistics and keyboard map of one language
// from the installed word lists and dictionaries, and writes them as the members
// of its data file (without the enclosing braces and the texts, which the
// packaging step adds).
//
//   build_language <code> <block list> <output file>
#include "tools/levels/languages.h"
#include "tools/levels/levels.h"
#include "tools/levels/words.h"
#include <chrono>
#include <cstdio>
#include <fstream>
#include <algorithm>
#include <set>

namespace {

const size_t maxRowLetters = 12;

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

void writeMembers(std::ostream& out, const Language& language, const std::vector<Level>& levels,
                  const std::map<std::string, std::string>& descriptions) {
    out << "\"charmap\":{";
    for (size_t i = 0; i < language.charmap.size(); ++i)
        out << (i ? "," : "") << quoted(language.charmap[i].first) << ":" << quoted(language.charmap[i].second);
    out << "},\n\"game\":{\n";
    size_t usedWords = 0, pressCount = 0;
    for (size_t i = 0; i < levels.size(); ++i) {
        out << quoted(levels[i].row) << ":[";
        for (size_t k = 0; k < levels[i].words.size(); ++k) {
            const std::string& word = levels[i].words[k];
            out << (k ? "," : "") << quoted(word);
            CodePoints cps;
            decodeUtf8(word, cps);
            pressCount += cps.size();
        }
        usedWords += levels[i].words.size();
        out << "]" << (i + 1 < levels.size() ? "," : "") << "\n";
    }
    out << "},\n\"descr\":{\n";
    std::vector<std::pair<std::string, std::string>> shown;
    for (const auto& [word, text] : descriptions) {
        std::string safe = rawSafe(text);
        if (!safe.empty()) shown.emplace_back(word, safe);
    }
    for (size_t n = 0; n < shown.size(); ++n)
        out << quoted(shown[n].first) << ":" << quoted(shown[n].second) << (n + 1 < shown.size() ? "," : "") << "\n";
    out << "},\n\"stat\":{\"levelsCount\":" << levels.size() << ",\"usedWords\":" << usedWords
        << ",\"pressCount\":" << pressCount << "}\n";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <language code> <block list> <output file>\n", argv[0]);
        return 2;
    }
    auto started = std::chrono::steady_clock::now();
    const Language* language = findLanguage(argv[1]);
    if (!language) {
        std::fprintf(stderr, "unknown language %s\n", argv[1]);
        return 2;
    }
    BlockList blocked;
    if (!readBlockList(*language, argv[2], blocked)) {
        std::fprintf(stderr, "%s: cannot read the block list %s\n", argv[1], argv[2]);
        return 1;
    }
    Glossary glossary = readGlossary(*language);
    WordList list = readWords(*language, glossary, blocked, maxRowLetters);
    if (language->wordnet) describeFromWordNet(list.words, glossary);
    std::vector<std::string> words;
    std::vector<bool> described;
    for (const std::string& word : list.words) {
        if (glossary.offensive.count(word)) continue;
        bool describedWord = glossary.descriptions.count(word) > 0;
        CodePoints cps;
        decodeUtf8(word, cps);
        if (language->shortWordsNeedDescription && cps.size() == 3 && !describedWord) continue;
        words.push_back(word);
        described.push_back(describedWord);
    }

    // Rows whose words mostly have a description are preferred. A dictionary that
    // knows hardly any of the words cannot steer the choice of rows.
    LevelRules rules;
    rules.rowClass = language->index;
    rules.rowClasses = languageTotal;
    bool helpful = std::count(described.begin(), described.end(), true) * 20 >= long(described.size());
    if (helpful) rules.minDescribedShare = language->wordnet ? 0.8 : 0.5;
    std::vector<Level> levels = chooseLevels(language->alphabet, words, described, rules);

    std::map<std::string, std::string> descriptions;
    std::set<std::string> levelWords;
    size_t totalWords = 0;
    for (const Level& level : levels) {
        totalWords += level.words.size();
        for (const std::string& word : level.words) {
            levelWords.insert(word);
            auto text = glossary.descriptions.find(word);
            if (text != glossary.descriptions.end()) descriptions[word] = text->second;
        }
    }
    std::ofstream out(argv[3], std::ios::binary);
    writeMembers(out, *language, levels, descriptions);
    out.close();
    if (!out) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[1], argv[3]);
        return 1;
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("%s: %zu levels, %zu words (%zu distinct of %zu in the dictionary), %.0f%% described, %.1f s\n",
                argv[1], levels.size(), totalWords, levelWords.size(), words.size(),
                levelWords.empty() ? 0.0 : 100.0 * descriptions.size() / levelWords.size(), seconds);
    return levels.size() >= rules.levelCount ? 0 : 1;
}
