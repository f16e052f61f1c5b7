#include "tools/levels/folding.h"

char32_t lowerLetter(char32_t cp) {
    if ((cp >= 'A' && cp <= 'Z') || (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7)) return cp + 0x20;
    if (cp >= 0x410 && cp <= 0x42F) return cp + 0x20;
    if (cp >= 0x400 && cp <= 0x40F) return cp + 0x50;
    switch (cp) {
    case 0x104:
    case 0x106:
    case 0x118:
    case 0x141:
    case 0x143:
    case 0x15A:
    case 0x179:
    case 0x17B:
    case 0x152:
    case 0x490: return cp + 1;
    }
    return cp;
}

bool foldWord(const Language& language, const CodePoints& written, CodePoints& folded) {
    folded.clear();
    for (char32_t cp : written) {
        auto fold = language.folds.find(cp);
        if (fold != language.folds.end()) {
            folded += fold->second;
        } else if (language.alphabet.find(cp) != CodePoints::npos) {
            folded += cp;
        } else {
            return false;
        }
    }
    return true;
}

bool foldKey(const Language& language, const std::string& written, std::string& key) {
    CodePoints cps, folded;
    if (!decodeUtf8(written, cps) || cps.empty()) return false;
    for (char32_t& cp : cps) cp = lowerLetter(cp);
    if (!foldWord(language, cps, folded)) return false;
    key = encodeUtf8(folded);
    return true;
}

// The first three letters, in lower case: inflecting only stems that begin like a
// common word keeps the work small.
std::string beginning(const std::string& word) {
    CodePoints cps;
    decodeUtf8(word, cps);
    for (char32_t& cp : cps) cp = lowerLetter(cp);
    return encodeUtf8(cps.substr(0, 3));
}

bool startsLower(const std::string& word) {
    CodePoints cps;
    return decodeUtf8(word, cps) && !cps.empty() && lowerLetter(cps[0]) == cps[0];
}

std::unordered_set<std::string> beginningsOf(const std::vector<std::string>& words) {
    std::unordered_set<std::string> beginnings;
    for (const std::string& word : words) beginnings.insert(beginning(word));
    return beginnings;
}
