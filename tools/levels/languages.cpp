#include "tools/levels/languages.h"

namespace {

CodePoints letters(const std::string& utf8) {
    CodePoints cps;
    decodeUtf8(utf8, cps);
    return cps;
}

// Each group of letters in `from` folds to the letter at the same place in `to`.
std::map<char32_t, CodePoints> foldTable(const std::string& from, const std::string& to,
                                         std::map<char32_t, CodePoints> extra = {}) {
    CodePoints f = letters(from), t = letters(to);
    for (size_t i = 0; i < f.size() && i < t.size(); ++i) extra[f[i]] = CodePoints(1, t[i]);
    return extra;
}

const std::string latin = "abcdefghijklmnopqrstuvwxyz";
const std::string dict = "/usr/share/dictd/freedict-";

// Keys of a US keyboard in the order of the Cyrillic letters they carry.
const std::string jcukenKeys = "qwertyuiop[]asdfghjkl;'zxcvbnm,.`";

std::vector<std::pair<std::string, std::string>> keyMap(const std::string& keys, const std::string& utf8) {
    std::vector<std::pair<std::string, std::string>> map;
    CodePoints cps = letters(utf8);
    for (size_t i = 0; i < keys.size() && i < cps.size(); ++i)
        map.emplace_back(std::string(1, keys[i]), encodeUtf8(CodePoints(1, cps[i])));
    return map;
}

std::vector<Language> makeLanguages() {
    std::vector<Language> all;
    Language en;
    en.code = "en";
    en.wordLists = {"/usr/share/dict/american-english", "/usr/share/dict/british-english"};
    en.vowels = letters("aeiouy");
    en.alphabet = letters(latin);
    en.wordnet = true;
    all.push_back(en);

    Language ru;
    ru.code = "ru";
    ru.wordLists = {"/usr/share/hunspell/ru_RU.dic"};
    ru.vowels = letters("аеёиоуыэюя");
    ru.alphabet = letters("абвгдеёжзийклмнопрстуфхцчшщъыьэюя");
    ru.charmap = keyMap(jcukenKeys, "йцукенгшщзхъфывапролджэячсмитьбюё");
    ru.fromEnglish = {dict + "eng-rus", "/usr/share/dictd/mueller7"};
    all.push_back(ru);

    Language de;
    de.code = "de";
    de.wordLists = {"/usr/share/dict/ngerman"};
    de.vowels = letters("aeiouyäöü");
    de.alphabet = letters(latin + "äöü");
    de.folds = {{U'ß', letters("ss")}};
    de.charmap = {{"[", "ü"}, {";", "ö"}, {"'", "ä"}};
    de.capitalNouns = true;
    de.toEnglish = dict + "deu-eng";
    all.push_back(de);

    Language fr;
    fr.code = "fr";
    fr.wordLists = {"/usr/share/dict/french"};
    fr.vowels = letters("aeiouy");
    fr.alphabet = letters(latin);
    fr.folds = foldTable("àâäçéèêëîïôöùûüÿ", "aaaceeeeiioouuuy",
                         {{U'æ', letters("ae")}, {U'œ', letters("oe")}});
    fr.toEnglish = dict + "fra-eng";
    fr.inflections = "/usr/share/hunspell/fr";
    fr.fromEnglish = {dict + "eng-fra"};
    all.push_back(fr);

    Language es;
    es.code = "es";
    es.wordLists = {"/usr/share/dict/spanish"};
    es.vowels = letters("aeiouy");
    es.alphabet = letters(latin + "ñ");
    es.folds = foldTable("áéíóúü", "aeiouu");
    es.charmap = {{";", "ñ"}};
    es.toEnglish = dict + "spa-eng";
    es.viaGerman = dict + "deu-spa";
    es.inflections = "/usr/share/hunspell/es_ES";
    es.fromEnglish = {dict + "eng-spa"};
    all.push_back(es);

    Language it;
    it.code = "it";
    it.wordLists = {"/usr/share/dict/italian"};
    it.vowels = letters("aeiouy");
    it.alphabet = letters(latin);
    it.folds = foldTable("àáâèéêìíîïòóôùúû", "aaaeeeiiiiooouuu");
    it.toEnglish = dict + "ita-eng";
    it.inflections = "/usr/share/hunspell/it_IT";
    it.fromEnglish = {dict + "eng-ita"};
    all.push_back(it);

    Language pl;
    pl.code = "pl";
    pl.wordLists = {"/usr/share/dict/polish"};
    pl.vowels = letters("aeiouyąęó");
    pl.alphabet = letters(latin + "ąćęłńóśźż");
    pl.charmap = keyMap("123456789", "ąćęłńóśźż");
    pl.toEnglish = dict + "pol-eng";
    pl.inflections = "/usr/share/hunspell/pl_PL";
    pl.latin2 = true;
    pl.shortWordsNeedDescription = true;
    pl.fromEnglish = {dict + "eng-pol"};
    all.push_back(pl);

    Language uk;
    uk.code = "uk";
    uk.wordLists = {"/usr/share/dict/ukrainian"};
    uk.vowels = letters("аеєиіїоуюя");
    uk.alphabet = letters("абвгґдеєжзиіїйклмнопрстуфхцчшщьюя");
    // The backslash key cannot be named in a data file (its reader keeps escapes as
    // written), so ґ sits on the grave accent key, which Ukrainian does not need.
    uk.charmap = keyMap(jcukenKeys, "йцукенгшщзхїфівапролджєячсмитьбюґ");
    all.push_back(uk);
    for (unsigned i = 0; i < all.size(); ++i) all[i].index = i;
    return all;
}

} // namespace

const Language* findLanguage(const std::string& code) {
    static const std::vector<Language> all = makeLanguages();
    for (const Language& language : all)
        if (language.code == code) return &language;
    return nullptr;
}
