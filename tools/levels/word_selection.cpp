#include "tools/levels/word_selection.h"
#include "tools/levels/folding.h"
#include "tools/levels/inflections.h"
#include "tools/levels/text_files.h"
#include <algorithm>
#include <cstdio>
#include <fstream>

namespace {

// Rules out what word lists keep beside words: abbreviations without a vowel
// ("mln", "pst") and spelled-out numerals or cries ("iii", "brrr").
bool ordinaryWord(const Language& language, const CodePoints& word) {
    if (word.find_first_of(language.vowels) == CodePoints::npos) return false;
    for (size_t i = 2; i < word.size(); ++i)
        if (word[i] == word[i - 1] && word[i] == word[i - 2]) return false;
    return true;
}

// Subtitles carry English lines, and word lists keep English loans. English lines rank
// English words in another language's list far below their English rank ("know": 30th in
// English, 4247th in Polish); the language's own words of the same spelling rank near it
// or above (German "her", Polish "was", Italian "son", Spanish "ten").
bool englishNoise(const std::unordered_map<std::string, unsigned>& english, const std::string& word,
                  unsigned rank) {
    const unsigned englishLinesFactor = 8;
    auto found = english.find(word);
    return found != english.end() && rank > englishLinesFactor * found->second;
}

// A hunspell dictionary lists stems with the rules that inflect them: its lower-case
// stems and their forms join the gate. Only stems that begin like a common word are
// inflected, which keeps this quick. The words it writes only with a capital, in no
// form in lower case, are names and leave the gate: a word list written wholly in lower
// case (Spanish) spells them like words.
void addForms(const Language& language, const std::vector<std::string>& common,
              const std::unordered_set<std::string>& names,
              std::unordered_set<std::string>& spelled) {
    std::unordered_set<std::string> beginnings = beginningsOf(common);
    auto wanted = [&](const std::string& stem) {
        return startsLower(stem) && beginnings.count(beginning(stem)) > 0;
    };
    std::unordered_set<std::string> lowerCase;
    std::string key;
    for (const auto& [form, stem] : inflectedForms(language.formsOf, language.latin2, wanted))
        if (foldKey(language, form, key)) lowerCase.insert(key);
    std::vector<std::string> capitalised;
    std::ifstream dic(language.formsOf + ".dic", std::ios::binary);
    for (std::string line; std::getline(dic, line);) {
        if (language.latin2) line = fromLatin2(line);
        line = trim(line.substr(0, line.find('/')));
        if (line.empty() || !foldKey(language, line, key)) continue;
        if (startsLower(line))
            lowerCase.insert(key);
        else
            capitalised.push_back(key);
    }
    for (const std::string& word : lowerCase)
        if (!names.count(word)) spelled.insert(word);
    for (const std::string& name : capitalised)
        if (!lowerCase.count(name)) spelled.erase(name);
}

}  // namespace

std::unordered_set<std::string> spelledWords(const Language& language, const Glossary& glossary,
                                             const std::vector<std::string>& common,
                                             size_t maxLetters) {
    std::unordered_set<std::string> commonKeys;
    std::string key;
    for (const std::string& word : common)
        if (foldKey(language, word, key)) commonKeys.insert(key);
    // The dictionaries' gate: what they spell in lower case, and German nouns. Words the
    // word lists write only with a capital are names, whatever other sources say.
    std::unordered_set<std::string> spelled, names;
    CodePoints written, folded;
    for (const std::string& path : language.wordLists) {
        std::ifstream list(path, std::ios::binary);
        if (!list) std::fprintf(stderr, "missing word list %s\n", path.c_str());
        std::string line;
        while (std::getline(list, line)) {
            line = trim(line.substr(0, line.find('/')));
            if (!decodeUtf8(line, written) || written.size() < 2 || written.size() > maxLetters + 2)
                continue;
            bool capital = lowerLetter(written[0]) != written[0];
            written[0] = lowerLetter(written[0]);
            if (!foldWord(language, written, folded)) continue;
            std::string word = encodeUtf8(folded);
            if (!commonKeys.count(word)) continue;
            if (capital && !(language.capitalNouns && glossary.nouns.count(word)))
                names.insert(word);
            else
                spelled.insert(word);
        }
    }
    for (const std::string& word : glossary.spelled)
        if (!names.count(word)) spelled.insert(word);
    if (!language.formsOf.empty()) addForms(language, common, names, spelled);
    return spelled;
}

std::vector<std::string> dictionaryWords(const Language& language,
                                         const std::unordered_set<std::string>& capitalNouns,
                                         const std::function<bool(const std::string&)>& wanted) {
    std::unordered_set<std::string> found;
    CodePoints written, folded;
    // The folded word, or empty when the entry is no lower-case word of the language.
    auto plainWord = [&](const std::string& entry) {
        if (!decodeUtf8(entry, written) || written.size() < 2) return std::string();
        // Capitals mark a name or an abbreviation, a dot an abbreviation; a capital first letter
        // stays for the nouns a language writes so (German Reh, Biene).
        const bool capital = lowerLetter(written[0]) != written[0];
        written[0] = lowerLetter(written[0]);
        for (char32_t cp : written)
            if (lowerLetter(cp) != cp || cp == '.') return std::string();
        if (!foldWord(language, written, folded)) return std::string();
        std::string word = encodeUtf8(folded);
        return capital && !capitalNouns.count(word) ? std::string() : word;
    };
    auto take = [&](const std::string& entry) {
        std::string word = plainWord(entry);
        if (!word.empty() && ordinaryWord(language, folded) && wanted(word)) found.insert(word);
    };
    for (const std::string& path : language.wordLists) {
        std::ifstream list(path, std::ios::binary);
        for (std::string line; std::getline(list, line);)
            take(trim(line.substr(0, line.find('/'))));
    }
    // A suffix rule replaces at most a few letters at the end: a stem whose beginning no row
    // builds has no form a row builds either.
    const size_t kReplaced = 4;
    auto stemWanted = [&](const std::string& stem) {
        std::string word = plainWord(stem);
        if (word.empty()) return false;
        CodePoints cps = folded;
        return cps.size() < kReplaced + 2 ||
               wanted(encodeUtf8(cps.substr(0, cps.size() - kReplaced)));
    };
    if (!language.formsOf.empty())
        for (const auto& [form, stem] :
             inflectedForms(language.formsOf, language.latin2, stemWanted))
            take(form);
    std::vector<std::string> words(found.begin(), found.end());
    std::sort(words.begin(), words.end());
    return words;
}

WordList readWords(const Language& language, const Glossary& glossary, const BlockList& blocked,
                   const std::vector<std::string>& common,
                   const std::unordered_map<std::string, unsigned>& english, size_t maxLetters) {
    std::unordered_set<std::string> spelled = spelledWords(language, glossary, common, maxLetters);
    CodePoints written, folded;
    WordList list;
    std::unordered_set<std::string> seen;
    std::vector<RankedWord> kept;
    for (unsigned rank = 1; rank <= common.size(); ++rank) {
        const std::string& line = common[rank - 1];
        if (!decodeUtf8(line, written)) continue;
        for (char32_t& cp : written) cp = lowerLetter(cp);
        if (!foldWord(language, written, folded) || folded.size() < 2 || folded.size() > maxLetters)
            continue;
        std::string word = encodeUtf8(folded);
        if (!seen.insert(word).second) continue;
        const char* refusal =
            !spelled.count(word)              ? "not spelled so in the dictionaries"
            : blocked.blocks(word)            ? "blocked"
            : glossary.offensive.count(word)  ? "marked vulgar by a dictionary"
            : !ordinaryWord(language, folded) ? "no vowel, or a cry"
            : englishNoise(english, word, rank) && !glossary.descriptions.count(word)
                ? "an English word"
                : nullptr;
        if (refusal)
            list.refused.push_back({{word, rank}, refusal});
        else
            kept.push_back({word, unsigned(kept.size() + 1)});
    }
    std::sort(kept.begin(), kept.end(),
              [](const RankedWord& a, const RankedWord& b) { return a.word < b.word; });
    for (const RankedWord& w : kept) {
        list.words.push_back(w.word);
        list.ranks.push_back(w.rank);
    }
    return list;
}
