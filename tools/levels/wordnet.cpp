#include "tools/levels/wordnet.h"
#include "tools/levels/text_files.h"
#include <cstdlib>
#include <map>
#include <sstream>
#include <unordered_map>

namespace {

struct WordNetPos {
    std::string data;  // the whole data.<pos> file
    std::unordered_map<std::string, std::vector<long>>
        senses;                                   // lemma -> synset offsets, most used first
    std::unordered_map<std::string, int> tagged;  // lemma -> tagged sense count
    std::unordered_map<std::string, std::string> exceptions;  // irregular form -> base form
};

WordNetPos readWordNetPos(const std::string& pos) {
    const std::string dir = "/usr/share/wordnet/";
    WordNetPos p;
    p.data = readPlainFile(dir + "data." + pos);
    for (const std::string& line : splitLines(readPlainFile(dir + "index." + pos))) {
        if (line.empty() || line[0] == ' ') continue;
        std::vector<std::string> f;
        size_t start = 0;
        while (start < line.size()) {
            size_t end = line.find(' ', start);
            if (end == std::string::npos) end = line.size();
            if (end > start) f.push_back(line.substr(start, end - start));
            start = end + 1;
        }
        if (f.size() < 6) continue;
        size_t pointers = std::stoul(f[3]);
        size_t first = 4 + pointers + 2;
        if (first >= f.size()) continue;
        p.tagged[f[0]] = std::stoi(f[4 + pointers + 1]);
        for (size_t i = first; i < f.size(); ++i) p.senses[f[0]].push_back(std::stol(f[i]));
    }
    for (const std::string& line : splitLines(readPlainFile(dir + pos + ".exc"))) {
        size_t space = line.find(' ');
        if (space == std::string::npos) continue;
        size_t end = line.find(' ', space + 1);
        p.exceptions.emplace(line.substr(0, space), line.substr(space + 1, end - space - 1));
    }
    return p;
}

// The gloss of a synset, empty when the synset holds the lemma only with a capital
// (a name, such as Mead the anthropologist beside mead the drink).
std::string glossAt(const WordNetPos& pos, long offset, const std::string& lemma) {
    if (offset < 0 || size_t(offset) >= pos.data.size()) return "";
    size_t end = pos.data.find('\n', offset);
    std::string line = pos.data.substr(offset, end - offset);
    size_t bar = line.find(" | ");
    if (bar == std::string::npos) return "";
    std::istringstream fields(line.substr(0, bar));
    std::string skip, count, word, lexId;
    fields >> skip >> skip >> skip >> count;
    bool common = false;
    for (long n = std::strtol(count.c_str(), nullptr, 16); n > 0 && fields >> word >> lexId; --n)
        if (word.substr(0, word.find('(')) == lemma) common = true;
    return common ? trim(line.substr(bar + 3)) : "";
}

// The base forms a word may be an inflection of, for one part of speech.
std::vector<std::string> baseForms(const WordNetPos& pos, const std::string& posName,
                                   const std::string& word) {
    std::vector<std::string> bases;
    auto exception = pos.exceptions.find(word);
    if (exception != pos.exceptions.end()) bases.push_back(exception->second);
    static const std::map<std::string, std::vector<std::pair<std::string, std::string>>> rules = {
        {"noun",
         {{"s", ""},
          {"ses", "s"},
          {"xes", "x"},
          {"zes", "z"},
          {"ches", "ch"},
          {"shes", "sh"},
          {"men", "man"},
          {"ies", "y"}}},
        {"verb",
         {{"s", ""},
          {"ies", "y"},
          {"es", "e"},
          {"es", ""},
          {"ed", "e"},
          {"ed", ""},
          {"ing", "e"},
          {"ing", ""}}},
        {"adj", {{"er", ""}, {"est", ""}, {"er", "e"}, {"est", "e"}}},
        {"adv", {}},
    };
    for (const auto& [suffix, ending] : rules.at(posName))
        if (word.size() > suffix.size() + 1 &&
            word.compare(word.size() - suffix.size(), suffix.size(), suffix) == 0)
            bases.push_back(word.substr(0, word.size() - suffix.size()) + ending);
    return bases;
}

// WordNet says so in the definition (before the examples): "obscene terms for ...",
// "(ethnic slur) ...", "a disparaging term for ...".
bool offensiveGloss(const std::string& gloss) {
    std::string definition = gloss.substr(0, gloss.find(';'));
    for (const char* mark : {"obscene", "vulgar", "ethnic slur", "offensive term", "offensive name",
                             "offensive word", "disparaging", "derogatory"})
        if (contains(definition, mark)) return true;
    return false;
}

}  // namespace

void describeFromWordNet(const std::vector<std::string>& words, Glossary& glossary) {
    const std::vector<std::string> names = {"noun", "verb", "adj", "adv"};
    std::vector<WordNetPos> parts;
    for (const std::string& name : names) parts.push_back(readWordNetPos(name));
    for (const std::string& word : words) {
        // The lemma itself first, then base forms; among parts of speech the most used one.
        const WordNetPos* best = nullptr;
        std::string lemma;
        for (int pass = 0; pass < 2 && !best; ++pass) {
            int bestTagged = -1;
            for (size_t i = 0; i < parts.size(); ++i) {
                std::vector<std::string> candidates = pass == 0
                                                          ? std::vector<std::string>{word}
                                                          : baseForms(parts[i], names[i], word);
                for (const std::string& candidate : candidates) {
                    auto tagged = parts[i].tagged.find(candidate);
                    if (tagged != parts[i].tagged.end() && tagged->second > bestTagged) {
                        bestTagged = tagged->second;
                        best = &parts[i];
                        lemma = candidate;
                    }
                }
            }
        }
        if (!best) continue;
        // The most used sense decides: "bull" and "slit" have an obscene sense far down.
        std::string first;
        for (long offset : best->senses.at(lemma)) {
            first = glossAt(*best, offset, lemma);
            if (!first.empty()) break;
        }
        if (offensiveGloss(first)) glossary.offensive.insert(word);
        first = trim(first.substr(0, first.find(';')));
        if (first.size() > 140) first = first.substr(0, first.rfind(' ', 137)) + "...";
        if (first.empty()) continue;
        glossary.descriptions[word] = lemma == word ? first : "(" + lemma + ") " + first;
    }
}
