#include "tools/levels/block_list.h"
#include "tools/levels/folding.h"
#include "tools/levels/text_files.h"
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

bool BlockList::blocks(const std::string& word) const {
    if (words.count(word)) return true;
    for (const std::string& stem : stems)
        if (word.compare(0, stem.size(), stem) == 0) return true;
    for (const std::string& part : parts)
        if (word.find(part) != std::string::npos) return true;
    if (forms.empty() || allowed.count(word)) return false;
    CodePoints cps;
    decodeUtf8(word, cps);
    for (const CodePoints& stem : forms) {
        if (cps.size() < stem.size() || cps.compare(0, stem.size(), stem) != 0) continue;
        CodePoints ending = cps.substr(stem.size());
        if (englishEndings) {
            static const CodePoints suffixes[] = {U"", U"s", U"es", U"ed", U"d", U"ing"};
            if (std::find(std::begin(suffixes), std::end(suffixes), ending) != std::end(suffixes))
                return true;
        } else if (ending.empty() ||
                   (ending.size() <= 3 && vowels.find(ending[0]) != CodePoints::npos)) {
            return true;
        }
    }
    return false;
}

bool readBlockList(const Language& language, const std::string& path, BlockList& list) {
    std::ifstream in(path);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        line = trim(line.substr(0, line.find('#')));
        if (line.empty()) continue;
        bool allow = line[0] == '!';
        if (allow) line.erase(0, 1);
        bool stem = line.back() == '*';
        if (stem) line.pop_back();
        bool part = stem && !line.empty() && line[0] == '*';
        if (part) line.erase(0, 1);
        std::string key;
        if (!foldKey(language, line, key)) {
            std::fprintf(stderr, "%s: %s is not a word of the language\n", path.c_str(),
                         line.c_str());
            return false;
        }
        if (allow)
            list.allowed.insert(key);
        else if (part)
            list.parts.push_back(key);
        else if (stem)
            list.stems.push_back(key);
        else
            list.words.insert(key);
    }
    return true;
}

bool readSharedBlockList(const Language& language, const std::string& path, BlockList& list) {
    std::ifstream in(path);
    if (!in) return false;
    list.vowels = language.vowels;
    list.englishEndings = language.code == "en";
    std::string line, key;
    while (std::getline(in, line)) {
        if (!foldKey(language, trim(line), key) || list.allowed.count(key)) continue;
        list.words.insert(key);
        CodePoints stem;
        decodeUtf8(key, stem);
        if (!list.englishEndings)
            while (!stem.empty() && language.vowels.find(stem.back()) != CodePoints::npos)
                stem.pop_back();
        if (stem.size() >= 4) list.forms.push_back(stem);
    }
    return true;
}
