#include "tools/levels/words.h"
#include "tools/levels/inflections.h"
#include "gfx/glyph_ranges.h"
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <zlib.h>

namespace {

std::string readGzipFile(const std::string& path) {
    std::string data;
    gzFile file = gzopen(path.c_str(), "rb");
    if (!file) return data;
    char buffer[1 << 16];
    int n;
    while ((n = gzread(file, buffer, sizeof buffer)) > 0) data.append(buffer, n);
    gzclose(file);
    return data;
}

std::string readPlainFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r"), e = s.find_last_not_of(" \t\r");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

bool contains(const std::string& s, const char* part) {
    return s.find(part) != std::string::npos;
}

// Drops (...), <...>, [...] and {...} groups: grammar tags, subject fields, cross references.
std::string dropBracketed(const std::string& s) {
    std::string out;
    int depth = 0;
    for (char c : s) {
        if (c == '(' || c == '<' || c == '[' || c == '{')
            ++depth;
        else if ((c == ')' || c == '>' || c == ']' || c == '}') && depth > 0)
            --depth;
        else if (depth == 0)
            out += c;
    }
    return out;
}

// "1. house, home 2." -> "house, home"
std::string dropSenseNumbers(std::string s) {
    s = trim(s);
    size_t i = 0;
    while (i < s.size() && (isdigit((unsigned char)s[i]) || s[i] == '.' || s[i] == ')' ||
                            s[i] == '-' || s[i] == ' '))
        ++i;
    s = s.substr(i);
    while (!s.empty()) {
        size_t j = s.size();
        while (j > 0 && (isdigit((unsigned char)s[j - 1]) || s[j - 1] == '.')) --j;
        if (j == s.size() || j == 0 || s[j - 1] != ' ') break;
        s = trim(s.substr(0, j));
    }
    return s;
}

std::vector<std::string> splitItems(const std::string& s) {
    std::vector<std::string> items;
    std::string item;
    for (char c : s + ",") {
        if (c == ',' || c == ';') {
            item = trim(item);
            if (!item.empty()) items.push_back(item);
            item.clear();
        } else {
            item += c;
        }
    }
    return items;
}

struct DictEntry {
    std::string headword;  // as written, with its capitals
    std::string tags;      // the first <...> group of the head line
    std::vector<std::string> body;
};

int base64Value(const std::string& s) {
    static const std::string digits =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    long long v = 0;
    for (char c : s) {
        size_t d = digits.find(c);
        if (d == std::string::npos) return -1;
        v = v * 64 + d;
        if (v > 0x7FFFFFFF) return -1;
    }
    return int(v);
}

// Every entry of a dictd dictionary, in index order, each once.
std::vector<DictEntry> readDictd(const std::string& base) {
    std::vector<DictEntry> entries;
    std::string data = readGzipFile(base + ".dict.dz");
    std::string index = readPlainFile(base + ".index");
    std::unordered_set<int> seen;
    for (const std::string& line : splitLines(index)) {
        size_t t1 = line.find('\t'), t2 = line.find('\t', t1 + 1);
        if (t1 == std::string::npos || t2 == std::string::npos) continue;
        int offset = base64Value(line.substr(t1 + 1, t2 - t1 - 1));
        int length = base64Value(trim(line.substr(t2 + 1)));
        if (offset < 0 || length <= 0 || size_t(offset) + length > data.size()) continue;
        if (!seen.insert(offset).second) continue;
        std::vector<std::string> lines = splitLines(data.substr(offset, length));
        if (lines.empty()) continue;
        DictEntry entry;
        const std::string& head = lines[0];
        size_t end = std::min(head.find(" /"), head.find(" <"));
        entry.headword = trim(head.substr(0, end));
        size_t open = head.find('<'), close = head.find('>', open);
        if (open != std::string::npos && close != std::string::npos)
            entry.tags = head.substr(open + 1, close - open - 1);
        entry.body.assign(lines.begin() + 1, lines.end());
        entries.push_back(std::move(entry));
    }
    return entries;
}

// A sense a dictionary tags vulgar, obscene, pejorative or offensive ("[vulg.]", "(derog.)"):
// only the tags count, as "offensive" or "slur" in a gloss may be a plain meaning.
bool taggedVulgar(const std::string& sense) {
    for (const char* tag : {"[vulg", "[pej", "[derog", "[offens", "[obsc", "(vulg", "(pej",
                            "(derog", "(offens", "(obsc"})
        if (contains(sense, tag)) return true;
    return false;
}

// Lines of an entry that give a meaning, not an example, note or cross reference.
bool senseLine(const std::string& line) {
    std::string t = trim(line);
    return !t.empty() && t[0] != '"' && t[0] != '-' && !contains(t, "Note:") &&
           !contains(t, "Synonym") && !contains(t, "See also") && !contains(t, "see:");
}

// An entry is vulgar when every meaning it gives is: one plain sense makes the word an
// ordinary one ("tie", "crude").
bool vulgarEntry(const std::vector<std::string>& body) {
    bool any = false;
    for (const std::string& line : body) {
        if (!senseLine(line)) continue;
        if (!taggedVulgar(line)) return false;
        any = true;
    }
    return any;
}

void markSense(Glossary& glossary, const std::string& key, bool vulgar) {
    (vulgar ? glossary.offensive : glossary.ordinary).insert(key);
}

// The English side of a <lang>-eng entry: numbered senses when there are some,
// else the first line; at most three items.
std::string translationText(const std::vector<std::string>& body) {
    bool numbered = false;
    for (const std::string& line : body) {
        std::string t = trim(line);
        if (!t.empty() && isdigit((unsigned char)t[0])) numbered = true;
    }
    std::vector<std::string> items;
    for (const std::string& line : body) {
        std::string t = trim(line);
        if (t.empty() || (numbered && !isdigit((unsigned char)t[0]))) continue;
        for (const std::string& item : splitItems(dropSenseNumbers(dropBracketed(t))))
            if (items.size() < 3 && std::find(items.begin(), items.end(), item) == items.end())
                items.push_back(item);
        if (!numbered || items.size() >= 3) break;
    }
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
    return text;
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

bool foldKey(const Language& language, const std::string& written, std::string& key) {
    CodePoints cps, folded;
    if (!decodeUtf8(written, cps) || cps.empty()) return false;
    for (char32_t& cp : cps) cp = lowerLetter(cp);
    if (!foldWord(language, cps, folded)) return false;
    key = encodeUtf8(folded);
    return true;
}

// Cuts a translation after at most about 80 bytes, at the end of an item.
std::string shorten(const std::string& text) {
    if (text.size() <= 80) return text;
    size_t cut = text.rfind(", ", 80);
    if (cut != std::string::npos && cut > 0) return text.substr(0, cut);
    cut = 80;
    while (cut > 0 && (text[cut] & 0xC0) == 0x80) --cut;
    return text.substr(0, cut) + "...";
}

// An English gloss, labelled as a translation in the player's language, after the
// written form when folding changed it: "straße - engl.: street".
void addTranslation(const Language& language, Glossary& glossary, const std::string& key,
                    const std::string& written, const std::string& english) {
    if (glossary.descriptions.count(key)) return;
    std::string shown = language.folds.empty() && !language.capitalNouns ? std::string() : written;
    if (shown == key) shown.clear();
    glossary.descriptions[key] =
        (shown.empty() ? "" : shown + " - ") + language.translationLabel + " " + english;
    glossary.translated.insert(key);
    glossary.english[key] = english;
}

void readToEnglish(const Language& language, Glossary& glossary) {
    for (const DictEntry& entry : readDictd(language.toEnglish)) {
        std::string key;
        if (entry.headword.find(' ') != std::string::npos ||
            !foldKey(language, entry.headword, key))
            continue;
        markSense(glossary, key, vulgarEntry(entry.body));
        CodePoints head;
        decodeUtf8(entry.headword, head);
        bool capital = !head.empty() && lowerLetter(head[0]) != head[0];
        if (language.capitalNouns && capital &&
            (contains(entry.tags, "fem") || contains(entry.tags, "masc") ||
             contains(entry.tags, "neut") || entry.tags == "pl" || contains(entry.tags, "pl, n")))
            glossary.nouns.insert(key);
        std::string english = shorten(translationText(entry.body));
        if (!english.empty()) addTranslation(language, glossary, key, entry.headword, english);
        if (!capital) glossary.spelled.insert(key);
    }
}

bool hasLatinLetter(const std::string& s) {
    return std::any_of(s.begin(), s.end(),
                       [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); });
}

bool startsWithSense(const std::string& line) {
    size_t i = 0;
    while (i < line.size() && isdigit((unsigned char)line[i])) ++i;
    return i > 0 && i < line.size() && line[i] == ')';
}

bool marksRude(const std::string& line) {
    // "_презр." (scornful) marks a tone, not a rude word: "_презр. бумаги, документы".
    return contains(line, "_груб") || contains(line, "_бран") || contains(line, "_вульг") ||
           taggedVulgar(line);
}

// eng-<lang> read backwards: every one-word translation gets the English headwords
// that give it earliest (first sense, first item first).
void readFromEnglish(const Language& language, const std::string& base, Glossary& glossary) {
    // Dictionaries into a non-Latin script mix English phrases into the senses
    // ("tom cat кот"): there a sense ends at its first English word.
    bool latinScript = language.alphabet.find(U'a') != CodePoints::npos;
    std::map<std::string, std::vector<std::pair<int, std::string>>> english;
    std::map<std::string, std::string> written;
    // Into a Cyrillic script, the other words a sense gives beside a word ("врач, доктор")
    // describe it in its own language, as a thesaurus would.
    std::map<std::string, std::vector<std::pair<int, std::string>>> synonyms;
    for (const DictEntry& entry : readDictd(base)) {
        if (entry.headword.empty() || !std::all_of(entry.headword.begin(), entry.headword.end(),
                                                   [](char c) { return c >= 'a' && c <= 'z'; }))
            continue;
        bool offensive = vulgarEntry(entry.body);
        bool numbered = !latinScript &&
                        std::any_of(entry.body.begin(), entry.body.end(),
                                    [](const std::string& l) { return startsWithSense(trim(l)); });
        int rank = 0;
        for (const std::string& line : entry.body) {
            std::string t = trim(line);
            if (t.empty() || contains(t, "See also") || contains(t, "see:") ||
                contains(t, "Synonym"))
                continue;
            if (numbered && !startsWithSense(t)) continue;
            bool rude = offensive || marksRude(t);
            int position = 0;
            std::vector<std::pair<std::string, std::string>>
                sense;  // this sense's one-word translations: key, as written
            for (const std::string& item : splitItems(dropSenseNumbers(dropBracketed(t)))) {
                if (!latinScript && hasLatinLetter(item)) break;
                std::string key;
                if (item.find(' ') != std::string::npos || !foldKey(language, item, key)) continue;
                markSense(glossary, key, rude);
                english[key].emplace_back(rank * 100 + position++, entry.headword);
                written.emplace(key, item);
                if (startsLower(item)) glossary.spelled.insert(key);
                if (!rude) sense.emplace_back(key, item);
            }
            for (const auto& [key, item] : sense)
                for (const auto& other : sense)
                    if (other.first != key) synonyms[key].emplace_back(rank, other.second);
            ++rank;
        }
    }
    for (auto& [key, candidates] : english) {
        if (glossary.descriptions.count(key)) continue;
        std::stable_sort(candidates.begin(), candidates.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<std::string> chosen;
        for (const auto& candidate : candidates)
            if (chosen.size() < 3 &&
                std::find(chosen.begin(), chosen.end(), candidate.second) == chosen.end())
                chosen.push_back(candidate.second);
        std::string text;
        for (const std::string& e : chosen) text += (text.empty() ? "" : ", ") + e;
        auto alike = synonyms.find(key);
        if (latinScript || alike == synonyms.end()) {
            addTranslation(language, glossary, key, written[key], shorten(text));
            continue;
        }
        std::stable_sort(alike->second.begin(), alike->second.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<std::string> words;
        for (const auto& [rank, word] : alike->second)
            if (words.size() < 3 && std::find(words.begin(), words.end(), word) == words.end())
                words.push_back(word);
        std::string description;
        for (const std::string& word : words)
            description += (description.empty() ? "" : ", ") + word;
        glossary.descriptions[key] = description;
        glossary.english[key] = shorten(text);
    }
}

// A deu-<lang> dictionary, with each German headword read in deu-eng: words that
// no English dictionary knows get the English of their German translation.
void readViaGerman(const Language& language, Glossary& glossary) {
    std::unordered_map<std::string, std::string> germanToEnglish;
    for (const DictEntry& entry : readDictd("/usr/share/dictd/freedict-deu-eng")) {
        std::string english = shorten(translationText(entry.body));
        if (!english.empty()) germanToEnglish.emplace(entry.headword, english);
    }
    for (const DictEntry& entry : readDictd(language.viaGerman)) {
        auto english = germanToEnglish.find(entry.headword);
        if (english == germanToEnglish.end()) continue;
        for (const std::string& item : splitItems(translationText(entry.body))) {
            std::string key;
            if (item.find(' ') != std::string::npos || !foldKey(language, item, key)) continue;
            markSense(glossary, key, vulgarEntry(entry.body));
            addTranslation(language, glossary, key, item, english->second);
        }
    }
}

// Lemma pairs with Russian, each Russian lemma read in the English-Russian dictionaries
// backwards: words that no dictionary of their own language translates get the English
// of their Russian twin, labelled as a translation.
void readViaRussian(const Language& language, const std::string& pairsPath, Glossary& glossary) {
    const Language* russian = findLanguage("ru");
    Glossary fromRussian;
    for (const std::string& base : russian->fromEnglish)
        readFromEnglish(*russian, base, fromRussian);
    for (const std::string& line : splitLines(readPlainFile(pairsPath))) {
        size_t tab = line.find('\t');
        std::string key, russianKey;
        if (tab == std::string::npos || !foldKey(language, line.substr(0, tab), key) ||
            !foldKey(*russian, line.substr(tab + 1), russianKey))
            continue;
        auto english = fromRussian.english.find(russianKey);
        if (english == fromRussian.english.end()) continue;
        markSense(
            glossary, key,
            fromRussian.offensive.count(russianKey) && !fromRussian.ordinary.count(russianKey));
        addTranslation(language, glossary, key, line.substr(0, tab), english->second);
    }
}

// Inflected forms are described through their dictionary form: "kota" gets
// "kot: kocur" from the thesaurus, or "kot - ang.: cat".
void describeInflections(const Language& language,
                         const std::unordered_set<std::string>& beginnings, Glossary& glossary) {
    auto described = [&](const std::string& stem) {
        std::string key;
        return (beginnings.empty() || beginnings.count(beginning(stem))) &&
               foldKey(language, stem, key) && glossary.descriptions.count(key) > 0;
    };
    auto forms = inflectedForms(language.inflections, language.latin2, described);
    std::map<std::string, std::string> sorted(forms.begin(), forms.end());
    for (const auto& [form, stem] : sorted) {
        std::string formKey, stemKey;
        if (!foldKey(language, form, formKey) || !foldKey(language, stem, stemKey)) continue;
        if (glossary.offensive.count(stemKey)) glossary.offensive.insert(formKey);
        if (glossary.descriptions.count(formKey)) continue;
        if (glossary.translated.count(stemKey)) {
            glossary.descriptions[formKey] =
                stem + " - " + language.translationLabel + " " + glossary.english[stemKey];
            glossary.translated.insert(formKey);
        } else {
            glossary.descriptions[formKey] = stem + ": " + glossary.descriptions[stemKey];
        }
    }
}

std::string fromLatin1(const std::string& line) {
    std::string out;
    for (unsigned char c : line) appendUtf8(out, c);
    return out;
}

// A thesaurus in the player's language (one "word|senses" line, then a "(kind)|synonym|..."
// line per sense): up to three synonyms of the first senses describe the word. Synonyms
// with a capital would name a place or a person, except German nouns.
void readThesaurus(const Language& language, Glossary& glossary) {
    std::ifstream in(language.thesaurus, std::ios::binary);
    std::string line;
    std::getline(in, line);
    auto decode = [&](const std::string& text) {
        return contains(line, "8859-2")   ? fromLatin2(text)
               : contains(line, "8859-1") ? fromLatin1(text)
                                          : text;
    };
    std::string key;
    std::vector<std::string> synonyms;
    auto finish = [&]() {
        if (key.empty() || synonyms.empty() || glossary.descriptions.count(key)) return;
        std::string text;
        for (const std::string& s : synonyms) text += (text.empty() ? "" : ", ") + s;
        glossary.descriptions[key] = text;
    };
    std::string next;
    while (std::getline(in, next)) {
        next = decode(next);
        size_t bar = next.find('|');
        if (bar == std::string::npos) continue;
        std::string head = next.substr(0, bar);
        if (!head.empty() && head[0] != '(' && head != "-") {  // a headword line
            finish();
            synonyms.clear();
            if (head.find(' ') != std::string::npos || !foldKey(language, head, key)) key.clear();
            continue;
        }
        std::string rest = next.substr(bar + 1) + "|";
        for (size_t start = 0, end; (end = rest.find('|', start)) != std::string::npos;
             start = end + 1) {
            std::string synonym = trim(dropBracketed(rest.substr(start, end - start)));
            CodePoints cps;
            if (synonym.empty() || synonyms.size() >= 3 || !decodeUtf8(synonym, cps)) continue;
            std::string folded;
            if (foldKey(language, synonym, folded) && folded == key) continue;
            if (!language.capitalNouns && lowerLetter(cps[0]) != cps[0]) continue;
            if (std::find(synonyms.begin(), synonyms.end(), synonym) == synonyms.end())
                synonyms.push_back(synonym);
        }
    }
    finish();
}

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

std::unordered_set<std::string> beginningsOf(const std::vector<std::string>& words) {
    std::unordered_set<std::string> beginnings;
    for (const std::string& word : words) beginnings.insert(beginning(word));
    return beginnings;
}

Glossary readGlossary(const Language& language, const std::vector<std::string>& common,
                      const std::string& wordData) {
    Glossary glossary;
    if (!language.thesaurus.empty()) readThesaurus(language, glossary);
    if (!language.toEnglish.empty()) readToEnglish(language, glossary);
    for (const std::string& base : language.fromEnglish) readFromEnglish(language, base, glossary);
    if (!language.viaGerman.empty()) readViaGerman(language, glossary);
    if (!language.viaRussian.empty() && !wordData.empty())
        readViaRussian(language, wordData + "/" + language.viaRussian, glossary);
    // A word is vulgar only when no dictionary gives it a plain sense.
    for (const std::string& word : glossary.ordinary) glossary.offensive.erase(word);
    if (!language.inflections.empty())
        describeInflections(language, beginningsOf(common), glossary);
    return glossary;
}

std::vector<std::string> readFrequencyList(const std::string& path, unsigned maxRank) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> common;
    for (std::string line; common.size() < maxRank && std::getline(in, line);)
        common.push_back(trim(line));
    return common;
}

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

namespace {

// The code points the game's fonts bake; anything else would show as '?'.
bool drawable(char32_t cp) {
    for (const uint16_t* range = gameGlyphRanges; range[0] != 0; range += 2)
        if (cp >= range[0] && cp <= range[1]) return true;
    return false;
}

// Dictionaries write typographic hyphens and dashes the fonts lack; their plain forms read the
// same.
char32_t plainPunctuation(char32_t cp) {
    if (cp >= 0x2010 && cp <= 0x2015) return '-';
    return cp;
}

}  // namespace

std::string rawSafe(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '"')
            out += "\xE2\x80\x9D";  // ”
        else if (c == '\\')
            out += '/';
        else if ((unsigned char)c < 0x20)
            out += ' ';
        else
            out += c;
    }
    // Items the fonts cannot draw (pronunciations in phonetic letters, arrows) are left out whole:
    // half an item would read worse than none.
    std::string kept;
    size_t start = 0;
    while (start <= out.size()) {
        size_t end = out.find(", ", start);
        if (end == std::string::npos) end = out.size();
        CodePoints item;
        decodeUtf8(out.substr(start, end - start), item);
        bool ok = true;
        for (char32_t& cp : item) {
            cp = plainPunctuation(cp);
            ok = ok && drawable(cp);
        }
        if (ok && !item.empty()) kept += (kept.empty() ? "" : ", ") + encodeUtf8(item);
        start = end + 2;
    }
    return trim(kept);
}

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
