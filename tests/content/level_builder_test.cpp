// The level builder's own logic: level words, folding, block lists, inflections.
#include "tools/levels/inflections.h"
#include "tools/levels/levels.h"
#include "tools/levels/words.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>
#include <fstream>
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
    std::vector<Level> levels =
        chooseLevels(findLanguage("en")->alphabet, words, std::vector<bool>(words.size(), true), rules);
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
            if (word.size() == level.row.size()) longest.push_back(word);
        EXPECT_FALSE(longest.empty()) << level.row;
        EXPECT_FALSE(spellsWord(level.row, longest)) << level.row;
    }
    // Same words, same rules: the same levels, byte for byte.
    std::vector<Level> again =
        chooseLevels(findLanguage("en")->alphabet, words, std::vector<bool>(words.size(), true), rules);
    for (size_t i = 0; i < levels.size(); ++i) EXPECT_EQ(again[i].row, levels[i].row);
}

TEST(ChooseLevels, RowsWithFewDescribedWordsArePassedOver) {
    std::vector<std::string> words = smallEnglishList();
    std::vector<bool> described(words.size());
    for (size_t i = 0; i < words.size(); ++i) described[i] = words[i].find('e') == std::string::npos;
    LevelRules rules;
    rules.levelCount = 10;
    rules.seedsPerLength = 100;
    rules.minDescribedShare = 1.0;
    for (const Level& level : chooseLevels(findLanguage("en")->alphabet, words, described, rules))
        for (const std::string& word : level.words) EXPECT_EQ(word.find('e'), std::string::npos) << level.row;
}

std::string folded(const char* code, const char* written) {
    CodePoints cps, out;
    decodeUtf8(written, cps);
    return foldWord(*findLanguage(code), cps, out) ? encodeUtf8(out) : "(refused)";
}

TEST(FoldWord, AccentsFoldWhereTheLanguageFoldsThem) {
    EXPECT_EQ(folded("fr", "été"), "ete");
    EXPECT_EQ(folded("fr", "cœur"), "coeur");
    EXPECT_EQ(folded("it", "perché"), "perche");
    EXPECT_EQ(folded("es", "año"), "año");
    EXPECT_EQ(folded("es", "canción"), "cancion");
    EXPECT_EQ(folded("de", "straße"), "strasse");
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
    EXPECT_FALSE(list.blocks("emmerde")); // only the stem's own start counts
    std::ofstream(path) << "smørrebrød\n";
    EXPECT_FALSE(readBlockList(*findLanguage("fr"), path, list)) << "a word that can never match is a typo";
    std::remove(path.c_str());
}

TEST(InflectedForms, SuffixRulesApplyWhereTheirConditionHolds) {
    std::string base = ::testing::TempDir() + "tiny";
    std::ofstream(base + ".aff") << "SET UTF-8\nFLAG long\n"
                                    "SFX Aa Y 3\n"
                                    "SFX Aa 0 s/Bb [^sx]\n"
                                    "SFX Aa er ons er\n"
                                    "SFX Aa 0 x s\n";
    std::ofstream(base + ".dic") << "3\nparler/Aa po:v\nmaison/Aa\nfils/Aa\ncasser\n";
    auto forms = inflectedForms(base, false, [](const std::string& stem) { return stem != "maison"; });
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
    EXPECT_EQ(rawSafe("a \"b\" c\\d\te"), "a \xE2\x80\x9D" "b\xE2\x80\x9D c/d e");
}

TEST(RawSafe, ItemsTheFontsCannotDrawAreLeftOut) {
    // A phonetic pronunciation and an arrow would show as '?'; typographic hyphens read as plain ones.
    EXPECT_EQ(rawSafe("departure dep., /d\xCB\x88e\xCB\x90p/, flight"), "departure dep., flight");
    EXPECT_EQ(rawSafe("good\xE2\x80\x90natured"), "good-natured");
    EXPECT_EQ(rawSafe("\xE2\x86\x92"), "");
}

} // namespace

namespace {

TEST(Descriptions, WordNetGivesCommonSensesAndBaseForms) {
    Glossary glossary;
    describeFromWordNet({"mead", "cats", "walked"}, glossary);
    EXPECT_EQ(glossary.descriptions["mead"].find("anthropologist"), std::string::npos)
        << "a person's name is not what the word means: " << glossary.descriptions["mead"];
    EXPECT_NE(glossary.descriptions["mead"].find("honey"), std::string::npos) << glossary.descriptions["mead"];
    EXPECT_EQ(glossary.descriptions["cats"].rfind("(cat) ", 0), 0u) << glossary.descriptions["cats"];
    EXPECT_EQ(glossary.descriptions["walked"].rfind("(walk) ", 0), 0u) << glossary.descriptions["walked"];
}

TEST(Descriptions, BilingualDictionariesTranslateWordsAndTheirForms) {
    Glossary french = readGlossary(*findLanguage("fr"));
    EXPECT_EQ(french.descriptions["ete"].rfind("été: ", 0), 0u) << french.descriptions["ete"];
    EXPECT_NE(french.descriptions["ete"].find("summer"), std::string::npos);
    EXPECT_NE(french.descriptions["maisons"].find("house"), std::string::npos) << french.descriptions["maisons"];

    Glossary russian = readGlossary(*findLanguage("ru"));
    EXPECT_NE(russian.descriptions["дом"].find("house"), std::string::npos) << russian.descriptions["дом"];
}

} // namespace
