// The level builder's own logic: level words, folding, block lists, inflections.
#include "tools/levels/folding.h"
#include "tools/levels/inflections.h"
#include "tools/levels/junk.h"
#include "tools/levels/levels.h"
#include "tools/levels/safe_text.h"
#include "tools/levels/spelling.h"
#include "tools/levels/word_selection.h"
#include "tools/levels/wordnet.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <set>

namespace {

CodePoints sortedLetters(const std::string& word) {
    CodePoints cps;
    decodeUtf8(word, cps);
    std::sort(cps.begin(), cps.end());
    return cps;
}

std::vector<std::string> smallEnglishList() {
    std::set<std::string> words;
    std::ifstream in("/usr/share/dict/american-english");
    std::string line;
    while (std::getline(in, line))
        if (line.size() >= 3 && line.size() <= 7 &&
            std::all_of(line.begin(), line.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
            words.insert(line);
    return {words.begin(), words.end()};
}

TEST(ChooseLevels, EachLevelHoldsExactlyTheWordsItsRowBuilds) {
    std::vector<std::string> words = smallEnglishList();
    ASSERT_GT(words.size(), 10000u);
    LevelRules rules;
    rules.levelCount = 30;
    rules.seedsPerLength = 60;
    rules.rowClass = 3;
    rules.rowClasses = 8;
    std::vector<unsigned> ranks(words.size());
    for (size_t i = 0; i < words.size(); ++i) ranks[i] = unsigned(i + 1);
    std::vector<Level> levels = chooseLevels(findLanguage("en")->alphabet, words, ranks,
                                             std::vector<bool>(words.size(), true), rules);
    ASSERT_EQ(levels.size(), 30u);
    std::set<std::string> rows;
    for (const Level& level : levels) {
        EXPECT_TRUE(rows.insert(level.row).second) << level.row;
        EXPECT_EQ(rowClassOf(level.row, 8), 3u) << level.row;
        CodePoints row = sortedLetters(level.row);
        std::vector<std::string> expected;
        for (const std::string& word : words) {
            CodePoints w = sortedLetters(word);
            if (std::includes(row.begin(), row.end(), w.begin(), w.end())) expected.push_back(word);
        }
        std::vector<std::string> got = level.words;
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, expected) << level.row;
        EXPECT_GE(got.size(), rules.minWords);
        EXPECT_LE(got.size(), rules.maxWords);
        std::vector<std::string> longest;
        for (const std::string& word : level.words)
            if (word.size() == level.words.back().size()) longest.push_back(word);
        EXPECT_FALSE(spellsWord(level.row, longest)) << level.row;
    }
    // Same words, same rules: the same levels, byte for byte.
    std::vector<Level> again = chooseLevels(findLanguage("en")->alphabet, words, ranks,
                                            std::vector<bool>(words.size(), true), rules);
    for (size_t i = 0; i < levels.size(); ++i) EXPECT_EQ(again[i].row, levels[i].row);
}

// The first levels take only rows whose every word is common, and the word count of
// neighbouring levels changes by at most a third while rows allow it.
TEST(ChooseLevels, FirstLevelsHoldOnlyCommonWordsAndTheCountGrowsGently) {
    std::vector<std::string> words = smallEnglishList();
    std::vector<unsigned> ranks(words.size());
    std::mt19937 rng(7);
    for (unsigned& rank : ranks) rank = 1 + rng() % 20000;
    LevelRules rules;
    rules.levelCount = 60;
    rules.seedsPerLength = 300;
    rules.earlyLevels = 10;
    rules.earlyMaxRank = 8000;
    std::vector<Level> levels = chooseLevels(findLanguage("en")->alphabet, words, ranks,
                                             std::vector<bool>(words.size(), false), rules);
    ASSERT_EQ(levels.size(), 60u);
    std::map<std::string, unsigned> rankOf;
    for (size_t i = 0; i < words.size(); ++i) rankOf[words[i]] = ranks[i];
    for (size_t i = 0; i < levels.size(); ++i) {
        if (i < rules.earlyLevels) {
            EXPECT_LE(levels[i].words.size(), rules.earlyMaxWords) << levels[i].row;
            for (const std::string& word : levels[i].words)
                EXPECT_LE(rankOf[word], rules.earlyMaxRank) << word;
        }
        if (i > 0) {
            double ratio = double(levels[i].words.size()) / levels[i - 1].words.size();
            EXPECT_GE(ratio, 2.0 / 3 - 1e-9) << "level " << i + 1;
            EXPECT_LE(ratio, 4.0 / 3 + 1e-9) << "level " << i + 1;
        }
    }
    // Past the first levels the words grow less common step by step, not all at once.
    auto medianOfTen = [&](size_t first) {
        std::vector<unsigned> medians;
        for (size_t i = first; i < first + 10; ++i) medians.push_back(levels[i].medianRank);
        std::sort(medians.begin(), medians.end());
        return medians[5];
    };
    EXPECT_LT(medianOfTen(rules.earlyLevels) * 2, medianOfTen(levels.size() - 10));
}

// Everyday words join the levels whose rows build them, shorter first, as far as each level
// keeps the rules it was chosen by; the words without room are returned.
TEST(AddBuiltWords, EachRowListsTheWordsItBuildsWhileItHasRoom) {
    LevelRules rules;
    rules.earlyLevels = 0;
    rules.maxWords = 5;
    std::vector<Level> levels = {{"tnoe", {"no", "on", "one", "ten"}},
                                 {"dsae", {"ad", "as", "eds", "sad", "sea"}}};
    std::vector<std::string> left =
        addBuiltWords(findLanguage("en")->alphabet, levels, {"ads", "note", "toe", "zoo"}, rules);
    EXPECT_EQ(levels[0].words, (std::vector<std::string>{"no", "on", "one", "ten", "toe"}));
    EXPECT_EQ(levels[1].words.size(), 5u);
    EXPECT_EQ(left, (std::vector<std::string>{"note", "ads"}));
}

TEST(AddBuiltWords, NeighboursNeverShareMoreThanHalfTheirWords) {
    LevelRules rules;
    rules.earlyLevels = 0;
    std::vector<Level> levels = {{"tpso", {"op", "so", "to", "pot", "top", "stop"}},
                                 {"tpao", {"at", "pa", "oat", "pat", "tap", "atop"}}};
    std::vector<std::string> left =
        addBuiltWords(findLanguage("en")->alphabet, levels, {"opt", "pot", "to", "top"}, rules);
    EXPECT_EQ(levels[1].words, (std::vector<std::string>{"at", "pa", "to", "oat", "opt", "pat",
                                                         "pot", "tap", "atop"}));
    EXPECT_EQ(left, (std::vector<std::string>{"top"})) << "a fourth shared word of seven";
}

TEST(AddBuiltWords, NoLongestWordCanBeReadOffTheRow) {
    LevelRules rules;
    rules.earlyLevels = 0;
    std::vector<Level> levels = {{"stop", {"so", "to", "top", "opts"}}};
    std::vector<std::string> left =
        addBuiltWords(findLanguage("en")->alphabet, levels, {"post", "spot", "stop"}, rules);
    EXPECT_EQ(levels[0].words,
              (std::vector<std::string>{"so", "to", "top", "opts", "post", "spot"}));
    EXPECT_EQ(left, (std::vector<std::string>{"stop"}));
}

std::string folded(const char* code, const char* written) {
    CodePoints cps, out;
    decodeUtf8(written, cps);
    return foldWord(*findLanguage(code), cps, out) ? encodeUtf8(out) : "(refused)";
}

TEST(FoldWord, AccentsFoldWhereTheLanguageFoldsThem) {
    // Letters with a key of their own on the language's layout stay; dead-key letters fold.
    EXPECT_EQ(folded("fr", "été"), "été");
    EXPECT_EQ(folded("fr", "être"), "etre");
    EXPECT_EQ(folded("fr", "cœur"), "coeur");
    EXPECT_EQ(folded("it", "perché"), "perche");  // Italian accents fold: più on any p, i, u
    EXPECT_EQ(folded("it", "città"), "citta");
    EXPECT_EQ(folded("es", "año"), "año");
    EXPECT_EQ(folded("es", "canción"), "cancion");
    EXPECT_EQ(folded("de", "straße"), "straße");
    EXPECT_EQ(folded("de", "tür"), "tür");
    EXPECT_EQ(folded("pl", "żółw"), "żółw");
    EXPECT_EQ(folded("uk", "ґанок"), "ґанок");
    // Capitals, other scripts and letters the language lacks are refused.
    EXPECT_EQ(folded("en", "Paris"), "(refused)");
    EXPECT_EQ(folded("en", "café"), "(refused)");
    EXPECT_EQ(folded("ru", "їжак"), "(refused)");
    EXPECT_EQ(folded("fr", "smørrebrød"), "(refused)");
}

TEST(BlockList, WordsStemsAndPartsAreBlockedAfterFolding) {
    std::string path = ::testing::TempDir() + "block.txt";
    std::ofstream(path) << "# comment\nmerde*\ncon\n*encul* # trailing comment\n";
    BlockList list;
    ASSERT_TRUE(readBlockList(*findLanguage("fr"), path, list));
    EXPECT_TRUE(list.blocks("con"));
    EXPECT_FALSE(list.blocks("cone"));
    EXPECT_TRUE(list.blocks("merdeux"));
    EXPECT_TRUE(list.blocks("enculer"));
    EXPECT_FALSE(list.blocks("emmerde"));  // only the stem's own start counts
    std::ofstream(path) << "smørrebrød\n";
    EXPECT_FALSE(readBlockList(*findLanguage("fr"), path, list))
        << "a word that can never match is a typo";
    std::remove(path.c_str());
}

// A shared list names dictionary forms, and skips what is not a word of the language.
std::string writeTemporary(const std::string& name, const std::string& text) {
    std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

TEST(BlockList, SharedEntriesAlsoBlockTheirForms) {
    std::string path = ::testing::TempDir() + "shared.txt";
    std::ofstream(path) << "kurwa\nhuj ci\npizda\ndupa\nchuj\n";
    BlockList list;
    ASSERT_TRUE(readSharedBlockList(*findLanguage("pl"), path, list));
    EXPECT_TRUE(list.blocks("kurwa"));
    EXPECT_TRUE(list.blocks("kurwy"));
    EXPECT_TRUE(list.blocks("pizdy"));
    EXPECT_TRUE(list.blocks("dupa"));
    EXPECT_FALSE(list.blocks("dupy")) << "a four-letter entry blocks itself only";
    EXPECT_FALSE(list.blocks("kura")) << "a form keeps at least four letters of the entry";
    std::remove(path.c_str());

    // Forms take an ending, not whatever begins alike; our list lets plain words through.
    const Language& italian = *findLanguage("it");
    BlockList it;
    ASSERT_TRUE(
        readBlockList(italian, writeTemporary("it-own.txt", "# ours\n!caccia\n!pesce\n"), it));
    ASSERT_TRUE(
        readSharedBlockList(italian, writeTemporary("it-shared.txt", "cazzo\ncacca\npesce\n"), it));
    EXPECT_TRUE(it.blocks("cazzo"));
    EXPECT_TRUE(it.blocks("cazzi"));
    EXPECT_FALSE(it.blocks("cacche")) << "an ending starts with a vowel";
    EXPECT_FALSE(it.blocks("caccia")) << "let through by our list";
    EXPECT_FALSE(it.blocks("pesce")) << "a plain word the shared list names for a slang sense";
    EXPECT_FALSE(it.blocks("pesci"));
    EXPECT_FALSE(it.blocks("cazzuola")) << "more than an ending";

    const Language& english = *findLanguage("en");
    BlockList en;
    ASSERT_TRUE(readSharedBlockList(
        english, writeTemporary("en-shared.txt", "rape\nshota\nlivesex\nbutt\n"), en));
    for (const char* form : {"rape", "rapes", "raped", "butts", "butting"})
        EXPECT_TRUE(en.blocks(form)) << form;
    for (const char* plain : {"grape", "rapeseed", "shot", "lives", "butter"})
        EXPECT_FALSE(en.blocks(plain)) << plain;
}

TEST(InflectedForms, SuffixRulesApplyWhereTheirConditionHolds) {
    std::string base = ::testing::TempDir() + "tiny";
    std::ofstream(base + ".aff") << "SET UTF-8\nFLAG long\n"
                                    "SFX Aa Y 3\n"
                                    "SFX Aa 0 s/Bb [^sx]\n"
                                    "SFX Aa er ons er\n"
                                    "SFX Aa 0 x s\n";
    std::ofstream(base + ".dic") << "3\nparler/Aa po:v\nmaison/Aa\nfils/Aa\ncasser\n";
    auto forms =
        inflectedForms(base, false, [](const std::string& stem) { return stem != "maison"; });
    EXPECT_EQ(forms["parlers"], "parler");
    EXPECT_EQ(forms["parlons"], "parler");
    EXPECT_EQ(forms["filsx"], "fils");
    EXPECT_EQ(forms.count("filss"), 0u) << "[^sx] excludes stems ending in s";
    EXPECT_EQ(forms.count("maisons"), 0u) << "stems that are not wanted give no forms";
    EXPECT_EQ(forms.count("cassons"), 0u) << "stems without flags give no forms";
    std::remove((base + ".aff").c_str());
    std::remove((base + ".dic").c_str());
}

TEST(RawSafe, NoQuoteBackslashOrControlByteReachesTheData) {
    EXPECT_EQ(rawSafe("a \"b\" c\\d\te"),
              "a \xE2\x80\x9D"
              "b\xE2\x80\x9D c/d e");
}

// Only a word whose every sense (WordNet: whose most used sense) is vulgar is marked so;
// two-letter words the word lists spell are words.
TEST(LevelWords, PlainWordsWithARudeSenseAreKeptAndNamesAreNot) {
    const Language& english = *findLanguage("en");
    std::vector<std::string> common = {"go",   "on",   "tie",  "unit", "rot", "crude",
                                       "reek", "bull", "slit", "paul", "de"};
    WordList list = readWords(english, Glossary(), BlockList(), common, {}, 12);
    Glossary glossary;
    describeFromWordNet(list.words, glossary);
    for (const char* word : {"go", "on", "tie", "unit", "rot", "crude", "reek", "bull", "slit"}) {
        EXPECT_TRUE(std::binary_search(list.words.begin(), list.words.end(), word)) << word;
        EXPECT_EQ(glossary.offensive.count(word), 0u)
            << word << ": " << glossary.descriptions[word];
    }
    Glossary rude;
    describeFromWordNet({"kike"}, rude);
    EXPECT_EQ(rude.offensive.count("kike"), 1u) << rude.descriptions["kike"];
    for (const auto& [word, why] : list.refused)
        EXPECT_TRUE(word.word == "paul" || word.word == "de") << word.word << ": " << why;
    EXPECT_EQ(list.refused.size(), 2u);
}

TEST(RawSafe, ItemsTheFontsCannotDrawAreLeftOut) {
    // A phonetic pronunciation and an arrow would show as '?'; typographic hyphens read as plain
    // ones.
    EXPECT_EQ(rawSafe("departure dep., /d\xCB\x88"
                      "e\xCB\x90p/, flight"),
              "departure dep., flight");
    EXPECT_EQ(rawSafe("good\xE2\x80\x90natured"), "good-natured");
    EXPECT_EQ(rawSafe("\xE2\x86\x92"), "");
}

}  // namespace

namespace {

TEST(Descriptions, WordNetGivesCommonSensesAndBaseForms) {
    Glossary glossary;
    describeFromWordNet({"mead", "cats", "walked"}, glossary);
    EXPECT_EQ(glossary.descriptions["mead"].find("anthropologist"), std::string::npos)
        << "a person's name is not what the word means: " << glossary.descriptions["mead"];
    EXPECT_NE(glossary.descriptions["mead"].find("honey"), std::string::npos)
        << glossary.descriptions["mead"];
    EXPECT_EQ(glossary.descriptions["cats"].rfind("(cat) ", 0), 0u)
        << glossary.descriptions["cats"];
    EXPECT_EQ(glossary.descriptions["walked"].rfind("(walk) ", 0), 0u)
        << glossary.descriptions["walked"];
}

TEST(Descriptions, BilingualDictionariesTranslateWordsAndTheirForms) {
    // A thesaurus in the language comes first; English glosses are labelled as translations.
    Glossary german = readGlossary(*findLanguage("de"));
    EXPECT_EQ(german.translated.count("haus"), 0u) << german.descriptions["haus"];
    EXPECT_FALSE(german.descriptions["haus"].empty());

    // "Tor" and "Nest" have a rude sense in some dictionary, not in all of theirs.
    for (const char* plain : {"tor", "nest", "nord"})
        EXPECT_EQ(german.offensive.count(plain), 0u) << plain;

    Glossary russian = readGlossary(*findLanguage("ru"));
    EXPECT_FALSE(russian.descriptions["дом"].empty());
    EXPECT_EQ(russian.translated.count("торт"), 0u)
        << "described by the other words of its sense: " << russian.descriptions["торт"];
    for (const char* plain : {"документы", "горы", "воду", "стоит", "значит"})
        EXPECT_EQ(russian.offensive.count(plain), 0u) << plain;
    for (const auto& [word, text] : russian.descriptions)
        if (russian.translated.count(word)) {
            EXPECT_NE(text.find("англ.: "), std::string::npos) << word << ": " << text;
        }
}

// Spanish rows type día as dia; the list, hint and word info show the word as Spanish spells it.
TEST(DisplaySpellings, MarkedWordsAreShownAsTheLanguageSpellsThem) {
    const Language& es = *findLanguage("es");
    const std::vector<std::string> written = {"día",  "sí",   "si",   "león", "casa",
                                              "más",  "mas",  "sólo", "solo", "pingüino",
                                              "amán", "esta", "está"};
    const std::set<std::string> words = {"dia",  "si",       "leon", "casa", "mas",
                                         "solo", "pinguino", "aman", "esta"};
    // Subtitles write dia for día; aman (they love) is a form the word list lacks.
    const std::vector<std::string> common = {"si",   "sí",   "más",  "día",  "mas",
                                             "solo", "esta", "está", "aman", "dia"};
    const std::map<std::string, std::string> expected = {
        {"dia", "día"},       {"si", "si / sí"},        {"leon", "león"},
        {"mas", "más / mas"}, {"pinguino", "pingüino"}, {"esta", "esta / está"}};
    EXPECT_EQ(displaySpellings(es, written, words, common), expected);
    // A spelling used far less often than the first is left out.
    std::vector<std::string> rare = {"se"};
    for (int i = 0; i < 30; ++i) rare.push_back("x" + std::to_string(i));
    rare.push_back("sé");
    EXPECT_TRUE(displaySpellings(es, {"se", "sé"}, {"se"}, rare).empty());
    rare.insert(rare.begin() + 2, "sé");
    EXPECT_EQ(displaySpellings(es, {"se", "sé"}, {"se"}, rare).at("se"), "se / sé");
    // The frequency list's spelling beats a word list's slip nobody writes.
    EXPECT_EQ(displaySpellings(es, {"segün"}, {"segun"}, {"según"}).at("segun"), "según");
    // Languages whose rows keep every mark need no second spelling.
    EXPECT_TRUE(displaySpellings(*findLanguage("pl"), {"miło"}, {"miło"}, {"miło"}).empty());
}

// Polish frequency lists hold names and words typed without their marks; a dictionary
// headword of the same spelling is a word in its own right and stays.
TEST(Junk, NamesAndWordsWithoutTheirMarksAreRefusedHeadwordsKept) {
    JunkEvidence evidence;
    evidence.headwords = {"wiedza", "piec", "oscar"};
    evidence.names = {"henry", "oscar", "lisa"};
    evidence.englishNames = {"henry", "oscar", "milo"};
    evidence.rank = {{"milo", 6863}, {"wiedza", 2000}, {"piec", 9000}, {"chwile", 730}};
    evidence.markedTwinRank = {{"milo", 364}, {"wiedza", 300}, {"piec", 500}, {"chwile", 100}};
    EXPECT_NE(junkReason("henry", evidence), nullptr);
    EXPECT_NE(junkReason("milo", evidence), nullptr);    // miło, 19 times as often
    EXPECT_EQ(junkReason("lisa", evidence), nullptr);    // not a name in English subtitles
    EXPECT_EQ(junkReason("chwile", evidence), nullptr);  // chwilę only 7 times as often
    for (const char* word : {"wiedza", "piec", "oscar"})
        EXPECT_EQ(junkReason(word, evidence), nullptr) << word;
    EXPECT_EQ(junkReason("milo", JunkEvidence()), nullptr);  // no dictionary, no rule

    WordList list;
    list.words = {"henry", "kot", "milo"};
    list.ranks = {945, 800, 6863};
    refuseJunk(list, evidence);
    EXPECT_EQ(list.words, std::vector<std::string>{"kot"});
    EXPECT_EQ(list.ranks, std::vector<unsigned>{800});
    ASSERT_EQ(list.refused.size(), 2u);
    EXPECT_EQ(list.refused[0].first.word, "henry");
}

}  // namespace
