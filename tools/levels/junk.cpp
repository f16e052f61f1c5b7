#include "tools/levels/junk.h"
#include "tools/levels/folding.h"
#include "tools/levels/inflections.h"
#include <fstream>

namespace {

const CodePoints markedLetters = U"ąćęłńóśźżéèêëçàâùûüäöìíòóú";
const CodePoints bareLetters = U"acelnoszzeeeecaauuuaoiioou";

// The word with every mark taken off (Polish ł included); the same word when it has none.
std::string bare(const std::string& word) {
    CodePoints cps;
    if (!decodeUtf8(word, cps)) return word;
    for (char32_t& cp : cps) {
        size_t at = markedLetters.find(cp);
        if (at != CodePoints::npos) cp = bareLetters[at];
    }
    return encodeUtf8(cps);
}

std::string lowered(const CodePoints& cps) {
    CodePoints low = cps;
    for (char32_t& cp : low) cp = lowerLetter(cp);
    return encodeUtf8(low);
}

// Entries of the word lists at path, split into those starting with a capital (lowered) and
// the rest.
void readEntries(const std::string& path, bool latin2, std::unordered_set<std::string>* lower,
                 std::unordered_set<std::string>* capital) {
    std::ifstream in(path, std::ios::binary);
    CodePoints cps;
    for (std::string line; std::getline(in, line);) {
        if (latin2) line = fromLatin2(line);
        line = line.substr(0, line.find('/'));
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (!decodeUtf8(line, cps) || cps.empty()) continue;
        bool isCapital = lowerLetter(cps[0]) != cps[0];
        std::unordered_set<std::string>* into = isCapital ? capital : lower;
        if (into) into->insert(isCapital ? lowered(cps) : line);
    }
}

// Ranks compare how often two words are used: a word of rank r is used about k times as
// often as one of rank k * r.
const unsigned markedTwinFactor = 15;

}  // namespace

const char* junkReason(const std::string& word, const JunkEvidence& evidence) {
    if (evidence.headwords.empty() || evidence.headwords.count(word)) return nullptr;
    if (evidence.englishNames.count(word) && evidence.names.count(word))
        return "a name the frequency list wrote in lower case";
    auto own = evidence.rank.find(word);
    auto twin = evidence.markedTwinRank.find(word);
    if (own != evidence.rank.end() && twin != evidence.markedTwinRank.end() &&
        (unsigned long long)twin->second * markedTwinFactor < own->second)
        return "a word written without its marks";
    return nullptr;
}

JunkEvidence readJunkEvidence(const Language& language, const std::vector<std::string>& common,
                              const std::vector<std::string>& english) {
    JunkEvidence evidence;
    if (language.inflections.empty()) return evidence;
    readEntries(language.inflections + ".dic", language.latin2, &evidence.headwords, nullptr);
    for (const std::string& path : language.wordLists)
        readEntries(path, false, nullptr, &evidence.names);
    CodePoints cps, folded;
    std::unordered_set<std::string> englishLower;
    for (const std::string& entry : english) {
        if (!decodeUtf8(entry, cps) || cps.empty()) continue;
        if (lowerLetter(cps[0]) == cps[0])
            englishLower.insert(entry);
        else
            evidence.englishNames.insert(lowered(cps));
    }
    for (const std::string& word : englishLower) evidence.englishNames.erase(word);
    for (size_t i = 0; i < common.size(); ++i) {
        if (!decodeUtf8(common[i], cps)) continue;
        std::string word = lowered(cps);
        std::string plain = bare(word);
        decodeUtf8(word, cps);
        // Only marks the row keeps make a twin: a folded mark is typed bare on purpose.
        if (plain == word)
            evidence.rank.emplace(word, unsigned(i + 1));
        else if (foldWord(language, cps, folded) && folded == cps)
            evidence.markedTwinRank.emplace(plain, unsigned(i + 1));
    }
    return evidence;
}

void refuseJunk(WordList& list, const JunkEvidence& evidence) {
    WordList kept;
    kept.refused = std::move(list.refused);
    for (size_t i = 0; i < list.words.size(); ++i) {
        if (const char* reason = junkReason(list.words[i], evidence)) {
            kept.refused.push_back({{list.words[i], list.ranks[i]}, reason});
            continue;
        }
        kept.words.push_back(list.words[i]);
        kept.ranks.push_back(list.ranks[i]);
    }
    list = std::move(kept);
}
