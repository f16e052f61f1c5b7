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
const std::string thesauri = "/usr/share/mythes/th_";

// Keys of a US keyboard in the order of the Cyrillic letters they carry.
const std::string jcukenKeys = "qwertyuiop[]asdfghjkl;'zxcvbnm,.`";

std::vector<std::pair<std::string, std::string>> keyMap(const std::string& keys,
                                                        const std::string& utf8) {
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
    ru.vowels = letters("аеиоуыэюя");
    // Most writers leave ё out: a row holds е, which finds a word either way, and the word
    // shows ё where the dictionary and the frequency list write it (даёт, идёт, моё).
    ru.alphabet = letters("абвгдежзийклмнопрстуфхцчшщъыьэюя");
    ru.folds = foldTable("ё", "е");
    ru.shownMarks = letters("ё");
    ru.plainHomographs = {"все", "всем", "чем"};
    ru.charmap = keyMap(jcukenKeys, "йцукенгшщзхъфывапролджэячсмитьбюё");
    ru.fromEnglish = {dict + "eng-rus", "/usr/share/dictd/mueller7"};
    ru.thesaurus = thesauri + "ru_RU_v2.dat";
    ru.formsOf = "/usr/share/hunspell/ru_RU";
    ru.inflections = ru.formsOf;
    ru.translationLabel = "англ.:";
    all.push_back(ru);

    Language de;
    de.code = "de";
    de.wordLists = {"/usr/share/dict/ngerman"};
    de.vowels = letters("aeiouyäöü");
    de.alphabet = letters(latin + "äöüß");
    // On a US keyboard ü ö ä sit where the German layout has them; ß (the German minus
    // key, which the game does not watch) on the key right of ü's.
    de.charmap = {{"[", "ü"}, {";", "ö"}, {"'", "ä"}, {"]", "ß"}};
    de.capitalNouns = true;
    de.toEnglish = dict + "deu-eng";
    de.thesaurus = thesauri + "de_DE_v2.dat";
    de.translationLabel = "engl.:";
    all.push_back(de);

    Language fr;
    fr.code = "fr";
    fr.wordLists = {"/usr/share/dict/french"};
    fr.vowels = letters("aeiouy");
    // é è ç à ù have keys of their own on the French layout (the US keys 2 7 9 0 and
    // quote); the letters with a circumflex or diaeresis need a dead key and are folded.
    fr.alphabet = letters(latin + "éèçàù");
    fr.folds =
        foldTable("âäêëîïôöûüÿ", "aaeeiioouuy", {{U'æ', letters("ae")}, {U'œ', letters("oe")}});
    fr.charmap = {{"2", "é"}, {"7", "è"}, {"9", "ç"}, {"0", "à"}, {"'", "ù"}};
    fr.toEnglish = dict + "fra-eng";
    fr.thesaurus = thesauri + "fr_FR_v2.dat";
    fr.translationLabel = "angl. :";
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
    es.thesaurus = thesauri + "es_ES_v2.dat";
    es.formsOf = "/usr/share/hunspell/es_ES";
    es.translationLabel = "ingl.:";
    es.viaGerman = dict + "deu-spa";
    es.inflections = "/usr/share/hunspell/es_ES";
    es.fromEnglish = {dict + "eng-spa"};
    all.push_back(es);

    Language it;
    it.code = "it";
    it.wordLists = {"/usr/share/dict/italian"};
    it.vowels = letters("aeiouy");
    // Accented letters fold to plain tiles: Italian marks only stress and a few homographs,
    // mostly on a word's last letter (già, più, perché), so tiles of their own would leave
    // the most used words to the rare rows that hold them. The game shows each word with its
    // accent, and a key that types è on the Italian layout takes the e tile.
    it.alphabet = letters(latin);
    it.folds = foldTable("áâàêèéíîïìóôòúûù", "aaaeeeiiiiooouuu");
    it.toEnglish = dict + "ita-eng";
    it.thesaurus = thesauri + "it_IT_v2.dat";
    it.translationLabel = "ingl.:";
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
    pl.thesaurus = thesauri + "pl_PL_v2.dat";
    pl.translationLabel = "ang.:";
    pl.fromEnglish = {dict + "eng-pol"};
    all.push_back(pl);

    Language uk;
    uk.code = "uk";
    uk.wordLists = {"/usr/share/dict/ukrainian"};
    uk.vowels = letters("аеєиіїоуюя");
    // The apostrophe is a letter of a word (п'ять, сім'я) and a tile of a row; the typographic
    // ones a layout's AltGr or a text types take that tile.
    uk.alphabet = letters("абвгґдеєжзиіїйклмнопрстуфхцчшщьюя'");
    uk.folds = foldTable("ʼ’", "''");
    // As the Ukrainian layout places them: the apostrophe left of 1, ґ on the backslash key.
    uk.charmap = keyMap(jcukenKeys, "йцукенгшщзхїфівапролджєячсмитьбю'");
    uk.charmap.emplace_back("\\", "ґ");
    uk.thesaurus = thesauri + "uk_UA_v2.dat";
    uk.viaRussian = "uk.ru";
    uk.inflections = "/usr/share/hunspell/uk_UA";
    uk.translationLabel = "англ.:";
    all.push_back(uk);
    for (unsigned i = 0; i < all.size(); ++i) all[i].index = i;
    return all;
}

const std::vector<Language>& allLanguages() {
    static const std::vector<Language> all = makeLanguages();
    return all;
}

}  // namespace

const Language* findLanguage(const std::string& code) {
    for (const Language& language : allLanguages())
        if (language.code == code) return &language;
    return nullptr;
}

unsigned languageCount() {
    return static_cast<unsigned>(allLanguages().size());
}
