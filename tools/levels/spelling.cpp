#include "tools/levels/spelling.h"
#include "tools/levels/folding.h"
#include "tools/levels/text_files.h"
#include <algorithm>
#include <fstream>
#include <unordered_map>
#include <unordered_set>

namespace {

// A spelling used less than a tenth as often as the first is not shown beside it.
const size_t rareFactor = 10;

}  // namespace

std::map<std::string, std::string> displaySpellings(const Language& language,
                                                    const std::vector<std::string>& written,
                                                    const std::set<std::string>& words,
                                                    const std::vector<std::string>& common) {
    std::map<std::string, std::string> shown;
    if (language.folds.empty()) return shown;
    std::map<std::string, std::set<std::string>> spellings;
    CodePoints letters, folded;
    for (const std::string& entry : written) {
        if (!decodeUtf8(entry, letters) || !foldWord(language, letters, folded)) continue;
        std::string word = encodeUtf8(folded);
        if (words.count(word)) spellings[word].insert(entry);
    }
    // Text spells a word as often as a word list does, and better where the list slipped
    // (Spanish según, which one list has only as segün).
    for (const std::string& entry : common) {
        if (!decodeUtf8(entry, letters) || !foldWord(language, letters, folded)) continue;
        std::string word = encodeUtf8(folded);
        if (word != entry && words.count(word)) spellings[word].insert(entry);
    }
    std::unordered_map<std::string, size_t> rank;
    for (size_t i = 0; i < common.size(); ++i) rank.emplace(common[i], i);
    auto rankOf = [&](const std::string& entry) {
        auto found = rank.find(entry);
        return found == rank.end() ? common.size() : found->second;
    };
    for (auto& [word, entries] : spellings) {
        // A plain spelling the frequency list prefers to every marked one is a form the word
        // list lacks (Spanish aman beside the rare amán), not a misspelling of it.
        bool plainPreferred =
            std::all_of(entries.begin(), entries.end(),
                        [&](const std::string& e) { return rankOf(word) < rankOf(e); });
        if (plainPreferred) entries.insert(word);
        std::vector<std::string> forms(entries.begin(), entries.end());
        std::stable_sort(
            forms.begin(), forms.end(),
            [&](const std::string& a, const std::string& b) { return rankOf(a) < rankOf(b); });
        // A spelling far rarer than the first, or that players do not write at all (an old
        // accent), is left out; when none is ranked, all are shown.
        const size_t best = rankOf(forms.front());
        if (best < common.size())
            forms.erase(std::find_if(forms.begin(), forms.end(),
                                     [&](const std::string& form) {
                                         return rankOf(form) >= common.size() ||
                                                rankOf(form) > rareFactor * (best + 1);
                                     }),
                        forms.end());
        std::string text;
        for (const std::string& form : forms) text += (text.empty() ? "" : " / ") + form;
        if (text != word) shown.emplace(word, text);
    }
    return shown;
}

std::vector<std::string> lowerCaseEntries(const Language& language) {
    std::vector<std::string> entries;
    CodePoints letters;
    for (const std::string& path : language.wordLists) {
        std::ifstream list(path, std::ios::binary);
        for (std::string line; std::getline(list, line);) {
            line = line.substr(0, line.find('/'));
            while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
            if (decodeUtf8(line, letters) && !letters.empty() &&
                lowerLetter(letters[0]) == letters[0])
                entries.push_back(line);
        }
    }
    return entries;
}

std::map<std::string, std::string> writtenForms(const Language& language,
                                                const std::vector<std::string>& common) {
    std::map<std::string, std::string> forms;
    if (language.shownMarks.empty()) return forms;
    auto marked = [&](const CodePoints& cps) {
        return cps.find_first_of(language.shownMarks) != CodePoints::npos;
    };
    // The dictionaries' entries, cut at hunspell's '/'.
    std::unordered_set<std::string> entries;
    CodePoints written, folded;
    for (const std::string& path : language.wordLists) {
        std::ifstream list(path, std::ios::binary);
        for (std::string line; std::getline(list, line);)
            entries.insert(trim(line.substr(0, line.find('/'))));
    }
    // Most used first: of two marked spellings of one word the more common is shown. A marked
    // spelling the dictionaries lack is still taken when they lack the plain one too: hunspell
    // lists stems, not forms such as даёт; осел beside осёл stays as the level means it.
    for (const std::string& line : common) {
        if (!decodeUtf8(line, written)) continue;
        for (char32_t& cp : written) cp = lowerLetter(cp);
        std::string shown = encodeUtf8(written);
        if (!marked(written) || !foldWord(language, written, folded)) continue;
        std::string word = encodeUtf8(folded);
        if (!entries.count(shown) && entries.count(word)) continue;
        const std::vector<std::string>& plain = language.plainHomographs;
        if (std::find(plain.begin(), plain.end(), word) == plain.end()) forms.emplace(word, shown);
    }
    return forms;
}
