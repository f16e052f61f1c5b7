#include "tools/levels/inflections.h"
#include "tools/levels/utf8.h"
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

std::string fromLatin2(const std::string& line) {
    static const std::map<unsigned char, char32_t> letters = {
        {0xA1, U'Ą'}, {0xB1, U'ą'}, {0xC6, U'Ć'}, {0xE6, U'ć'}, {0xCA, U'Ę'}, {0xEA, U'ę'},
        {0xA3, U'Ł'}, {0xB3, U'ł'}, {0xD1, U'Ń'}, {0xF1, U'ń'}, {0xD3, U'Ó'}, {0xF3, U'ó'},
        {0xA6, U'Ś'}, {0xB6, U'ś'}, {0xAC, U'Ź'}, {0xBC, U'ź'}, {0xAF, U'Ż'}, {0xBF, U'ż'}};
    std::string out;
    for (unsigned char c : line) {
        auto letter = letters.find(c);
        appendUtf8(out, letter != letters.end() ? letter->second : char32_t(c));
    }
    return out;
}

namespace {

enum class FlagType { Char, Long, Number, Utf8 };

std::vector<std::string> splitFlags(const std::string& flags, FlagType type) {
    std::vector<std::string> out;
    if (type == FlagType::Number) {
        std::stringstream in(flags);
        std::string flag;
        while (std::getline(in, flag, ',')) out.push_back(flag);
    } else if (type == FlagType::Long) {
        for (size_t i = 0; i + 1 < flags.size(); i += 2) out.push_back(flags.substr(i, 2));
    } else if (type == FlagType::Utf8) {
        CodePoints cps;
        if (decodeUtf8(flags, cps))
            for (char32_t cp : cps) out.push_back(encodeUtf8(CodePoints(1, cp)));
    } else {
        for (char c : flags) out.push_back(std::string(1, c));
    }
    return out;
}

// One letter position of a rule condition: '.', a letter, [abc] or [^abc].
struct LetterClass {
    CodePoints letters;
    bool negated = false;
    bool any = false;
    bool matches(char32_t cp) const {
        if (any) return true;
        return (letters.find(cp) != CodePoints::npos) != negated;
    }
};

std::vector<LetterClass> parseCondition(const CodePoints& condition) {
    std::vector<LetterClass> classes;
    for (size_t i = 0; i < condition.size(); ++i) {
        LetterClass c;
        if (condition[i] == '.') {
            c.any = true;
        } else if (condition[i] == '[') {
            size_t j = i + 1;
            if (j < condition.size() && condition[j] == '^') {
                c.negated = true;
                ++j;
            }
            while (j < condition.size() && condition[j] != ']') c.letters += condition[j++];
            i = j;
        } else {
            c.letters = CodePoints(1, condition[i]);
        }
        classes.push_back(c);
    }
    return classes;
}

struct SuffixRule {
    CodePoints strip, add;
    std::vector<LetterClass> condition;
};

bool conditionHolds(const SuffixRule& rule, const CodePoints& stem) {
    if (rule.condition.size() > stem.size() || rule.strip.size() > stem.size()) return false;
    size_t start = stem.size() - rule.condition.size();
    for (size_t i = 0; i < rule.condition.size(); ++i)
        if (!rule.condition[i].matches(stem[start + i])) return false;
    return stem.compare(stem.size() - rule.strip.size(), rule.strip.size(), rule.strip) == 0;
}

}  // namespace

std::unordered_map<std::string, std::string> inflectedForms(
    const std::string& base, bool latin2, const std::function<bool(const std::string&)>& wanted) {
    std::unordered_map<std::string, std::string> forms;
    FlagType flagType = FlagType::Char;
    std::map<std::string, std::vector<SuffixRule>> suffixes;
    std::ifstream aff(base + ".aff", std::ios::binary);
    std::string line;
    while (std::getline(aff, line)) {
        if (latin2) line = fromLatin2(line);
        std::stringstream in(line);
        std::string tag, flag, strip, add, condition;
        in >> tag;
        if (tag == "FLAG") {
            in >> flag;
            flagType = flag == "long"    ? FlagType::Long
                       : flag == "num"   ? FlagType::Number
                       : flag == "UTF-8" ? FlagType::Utf8
                                         : FlagType::Char;
        }
        if (tag != "SFX" || !(in >> flag >> strip >> add >> condition)) continue;
        if (strip == "Y" || strip == "N") continue;  // the header line of a rule group
        SuffixRule rule;
        CodePoints cps;
        if (strip != "0" && decodeUtf8(strip, cps)) rule.strip = cps;
        add = add.substr(0, add.find('/'));
        if (add != "0" && decodeUtf8(add, cps)) rule.add = cps;
        if (condition != "." && decodeUtf8(condition, cps)) rule.condition = parseCondition(cps);
        suffixes[flag].push_back(rule);
    }
    std::ifstream dic(base + ".dic", std::ios::binary);
    while (std::getline(dic, line)) {
        if (latin2) line = fromLatin2(line);
        line = line.substr(0, line.find_first_of(" \t\r"));
        size_t slash = line.find('/');
        if (slash == std::string::npos || slash == 0) continue;
        std::string stem = line.substr(0, slash);
        CodePoints cps;
        if (!wanted(stem) || !decodeUtf8(stem, cps)) continue;
        for (const std::string& flag : splitFlags(line.substr(slash + 1), flagType)) {
            auto rules = suffixes.find(flag);
            if (rules == suffixes.end()) continue;
            for (const SuffixRule& rule : rules->second) {
                if (!conditionHolds(rule, cps)) continue;
                std::string form =
                    encodeUtf8(cps.substr(0, cps.size() - rule.strip.size()) + rule.add);
                if (form != stem) forms.emplace(form, stem);
            }
        }
    }
    return forms;
}
