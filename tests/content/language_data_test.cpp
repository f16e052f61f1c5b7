// The built language data, read with the game's own reader: what the game and the
// player rely on in every language.
#include "core/tray.h"
#include "gfx/font.h"
#include "platform/steam_wq.h"
#include "store/keystore.h"
#include "tools/levels/folding.h"
#include "tools/levels/frequency_list.h"
#include "tools/levels/inflections.h"
#include "tools/levels/safe_text.h"
#include "tools/levels/utf8.h"
#include "tools/levels/word_selection.h"
#include "tools/levels/word_tables.h"
#include <gtest/gtest.h>
#define STBTT_STATIC
#define STB_TRUETYPE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb/stb_truetype.h>
#pragma GCC diagnostic pop
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <unordered_set>

namespace {

const std::string dataDir = WG_DATA_DIR;

struct Language {
    std::string code;  // its "save" name
    std::string file;  // the "data" name of its "lang" entry, <language code>.dat
    std::string builderCode() const { return file.substr(0, file.find('.')); }
};

KeyStore* config() {
    static KeyStore* store = loadKeyStore((dataDir + "/game.dat").c_str());
    return store;
}

std::vector<Language> languages() {
    std::vector<Language> all;
    for (int i = 0; i < countLanguages(config()); ++i) {
        const char* file = getLangString(config(), i, "data");
        const char* save = getLangString(config(), i, "save");
        all.push_back({save ? save : "?", file ? file : "?"});
    }
    return all;
}

const KeyNode* section(const KeyStore* store, const char* name) {
    return findNode(store->root, {name});
}

CodePoints letters(const char* text) {
    CodePoints cps;
    EXPECT_TRUE(decodeUtf8(text, cps)) << text;
    return cps;
}

// A word in the row's letters: the data's "fold" section names the letters a row writes plainly
// (ё as е) while its words keep them.
std::string plainWord(const KeyStore* store, const char* word) {
    CodePoints plain;
    for (char32_t cp : letters(word)) {
        const char* folded = getSectionString(store, "fold", encodeUtf8(CodePoints(1, cp)).c_str());
        plain += folded ? letters(folded) : CodePoints(1, cp);
    }
    return encodeUtf8(plain);
}

// Every key the game watches that has a one-byte name on a US layout.
const std::string watchedKeys = "abcdefghijklmnopqrstuvwxyz0123456789[];',.`/\\";

class LanguageData : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        ASSERT_NE(config(), nullptr) << "the configuration data/game.dat does not load";
        ASSERT_LT(GetParam(), int(languages().size()));
        language = languages()[GetParam()];
        store = loadKeyStore((dataDir + "/" + language.file).c_str());
        ASSERT_NE(store, nullptr) << language.file << " does not parse";
        game = section(store, "game");
        ASSERT_NE(game, nullptr);
        ASSERT_EQ(game->type, NODE_OBJECT);
    }
    void TearDown() override { freeKeyStore(store); }

    Language language;
    KeyStore* store = nullptr;
    const KeyNode* game = nullptr;
};

TEST(LanguageList, EightLanguagesEachWithItsOwnFiles) {
    ASSERT_NE(config(), nullptr);
    std::set<std::string> files, saves;
    for (int i = 0; i < countLanguages(config()); ++i) {
        files.insert(getLangString(config(), i, "data"));
        saves.insert(getLangString(config(), i, "save"));
    }
    EXPECT_EQ(countLanguages(config()), 8);
    EXPECT_EQ(files.size(), 8u);
    EXPECT_EQ(saves.size(), 8u);
}

// At the first start the game picks the language whose long name the storefront gives for the
// user's locale; a language the storefront cannot name could never be picked that way.
TEST(LanguageList, EachLanguageIsPickedByItsLocale) {
    ASSERT_NE(config(), nullptr);
    const char* before = std::getenv("LC_ALL");
    std::string saved = before ? before : "";
    for (int i = 0; i < countLanguages(config()); ++i) {
        std::string code = languages()[i].builderCode();
        setenv("LC_ALL", (code + "_XX.UTF-8").c_str(), 1);
        EXPECT_STREQ(GetCurrentLanguageWq(), getLangString(config(), i, "long")) << code;
    }
    if (before)
        setenv("LC_ALL", saved.c_str(), 1);
    else
        unsetenv("LC_ALL");
}

// A level's save file is named after its row alone: a row shared by two languages
// would mix their found words.
TEST(LanguageList, NoRowIsSharedBetweenLanguages) {
    ASSERT_NE(config(), nullptr);
    std::map<std::string, std::string> owner;
    for (const Language& language : languages()) {
        KeyStore* store = loadKeyStore((dataDir + "/" + language.file).c_str());
        ASSERT_NE(store, nullptr) << language.file;
        const KeyNode* game = section(store, "game");
        ASSERT_NE(game, nullptr) << language.file;
        for (size_t i = 0; i < game->childCount; ++i) {
            auto [it, isNew] = owner.emplace(nodeChild(game, i)->key, language.file);
            EXPECT_TRUE(isNew) << nodeChild(game, i)->key << " in " << it->second << " and "
                               << language.file;
        }
        freeKeyStore(store);
    }
}

TEST_P(LanguageData, RowsAreWithinTheTrayAndDistinct) {
    EXPECT_GE(game->childCount, 400u) << "every level achievement up to lvl350 must be reachable";
    std::set<std::string> rows;
    for (size_t i = 0; i < game->childCount; ++i) {
        const char* row = nodeChild(game, i)->key;
        ASSERT_NE(row, nullptr);
        EXPECT_LE(std::strlen(row), 59u) << row;
        EXPECT_LE(letters(row).size(), 30u) << row;
        EXPECT_TRUE(rows.insert(row).second) << "row " << row << " is used twice";
    }
}

TEST_P(LanguageData, EveryLevelWordIsBuiltFromItsRow) {
    for (size_t i = 0; i < game->childCount; ++i) {
        const KeyNode* level = nodeChild(game, i);
        ASSERT_EQ(level->type, NODE_ARRAY) << level->key;
        EXPECT_GE(level->childCount, 6u) << level->key;
        EXPECT_LE(level->childCount, 80u) << level->key;
        CodePoints row = letters(level->key);
        std::sort(row.begin(), row.end());
        std::set<std::string> seen;
        size_t longest = 0;
        for (size_t k = 0; k < level->childCount; ++k) {
            const KeyNode* word = nodeChild(level, k);
            ASSERT_EQ(word->type, NODE_DQUOTE);
            CodePoints cps = letters(plainWord(store, nodeText(word)).c_str());
            EXPECT_GE(cps.size(), 2u) << nodeText(word);
            longest = std::max(longest, cps.size());
            std::sort(cps.begin(), cps.end());
            EXPECT_TRUE(std::includes(row.begin(), row.end(), cps.begin(), cps.end()))
                << nodeText(word) << " is not built from " << level->key;
            EXPECT_TRUE(seen.insert(nodeText(word)).second)
                << nodeText(word) << " twice in " << level->key;
        }
        // The row is shuffled: none of its longest words can be read off it.
        for (size_t k = 0; k < level->childCount; ++k) {
            if (letters(nodeText(nodeChild(level, k))).size() == longest) {
                EXPECT_EQ(std::strstr(level->key,
                                      plainWord(store, nodeText(nodeChild(level, k))).c_str()),
                          nullptr)
                    << level->key;
            }
        }
    }
}

// The player's way in: every word typed key by key on a US keyboard, through the
// language's charmap, into the game's own letter tray.
TEST_P(LanguageData, EveryWordCanBeTypedIntoTheTray) {
    std::map<std::string, std::string> keyFor;  // letter -> the character its key types
    for (char key : watchedKeys) {
        char name[2] = {key, 0};
        const char* mapped = getSectionString(store, "charmap", name);
        keyFor.emplace(mapped ? mapped : name, mapped ? mapped : name);
    }
    static LetterTray tray;
    for (size_t i = 0; i < game->childCount; ++i) {
        const KeyNode* level = nodeChild(game, i);
        ASSERT_EQ(rowFitsTray(level->key), 1) << level->key;
        // A row letter no word needs still shows in the tray, and a player tries it.
        for (char32_t cp : letters(level->key))
            EXPECT_EQ(keyFor.count(encodeUtf8(CodePoints(1, cp))), 1u)
                << "no key types a letter of the row " << level->key;
        setLevelLetters(&tray, level->key);
        for (size_t k = 0; k < level->childCount; ++k) {
            clearTypedWord(&tray);
            std::string plain = plainWord(store, nodeText(nodeChild(level, k)));
            for (char32_t cp : letters(plain.c_str())) {
                auto key = keyFor.find(encodeUtf8(CodePoints(1, cp)));
                ASSERT_NE(key, keyFor.end())
                    << "no key types a letter of " << nodeText(nodeChild(level, k));
                EXPECT_EQ(typeCharacter(&tray, key->second.c_str()), 1)
                    << nodeText(nodeChild(level, k));
            }
            EXPECT_STREQ(typedWord(&tray), plain.c_str()) << level->key;
        }
    }
}

// Every tile of a row is a letter some word needs, as often as the row holds it; a level is
// never another level again, in full or mostly: neighbours share at most half their words.
TEST_P(LanguageData, NoDeadLettersNoTwinsAndNeighboursMostlyNew) {
    std::map<std::vector<std::string>, std::string> wordSets;
    std::vector<std::string> previous;
    for (size_t i = 0; i < game->childCount; ++i) {
        const KeyNode* level = nodeChild(game, i);
        std::map<char32_t, size_t> needed;
        std::vector<std::string> words;
        for (size_t k = 0; k < level->childCount; ++k) {
            std::string word = plainWord(store, nodeText(nodeChild(level, k)));
            words.push_back(word);
            std::map<char32_t, size_t> counts;
            for (char32_t cp : letters(word.c_str())) counts[cp]++;
            for (auto [cp, n] : counts) needed[cp] = std::max(needed[cp], n);
        }
        std::map<char32_t, size_t> row;
        for (char32_t cp : letters(level->key)) row[cp]++;
        EXPECT_EQ(row, needed) << "a letter of " << level->key << " is in none of its words";

        std::sort(words.begin(), words.end());
        auto [twin, isNew] = wordSets.emplace(words, level->key);
        EXPECT_TRUE(isNew) << level->key << " has the words of " << twin->second;
        std::vector<std::string> shared;
        std::set_intersection(words.begin(), words.end(), previous.begin(), previous.end(),
                              std::back_inserter(shared));
        if (i > 0) {
            EXPECT_LE(shared.size() * 2, std::min(words.size(), previous.size()))
                << "level " << i + 1 << " " << level->key << " repeats the level before";
        }
        previous = words;
    }
}

TEST_P(LanguageData, StatisticsMatchTheLevels) {
    long words = 0, presses = 0;
    for (size_t i = 0; i < game->childCount; ++i) {
        words += nodeChild(game, i)->childCount;
        for (size_t k = 0; k < nodeChild(game, i)->childCount; ++k)
            presses += letters(nodeText(nodeChild(nodeChild(game, i), k))).size();
    }
    EXPECT_EQ(getSectionInt(store, "stat", "levelsCount"), int(game->childCount));
    EXPECT_EQ(getSectionInt(store, "stat", "usedWords"), words);
    EXPECT_EQ(getSectionInt(store, "stat", "pressCount"), presses);
}

TEST_P(LanguageData, RowsGrowLongerTowardsTheEnd) {
    auto averageLength = [&](size_t from, size_t to) {
        double sum = 0;
        for (size_t i = from; i < to; ++i) sum += letters(nodeChild(game, i)->key).size();
        return sum / (to - from);
    };
    size_t n = game->childCount;
    ASSERT_GE(n, 300u);
    EXPECT_LT(averageLength(0, 100), averageLength(n / 2 - 50, n / 2 + 50));
    EXPECT_LT(averageLength(n / 2 - 50, n / 2 + 50), averageLength(n - 100, n));
}

TEST_P(LanguageData, DescriptionsBelongToLevelWords) {
    std::set<std::string> words;
    for (size_t i = 0; i < game->childCount; ++i)
        for (size_t k = 0; k < nodeChild(game, i)->childCount; ++k)
            words.insert(nodeText(nodeChild(nodeChild(game, i), k)));
    const KeyNode* descr = section(store, "descr");
    ASSERT_NE(descr, nullptr);
    for (size_t i = 0; i < descr->childCount; ++i) {
        EXPECT_TRUE(words.count(nodeChild(descr, i)->key)) << nodeChild(descr, i)->key;
        EXPECT_NE(nodeText(nodeChild(descr, i))[0], 0) << nodeChild(descr, i)->key;
    }
}

// Each spelling shown for a level word folds to that word, so the word typed as the row spells
// it is the one the player reads; Spanish shows its everyday accents.
TEST_P(LanguageData, ShownSpellingsAreThoseOfTheirLevelWords) {
    const ::Language* builder = findLanguage(language.builderCode());
    ASSERT_NE(builder, nullptr);
    std::set<std::string> words;
    for (size_t i = 0; i < game->childCount; ++i)
        for (size_t k = 0; k < nodeChild(game, i)->childCount; ++k)
            words.insert(nodeText(nodeChild(nodeChild(game, i), k)));
    const KeyNode* spelled = section(store, "spelled");
    ASSERT_NE(spelled, nullptr);
    CodePoints folded;
    for (size_t i = 0; i < spelled->childCount; ++i) {
        const std::string word = nodeChild(spelled, i)->key, text = nodeText(nodeChild(spelled, i));
        EXPECT_TRUE(words.count(word)) << word;
        for (size_t start = 0, end; start <= text.size(); start = end + 3) {
            end = std::min(text.find(" / ", start), text.size());
            EXPECT_TRUE(
                foldWord(*builder, letters(text.substr(start, end - start).c_str()), folded))
                << text;
            EXPECT_EQ(encodeUtf8(folded), word) << text;
        }
    }
    if (builder->folds.empty()) {
        EXPECT_EQ(spelled->childCount, 0u) << "its rows drop no mark";
    }
    // The spellings a native reader chose hold (a key shown as it is has no entry).
    for (const auto& [word, text] : readWordTable(std::string(WG_SOURCE_DIR) + "/content/words/" +
                                                  language.builderCode() + ".spellings")) {
        if (!words.count(word)) continue;
        const char* shown = getSectionString(store, "spelled", word.c_str());
        EXPECT_STREQ(shown ? shown : word.c_str(), text.c_str()) << word;
    }
    if (language.builderCode() != "es") return;
    const std::map<std::string, std::string> everyday = {
        {"dia", "día"}, {"aqui", "aquí"}, {"tambien", "también"}, {"despues", "después"}};
    for (const auto& [word, text] : everyday) {
        if (!words.count(word)) continue;
        EXPECT_STREQ(getSectionString(store, "spelled", word.c_str()), text.c_str());
    }
}

// The reader decodes no escapes, so a backslash in a text would show on screen.
TEST_P(LanguageData, EveryTextTheScreensAskForIsThereAndRaw) {
    std::vector<std::string> keys = {
        "NewGame",         "Continue",       "Options",       "About",           "Exit",
        "AboutText",       "backButton",     "prefTheme",     "prefVolume",      "prefLang",
        "levelProperty",   "mainMenuHint",   "statNameHint",  "helpEnabledHint", "helpDisabledHint",
        "removeCharHint",  "removeWordHint", "sTitle",        "sLenth",          "sFound",
        "statHint",        "passedPerc",     "timeInGame",    "totalWords",      "foundWords",
        "totalPressCount", "pressCount",     "storyNext",     "saveDiskFull",    "saveReadOnly",
        "saveDenied",      "saveDiskError",  "prefWordEntry", "wordEntryTyped",  "wordEntryEnter",
        "AboutWordEntry",  "bonusWords",     "bonusFound"};
    const KeyNode* story = section(config(), "story");
    for (size_t c = 0; story && c < story->childCount; ++c)
        for (size_t p = 0; p < nodeChild(story, c)->childCount; ++p) {
            const KeyNode* text = findNode(nodeChild(nodeChild(story, c), p), {"text"});
            if (text && nodeText(text)) keys.push_back(nodeText(text));
        }
    for (const std::string& key : keys) {
        const char* text = getSectionString(store, "localization", key.c_str());
        ASSERT_NE(text, nullptr) << key << " is missing";
        EXPECT_EQ(std::strchr(text, '\\'), nullptr) << key << ": " << text;
    }
}

bool drawable(uint32_t cp) {
    if (cp == '\n') return true;
    for (const uint16_t* range = gameGlyphRanges; range[0] != 0; range += 2)
        if (cp >= range[0] && cp <= range[1]) return true;
    return false;
}

// A character outside the fonts' baked ranges shows as '?' on screen.
void expectDrawable(const KeyNode* node, const std::string& where, std::set<uint32_t>& used) {
    if (!node) return;
    if (nodeText(node)) {
        CodePoints cps = letters(nodeText(node));
        for (uint32_t cp : cps)
            if (!drawable(cp)) {
                ADD_FAILURE() << where << " " << (node->key ? node->key : "") << ": U+" << std::hex
                              << cp << " in " << nodeText(node);
                return;
            }
        used.insert(cps.begin(), cps.end());
    }
    for (size_t i = 0; i < node->childCount; ++i) expectDrawable(nodeChild(node, i), where, used);
}

// A code point in the ranges that the font file lacks is baked as the font's empty box.
void expectGlyphs(const char* fontKey, const std::set<uint32_t>& used) {
    const char* name = getString(config(), fontKey);
    ASSERT_NE(name, nullptr) << fontKey;
    std::ifstream in(dataDir + "/font/" + name, std::ios::binary);
    std::vector<unsigned char> font((std::istreambuf_iterator<char>(in)), {});
    stbtt_fontinfo info;
    ASSERT_TRUE(!font.empty() &&
                stbtt_InitFont(&info, font.data(), stbtt_GetFontOffsetForIndex(font.data(), 0)))
        << name;
    for (uint32_t cp : used) {
        if (cp == '\n') continue;
        EXPECT_NE(stbtt_FindGlyphIndex(&info, (int)cp), 0)
            << name << " has no glyph for U+" << std::hex << cp;
    }
}

TEST_P(LanguageData, EveryTextIsDrawnWithTheGameFonts) {
    std::set<uint32_t> used;
    for (const char* name : {"localization", "charmap", "game", "descr", "spelled"})
        expectDrawable(section(store, name), name, used);
    expectDrawable(section(config(), "lang"), "lang", used);
    expectGlyphs("smallFont", used);
    expectGlyphs("font", used);
}

INSTANTIATE_TEST_SUITE_P(AllLanguages, LanguageData, ::testing::Range(0, int(languages().size())),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return languages()[info.param].builderCode();
                         });

}  // namespace

namespace {

// No level word is blocked by our own list or the shared one, in any of its forms.
TEST_P(LanguageData, NoLevelWordIsBlocked) {
    std::string code = language.builderCode();
    const ::Language* builder = findLanguage(code);
    ASSERT_NE(builder, nullptr) << language.file;
    BlockList blocked;
    ASSERT_TRUE(readBlockList(
        *builder, std::string(WG_SOURCE_DIR) + "/content/words/" + code + ".txt", blocked));
    ASSERT_TRUE(readSharedBlockList(*builder, std::string(WG_WORD_DATA_DIR) + "/" + code + ".block",
                                    blocked));
    for (size_t i = 0; i < game->childCount; ++i)
        for (size_t k = 0; k < nodeChild(game, i)->childCount; ++k)
            EXPECT_FALSE(
                blocked.blocks(plainWord(store, nodeText(nodeChild(nodeChild(game, i), k)))))
                << nodeText(nodeChild(nodeChild(game, i), k));
}

// Where players look most (levels 1 to 100, and every word of one to three letters) the
// description is our own, and none of ours is lost to a character the fonts cannot draw.
TEST_P(LanguageData, FirstLevelsAndShortWordsShowOurOwnDescriptions) {
    std::map<std::string, std::string> own = readWordTable(
        std::string(WG_SOURCE_DIR) + "/content/words/" + language.builderCode() + ".glosses");
    for (auto& [word, text] : own) {
        text = rawSafe(text);
        EXPECT_FALSE(text.empty()) << word;
    }
    size_t checked = 0;
    for (size_t i = 0; i < game->childCount; ++i)
        for (size_t k = 0; k < nodeChild(game, i)->childCount; ++k) {
            const char* word = nodeText(nodeChild(nodeChild(game, i), k));
            if (i >= 100 && letters(word).size() > 3) continue;
            const char* text = getSectionString(store, "descr", word);
            auto ours = own.find(plainWord(store, word));
            if (ours == own.end()) {
                ADD_FAILURE() << word << " (level " << i + 1 << ") has no description of ours";
                continue;
            }
            EXPECT_STREQ(text, ours->second.c_str()) << word;
            ++checked;
        }
    EXPECT_GT(checked, 1000u);
}

struct Taken {
    size_t built = 0;   // times a row builds a word of the list
    size_t listed = 0;  // of them, times the level lists it
};

// Every word of a reader's list (content/words/<code><extension>) is taken on every row that
// builds it: in the level's own list or among its bonus words.
Taken takenWhereBuilt(const Language& language, const KeyStore* store, const KeyNode* game,
                      const char* extension) {
    Taken taken;
    const ::Language* builder = findLanguage(language.builderCode());
    EXPECT_NE(builder, nullptr) << language.file;
    if (!builder) return taken;
    std::vector<std::string> listed;
    for (const auto& [word, written] :
         readWrittenWords(*builder, std::string(WG_SOURCE_DIR) + "/content/words/" +
                                        language.builderCode() + extension))
        listed.push_back(plainWord(store, word.c_str()));
    const KeyNode* bonus = section(store, "bonus");
    EXPECT_NE(bonus, nullptr);
    for (size_t i = 0; bonus && i < game->childCount; ++i) {
        const KeyNode* level = nodeChild(game, i);
        CodePoints row = letters(level->key);
        std::sort(row.begin(), row.end());
        std::set<std::string> own, bonusWords;
        for (size_t k = 0; k < level->childCount; ++k)
            own.insert(plainWord(store, nodeText(nodeChild(level, k))));
        const KeyNode* others = nodeMember(bonus, level->key);
        for (size_t k = 0; others && k < others->childCount; ++k)
            bonusWords.insert(plainWord(store, nodeText(nodeChild(others, k))));
        for (const std::string& word : listed) {
            CodePoints needed = letters(word.c_str());
            std::sort(needed.begin(), needed.end());
            if (!std::includes(row.begin(), row.end(), needed.begin(), needed.end())) continue;
            EXPECT_TRUE(own.count(word) || bonusWords.count(word)) << word << " on level " << i + 1;
            ++taken.built;
            taken.listed += own.count(word);
        }
    }
    return taken;
}

// The everyday words native readers chose are level words wherever a row builds them and the
// level has room (nearly always); those they found missing from the dictionaries are taken
// there at least as bonus words.
TEST_P(LanguageData, EverydayWordsAreTakenWhereARowBuildsThem) {
    Taken everyday = takenWhereBuilt(language, store, game, ".everyday");
    EXPECT_GE(everyday.listed * 10, everyday.built * 9)
        << everyday.listed << " of " << everyday.built << " listed";
    Taken more = takenWhereBuilt(language, store, game, ".more");
    EXPECT_GT(everyday.built + more.built, 0u) << "no reader's word is built by any row";
}

// Each row's bonus words are real words it builds that its level does not list, never blocked.
TEST_P(LanguageData, BonusWordsAreOtherWordsOfTheRowAndNoneIsBlocked) {
    const ::Language* builder = findLanguage(language.builderCode());
    ASSERT_NE(builder, nullptr) << language.file;
    BlockList blocked;
    ASSERT_TRUE(readBlockList(
        *builder, std::string(WG_SOURCE_DIR) + "/content/words/" + language.builderCode() + ".txt",
        blocked));
    ASSERT_TRUE(readSharedBlockList(
        *builder, std::string(WG_WORD_DATA_DIR) + "/" + language.builderCode() + ".block",
        blocked));
    const KeyNode* bonus = section(store, "bonus");
    ASSERT_NE(bonus, nullptr);
    size_t total = 0;
    for (size_t i = 0; i < game->childCount; ++i) {
        const KeyNode* level = nodeChild(game, i);
        const KeyNode* others = nodeMember(bonus, level->key);
        ASSERT_NE(others, nullptr) << level->key;
        std::set<std::string> levelWords;
        for (size_t k = 0; k < level->childCount; ++k)
            levelWords.insert(plainWord(store, nodeText(nodeChild(level, k))));
        CodePoints row = letters(level->key);
        std::sort(row.begin(), row.end());
        for (size_t k = 0; k < others->childCount; ++k) {
            std::string word = nodeText(nodeChild(others, k));
            CodePoints cps = letters(word.c_str());
            std::sort(cps.begin(), cps.end());
            EXPECT_TRUE(cps.size() >= 2 &&
                        std::includes(row.begin(), row.end(), cps.begin(), cps.end()))
                << word << " is not built from " << level->key;
            EXPECT_FALSE(levelWords.count(word)) << word << " is a word of " << level->key;
            EXPECT_FALSE(blocked.blocks(word)) << word;
        }
        total += others->childCount;
    }
    EXPECT_GT(total, game->childCount) << "hardly any bonus words";
}

// The first levels teach the game with short rows and a handful of words (a few more where
// the row builds everyday words); later the word count grows without sudden jumps: neighbours
// differ by at most about a third, also where the row grows longer.
TEST_P(LanguageData, TheCurveStartsGentlyAndHasNoJumps) {
    size_t jumps = 0;
    for (size_t i = 0; i < game->childCount; ++i) {
        size_t count = nodeChild(game, i)->childCount;
        if (i < 30) {
            EXPECT_LE(letters(nodeChild(game, i)->key).size(), 6u) << nodeChild(game, i)->key;
            EXPECT_LE(count, 26u) << nodeChild(game, i)->key;
        }
        if (i > 0) {
            size_t previous = nodeChild(game, i - 1)->childCount;
            size_t larger = std::max(count, previous), change = larger - std::min(count, previous);
            if (change * 3 > larger && i > 30) ++jumps;
            EXPECT_LE(change * 2, larger) << "level " << i + 1 << " " << nodeChild(game, i)->key;
        }
    }
    EXPECT_LE(jumps, game->childCount / 100) << "word counts of neighbouring levels jump too often";
}

// Russian and Ukrainian players read descriptions in Cyrillic; an English gloss says it is one.
TEST_P(LanguageData, CyrillicDescriptionsOrLabelledTranslations) {
    if (language.builderCode() != "ru" && language.builderCode() != "uk") GTEST_SKIP();
    const KeyNode* descr = section(store, "descr");
    ASSERT_NE(descr, nullptr);
    for (size_t i = 0; i < descr->childCount; ++i) {
        std::string text = nodeText(nodeChild(descr, i));
        if (text.find("англ.: ") != std::string::npos) continue;
        CodePoints cps = letters(text.c_str());
        bool cyrillic = std::any_of(cps.begin(), cps.end(),
                                    [](char32_t cp) { return cp >= 0x400 && cp <= 0x4FF; });
        bool latin = std::any_of(cps.begin(), cps.end(), [](char32_t cp) {
            return cp < 0x80 && std::isalpha(static_cast<int>(cp));
        });
        EXPECT_TRUE(cyrillic && !latin) << nodeChild(descr, i)->key << ": " << text;
    }
}

// What the installed word lists and hunspell dictionaries write for each folded word.
struct Markings {
    std::unordered_set<std::string> lowerCase;
    std::unordered_set<std::string> capitalised;    // a name, or a German noun
    std::unordered_set<std::string> abbreviations;  // written with a dot or in capitals only
};

void mark(const ::Language& language, const std::string& entry, Markings& markings) {
    CodePoints written, lower, folded;
    if (!decodeUtf8(entry, written) || written.size() < 2) return;
    bool dot = false;
    size_t capitals = 0;
    for (char32_t cp : written) {
        if (cp == '.') {
            dot = true;
            continue;
        }
        capitals += lowerLetter(cp) != cp;
        lower += lowerLetter(cp);
    }
    if (!foldWord(language, lower, folded)) return;
    std::string key = encodeUtf8(folded);
    if (dot || (capitals == lower.size() && capitals > 1))
        markings.abbreviations.insert(key);
    else if (capitals > 0)
        markings.capitalised.insert(key);
    else
        markings.lowerCase.insert(key);
}

// Every entry of the word lists and of the hunspell dictionaries, and the hunspell forms
// of those whose beginning some level word shares: a name's forms are names too.
Markings readMarkings(const ::Language& language, const std::set<std::string>& levelWords) {
    Markings markings;
    std::unordered_set<std::string> beginnings;
    for (const std::string& word : levelWords)
        beginnings.insert(encodeUtf8(letters(word.c_str()).substr(0, 3)));
    std::vector<std::string> hunspell;
    for (const std::string& base : {language.formsOf, language.inflections})
        if (!base.empty() && std::find(hunspell.begin(), hunspell.end(), base) == hunspell.end())
            hunspell.push_back(base);
    std::vector<std::pair<std::string, bool>> files;  // path, written in ISO 8859-2
    for (const std::string& path : language.wordLists) files.emplace_back(path, false);
    for (const std::string& base : hunspell) files.emplace_back(base + ".dic", language.latin2);
    for (const auto& [path, latin2] : files) {
        std::ifstream in(path, std::ios::binary);
        EXPECT_TRUE(in) << path;
        Markings file;
        for (std::string line; std::getline(in, line);) {
            line = line.substr(0, line.find('/'));
            line = line.substr(0, line.find_last_not_of(" \t\r") + 1);
            mark(language, latin2 ? fromLatin2(line) : line, file);
        }
        // A list written wholly in lower case (French, Spanish) writes names so too: it
        // says nothing about case.
        if (file.capitalised.empty() && file.abbreviations.empty()) continue;
        markings.lowerCase.insert(file.lowerCase.begin(), file.lowerCase.end());
        markings.capitalised.insert(file.capitalised.begin(), file.capitalised.end());
        markings.abbreviations.insert(file.abbreviations.begin(), file.abbreviations.end());
    }
    auto sharesBeginning = [&](const std::string& stem) {
        CodePoints cps, folded;
        if (!decodeUtf8(stem, cps)) return false;
        for (char32_t& cp : cps) cp = lowerLetter(cp);
        return foldWord(language, cps, folded) && beginnings.count(encodeUtf8(folded.substr(0, 3)));
    };
    for (const std::string& base : hunspell)
        for (const auto& form : inflectedForms(base, language.latin2, sharesBeginning))
            mark(language, form.first, markings);
    return markings;
}

// Level words are words the dictionaries spell, and never a name or an abbreviation.
// The gate is the builder's own, read afresh from the installed dictionaries; the
// markers are read here straight from the word lists and hunspell dictionaries, so a
// builder that let names or abbreviations through would show. German nouns are written
// with a capital: there a capitalised entry is a name unless the German-English
// dictionary gives it a gender.
TEST_P(LanguageData, EveryLevelWordIsSpelledByTheDictionariesAndNoneIsANameOrAbbreviation) {
    std::string code = language.builderCode();
    const ::Language* builder = findLanguage(code);
    ASSERT_NE(builder, nullptr) << language.file;
    std::set<std::string> words;
    size_t longestRow = 0;
    for (size_t i = 0; i < game->childCount; ++i) {
        longestRow = std::max(longestRow, letters(nodeChild(game, i)->key).size());
        for (size_t k = 0; k < nodeChild(game, i)->childCount; ++k)
            words.insert(plainWord(store, nodeText(nodeChild(nodeChild(game, i), k))));
    }
    std::string wordData = WG_WORD_DATA_DIR;
    std::vector<std::string> common =
        readFrequencyList(wordData + "/" + code + ".freq", maxWordRank);
    ASSERT_FALSE(common.empty()) << "no frequency list in " << wordData;
    std::vector<std::string> unplaced =
        addRankedBeside(std::string(WG_SOURCE_DIR) + "/content/words/" + code + ".ranked", common);
    EXPECT_TRUE(unplaced.empty()) << unplaced[0] << " is ranked beside a word the list lacks";
    Glossary glossary = readGlossary(*builder, common, wordData);
    std::unordered_set<std::string> spelled = spelledWords(*builder, glossary, common, longestRow);
    // The everyday words native readers chose: the builder takes only those the dictionaries
    // spell, since its gate ranks words by a list too short to hold them. The readers judged
    // them words, not names (Spanish nieva, it snows, beside the town Nieva).
    std::set<std::string> everyday;
    for (const auto& [word, written] : readWrittenWords(
             *builder, std::string(WG_SOURCE_DIR) + "/content/words/" + code + ".everyday")) {
        spelled.insert(word);
        everyday.insert(word);
    }
    Markings markings = readMarkings(*builder, words);
    for (const std::string& word : words) {
        EXPECT_TRUE(spelled.count(word)) << word << " is not spelled so in the dictionaries";
        if (markings.lowerCase.count(word) || everyday.count(word)) continue;
        EXPECT_FALSE(markings.abbreviations.count(word)) << word << " is an abbreviation";
        EXPECT_FALSE(markings.capitalised.count(word) &&
                     !(builder->capitalNouns && glossary.nouns.count(word)))
            << word << " is a name";
    }
}

}  // namespace
