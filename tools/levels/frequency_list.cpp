#include "tools/levels/frequency_list.h"
#include "tools/levels/text_files.h"
#include <fstream>
#include <unordered_map>
#include <unordered_set>

std::vector<std::string> readFrequencyList(const std::string& path, unsigned maxRank) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> common;
    for (std::string line; common.size() < maxRank && std::getline(in, line);)
        common.push_back(trim(line));
    return common;
}

std::vector<std::string> addRankedBeside(const std::string& path,
                                         std::vector<std::string>& common) {
    std::ifstream in(path, std::ios::binary);
    std::unordered_map<std::string, std::vector<std::string>> after;
    std::unordered_set<std::string> listed(common.begin(), common.end());
    std::vector<std::string> unplaced;
    for (std::string line; std::getline(in, line);) {
        size_t tab = line.find('\t');
        if (line.empty() || line[0] == '#' || tab == std::string::npos) continue;
        std::string word = trim(line.substr(0, tab)), neighbour = trim(line.substr(tab + 1));
        if (listed.count(neighbour))
            after[neighbour].push_back(word);
        else
            unplaced.push_back(word);
    }
    if (after.empty()) return unplaced;
    std::vector<std::string> ranked;
    for (const std::string& word : common) {
        ranked.push_back(word);
        auto placed = after.find(word);
        if (placed != after.end())
            ranked.insert(ranked.end(), placed->second.begin(), placed->second.end());
    }
    common = std::move(ranked);
    return unplaced;
}
