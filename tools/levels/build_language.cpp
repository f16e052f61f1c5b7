// Builds the levels, descriptions, statistics and keyboard map of one language
// from the installed word lists and dictionaries, and writes them as the members
// of its data file (without the enclosing braces and the texts, which the
// packaging step adds).
//
//   build_language <code> <word data dir> <block list> <output file> <report file>
//   build_language --known <code>...   (fails naming each code that has no recipe here)
//
// The word data folder holds <code>.freq (the frequency list) and <code>.block (the
// shared block list). The report file lists each level's words with their ranks and
// the kind of their description, and the common words some rows make but their
// levels lack, for the content report.
#include "tools/levels/folding.h"
#include "tools/levels/frequency_list.h"
#include "tools/levels/junk.h"
#include "tools/levels/languages.h"
#include "tools/levels/levels.h"
#include "tools/levels/safe_text.h"
#include "tools/levels/spelling.h"
#include "tools/levels/word_selection.h"
#include "tools/levels/word_tables.h"
#include "tools/levels/wordnet.h"
#include <chrono>
#include <cstdio>
#include <fstream>
#include <algorithm>
#include <random>
#include <set>
#include <unordered_set>

namespace {

const size_t maxRowLetters = 12;
const size_t reportedLevels = 20;
const size_t reportedRefusals = 80;
// English words this common turn up in other languages' lists as loans, names and noise.
const unsigned commonEnglish = 3000;

std::string foldedLower(const std::string& word) {
    CodePoints cps;
    decodeUtf8(word, cps);
    for (char32_t& cp : cps) cp = lowerLetter(cp);
    return encodeUtf8(cps);
}

bool builds(const CodePoints& sortedRow, const std::string& word) {
    CodePoints cps;
    decodeUtf8(word, cps);
    std::sort(cps.begin(), cps.end());
    return std::includes(sortedRow.begin(), sortedRow.end(), cps.begin(), cps.end());
}

void writeReport(std::ostream& out, const std::vector<Level>& levels, const WordList& list,
                 const Glossary& glossary, const BlockList& blocked) {
    std::map<std::string, unsigned> rank;
    for (size_t i = 0; i < list.words.size(); ++i) rank[list.words[i]] = list.ranks[i];
    size_t blockedWords = 0;
    for (size_t i = 0; i < levels.size(); ++i) {
        out << "level\t" << i + 1 << "\t" << levels[i].row << "\t" << levels[i].medianRank;
        for (const std::string& word : levels[i].words) {
            auto text = glossary.descriptions.find(word);
            const char* kind = text == glossary.descriptions.end() || rawSafe(text->second).empty()
                                   ? "-"
                               : glossary.translated.count(word) ? "t"
                                                                 : "d";
            out << "\t" << word << ":" << rank[word] << ":" << kind;
            if (blocked.blocks(word) || glossary.offensive.count(word)) ++blockedWords;
        }
        out << "\n";
    }
    out << "blocked\t" << blockedWords << "\n";
    // The most used words kept out on purpose, so a reader sees that no plain word is among them.
    size_t shown = 0;
    for (const auto& [word, reason] : list.refused)
        if (std::string(reason) == "blocked" ||
            std::string(reason) == "marked vulgar by a dictionary")
            if (shown++ < reportedRefusals)
                out << "refused\t" << word.word << "\t" << word.rank << "\t" << reason << "\n";
    std::mt19937 rng(20261208);
    for (size_t n = 0; n < reportedLevels && !levels.empty(); ++n) {
        size_t i = rng() % levels.size();
        CodePoints row;
        decodeUtf8(levels[i].row, row);
        std::sort(row.begin(), row.end());
        std::set<std::string> present(levels[i].words.begin(), levels[i].words.end());
        out << "checked\t" << i + 1 << "\t" << levels[i].row << "\t" << levels[i].words.size()
            << "\n";
        for (size_t k = 0; k < list.words.size(); ++k)
            if (list.ranks[k] <= maxWordRank && !present.count(list.words[k]) &&
                builds(row, list.words[k]))
                out << "missing\t" << i + 1 << "\t" << list.words[k] << "\t" << list.ranks[k]
                    << "\tnot a level word\n";
        for (const auto& [word, reason] : list.refused)
            if (word.rank <= maxWordRank && builds(row, word.word))
                out << "missing\t" << i + 1 << "\t" << word.word << "\t" << word.rank << "\t"
                    << reason << "\n";
    }
}

// Files beside the block list: our own descriptions (<code>.glosses), the everyday words the
// spelling dictionaries lack (<code>.more), the words ranked beside others (<code>.ranked), the
// spellings shown for some level words (<code>.spellings).
std::string besideBlockList(const std::string& blockList, const char* extension) {
    return blockList.substr(0, blockList.rfind('.')) + extension;
}

// The game reads a string as written, escapes included: the backslash key is named "\\".
std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

// The letters a row writes as one other letter ("fold": ё as е), so that the game finds a word
// that keeps them from the row's letters, and takes the plain tile for a key that types them.
void writeFolds(std::ostream& out, const Language& language) {
    out << "\"fold\":{";
    bool first = true;
    for (const auto& [from, to] : language.folds) {
        if (to.size() != 1) continue;
        out << (first ? "" : ",") << quoted(encodeUtf8(CodePoints(1, from))) << ":"
            << quoted(encodeUtf8(to));
        first = false;
    }
    out << "},\n";
}

// "bonus": per row, the real words it builds that its level does not list; the game takes them
// as bonus words on Enter.
void writeBonusWords(std::ostream& out, const std::vector<Level>& levels,
                     const std::vector<std::vector<std::string>>& bonus) {
    out << "\"bonus\":{\n";
    for (size_t i = 0; i < levels.size(); ++i) {
        out << quoted(levels[i].row) << ":[";
        for (size_t k = 0; k < bonus[i].size(); ++k) out << (k ? "," : "") << quoted(bonus[i][k]);
        out << "]" << (i + 1 < levels.size() ? "," : "") << "\n";
    }
    out << "},\n";
}

void writeMembers(std::ostream& out, const Language& language, const std::vector<Level>& levels,
                  const std::map<std::string, std::string>& descriptions,
                  const std::map<std::string, std::string>& written,
                  const std::vector<std::vector<std::string>>& bonus) {
    auto shown = [&](const std::string& word) -> const std::string& {
        auto form = written.find(word);
        return form == written.end() ? word : form->second;
    };
    out << "\"charmap\":{";
    for (size_t i = 0; i < language.charmap.size(); ++i)
        out << (i ? "," : "") << quoted(language.charmap[i].first) << ":"
            << quoted(language.charmap[i].second);
    out << "},\n";
    writeFolds(out, language);
    out << "\"game\":{\n";
    size_t usedWords = 0, pressCount = 0;
    for (size_t i = 0; i < levels.size(); ++i) {
        out << quoted(levels[i].row) << ":[";
        for (size_t k = 0; k < levels[i].words.size(); ++k) {
            const std::string& word = levels[i].words[k];
            out << (k ? "," : "") << quoted(shown(word));
            CodePoints cps;
            decodeUtf8(word, cps);
            pressCount += cps.size();
        }
        usedWords += levels[i].words.size();
        out << "]" << (i + 1 < levels.size() ? "," : "") << "\n";
    }
    out << "},\n\"descr\":{\n";
    std::vector<std::pair<std::string, std::string>> described;
    for (const auto& [word, text] : descriptions) {
        std::string safe = rawSafe(text);
        if (!safe.empty()) described.emplace_back(shown(word), safe);
    }
    for (size_t n = 0; n < described.size(); ++n)
        out << quoted(described[n].first) << ":" << quoted(described[n].second)
            << (n + 1 < described.size() ? "," : "") << "\n";
    out << "},\n";
    writeBonusWords(out, levels, bonus);
    out << "\"stat\":{\"levelsCount\":" << levels.size() << ",\"usedWords\":" << usedWords
        << ",\"pressCount\":" << pressCount << "}\n";
}

// The spelling shown for each level word typed without its marks; follows the other members.
void writeSpellings(std::ostream& out, const std::map<std::string, std::string>& spellings) {
    out << ",\n\"spelled\":{\n";
    size_t n = 0;
    for (const auto& [word, text] : spellings)
        out << quoted(word) << ":" << quoted(text) << (++n < spellings.size() ? "," : "") << "\n";
    out << "}\n";
}

}  // namespace

int main(int argc, char** argv) {
    // The configuration's "lang" list decides which languages exist; this only builds them.
    if (argc >= 2 && std::string(argv[1]) == "--known") {
        int unknown = 0;
        for (int i = 2; i < argc; ++i) {
            if (findLanguage(argv[i])) continue;
            std::fprintf(stderr,
                         "%s: the configuration lists this language, but it has no build "
                         "recipe in tools/levels/languages.cpp\n",
                         argv[i]);
            ++unknown;
        }
        return unknown ? 2 : 0;
    }
    if (argc != 6) {
        std::fprintf(
            stderr,
            "usage: %s <language code> <word data dir> <block list> <output file> <report file>\n",
            argv[0]);
        return 2;
    }
    auto started = std::chrono::steady_clock::now();
    const Language* language = findLanguage(argv[1]);
    if (!language) {
        std::fprintf(stderr, "%s: no build recipe in tools/levels/languages.cpp\n", argv[1]);
        return 2;
    }
    std::string wordData = std::string(argv[2]) + "/" + argv[1];
    BlockList blocked;
    if (!readBlockList(*language, argv[3], blocked) ||
        !readSharedBlockList(*language, wordData + ".block", blocked)) {
        std::fprintf(stderr, "%s: cannot read the block lists %s and %s.block\n", argv[1], argv[3],
                     wordData.c_str());
        return 1;
    }
    std::vector<std::string> common = readFrequencyList(wordData + ".freq", maxWordRank);
    if (common.empty()) {
        std::fprintf(stderr, "%s: cannot read the frequency list %s.freq\n", argv[1],
                     wordData.c_str());
        return 1;
    }
    for (const std::string& word : addRankedBeside(besideBlockList(argv[3], ".ranked"), common))
        std::fprintf(stderr, "%s: %s is ranked beside a word the frequency list lacks\n", argv[1],
                     word.c_str());
    Glossary glossary = readGlossary(*language, common, argv[2]);
    std::unordered_map<std::string, unsigned> english;
    if (!language->wordnet) {
        std::vector<std::string> englishWords =
            readFrequencyList(std::string(argv[2]) + "/en.freq", commonEnglish);
        for (size_t i = 0; i < englishWords.size(); ++i)
            english.emplace(foldedLower(englishWords[i]), unsigned(i + 1));
    }
    WordList list = readWords(*language, glossary, blocked, common, english, maxRowLetters);
    if (language->wordnet) {
        // WordNet marks offensive senses only now that the words are known.
        describeFromWordNet(list.words, glossary);
        WordList kept;
        kept.refused = list.refused;
        for (size_t i = 0; i < list.words.size(); ++i) {
            if (glossary.offensive.count(list.words[i])) {
                kept.refused.push_back(
                    {{list.words[i], list.ranks[i]}, "marked vulgar by a dictionary"});
                continue;
            }
            kept.words.push_back(list.words[i]);
            kept.ranks.push_back(list.ranks[i]);
        }
        list = std::move(kept);
    }
    refuseJunk(list,
               readJunkEvidence(*language, common,
                                readFrequencyList(std::string(argv[2]) + "/en.freq", maxWordRank)));
    // Rows are chosen for words described in the language itself: a labelled English
    // translation helps a player less.
    for (const auto& [word, text] : readWordTable(besideBlockList(argv[3], ".glosses"))) {
        // Ours is written for the word a level means; a dictionary's may be another word's sense.
        glossary.descriptions[word] = text;
        glossary.translated.erase(word);
    }
    std::vector<bool> described;
    for (const std::string& word : list.words)
        described.push_back(glossary.descriptions.count(word) > 0 &&
                            !glossary.translated.count(word));

    LevelRules rules;
    rules.rowClass = language->index;
    rules.rowClasses = languageCount();
    rules.extraLetters = language->vowels;
    std::vector<Level> levels =
        chooseLevels(language->alphabet, list.words, list.ranks, described, rules);
    std::vector<std::string> realWords = dictionaryWords(
        *language, glossary.nouns, builtBySomeRow(language->alphabet, levels, rules.minLetters));
    for (const auto& [word, text] : readWrittenWords(*language, besideBlockList(argv[3], ".more")))
        realWords.push_back(word);
    std::sort(realWords.begin(), realWords.end());
    realWords.erase(std::unique(realWords.begin(), realWords.end()), realWords.end());
    // The frequency list is too short to hold every everyday word (Russian сено, French toi):
    // those native readers chose among the real words are listed by every row that builds them
    // and has room, the rows unchanged.
    std::map<std::string, std::string> everyday =
        readWrittenWords(*language, besideBlockList(argv[3], ".everyday"));
    // A reader's word no row builds is not among the real words: nothing to add.
    std::vector<std::string> everydayWords;
    for (const auto& [word, text] : everyday) {
        if (blocked.blocks(word) || glossary.offensive.count(word))
            std::fprintf(stderr, "%s: the everyday word %s is blocked\n", argv[1], text.c_str());
        else if (std::binary_search(realWords.begin(), realWords.end(), word))
            everydayWords.push_back(word);
    }
    size_t noRoom = addBuiltWords(language->alphabet, levels, everydayWords, rules).size();

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
    std::ofstream out(argv[4], std::ios::binary);
    std::vector<std::vector<std::string>> bonus =
        otherWords(language->alphabet, levels, realWords, rules.minLetters);
    // Checked only for the words some row builds: the block list's forms are slow to test.
    for (std::vector<std::string>& words : bonus)
        words.erase(std::remove_if(words.begin(), words.end(),
                                   [&](const std::string& word) {
                                       return blocked.blocks(word) ||
                                              glossary.offensive.count(word) > 0;
                                   }),
                    words.end());
    std::map<std::string, std::string> written = writtenForms(*language, common);
    // Where the language shows its marks in the level list (Russian ё), an everyday word is
    // shown as the reader wrote it; elsewhere as a spelling, below.
    if (!language->shownMarks.empty())
        for (const auto& [word, text] : everyday)
            if (text != word) written[word] = text;
    // A word the level list already writes with its marks needs no second spelling.
    std::set<std::string> plainWords;
    for (const std::string& word : levelWords)
        if (!written.count(word)) plainWords.insert(word);
    writeMembers(out, *language, levels, descriptions, written, bonus);
    std::map<std::string, std::string> spellings =
        displaySpellings(*language, lowerCaseEntries(*language), plainWords, common);
    if (language->shownMarks.empty())
        for (const auto& [word, text] : everyday)
            if (text != word && levelWords.count(word)) spellings[word] = text;
    // Where the word lists and the frequency list disagree (an old accent, a misspelling that
    // subtitles write more often than the word), the reader's choice holds.
    for (const auto& [word, text] : readWordTable(besideBlockList(argv[3], ".spellings"))) {
        if (!levelWords.count(word)) continue;
        if (text == word)
            spellings.erase(word);
        else
            spellings[word] = text;
    }
    writeSpellings(out, spellings);
    out.close();
    std::ofstream report(argv[5], std::ios::binary);
    writeReport(report, levels, list, glossary, blocked);
    report.close();
    if (!out || !report) {
        std::fprintf(stderr, "%s: cannot write %s or %s\n", argv[1], argv[4], argv[5]);
        return 1;
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf(
        "%s: %zu levels, %zu words (%zu distinct of %zu common words and %zu everyday, "
        "%zu times left where a level had no room), %.0f%% described, %.1f s\n",
        argv[1], levels.size(), totalWords, levelWords.size(), list.words.size(),
        everydayWords.size(), noRoom,
        levelWords.empty() ? 0.0 : 100.0 * descriptions.size() / levelWords.size(), seconds);
    return levels.size() >= rules.levelCount ? 0 : 1;
}
