#include "tools/levels/glossary.h"
#include "tools/levels/folding.h"
#include "tools/levels/inflections.h"
#include "tools/levels/text_files.h"
#include <algorithm>
#include <fstream>
#include <map>
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

}  // namespace

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
