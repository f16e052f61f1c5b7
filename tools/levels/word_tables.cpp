#include "tools/levels/word_tables.h"
#include "tools/levels/folding.h"
#include <fstream>

std::map<std::string, std::string> readWordTable(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::map<std::string, std::string> glosses;
    for (std::string line; std::getline(in, line);) {
        size_t tab = line.find('\t');
        if (line.empty() || line[0] == '#' || tab == std::string::npos) continue;
        glosses[line.substr(0, tab)] = line.substr(tab + 1);
    }
    return glosses;
}

std::map<std::string, std::string> readWrittenWords(const Language& language,
                                                    const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::map<std::string, std::string> words;
    CodePoints written, folded;
    for (std::string line; std::getline(in, line);) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        if (decodeUtf8(line, written) && foldWord(language, written, folded))
            words.emplace(encodeUtf8(folded), line);
    }
    return words;
}
