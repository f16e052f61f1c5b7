// Texts from the language data with numbers and names filled in.
#include <gtest/gtest.h>

#include <cstring>

#include "ui/format.h"

TEST(FormatText, FillsConversionsInOrder) {
    char out[64];
    EXPECT_STREQ(formatText(out, sizeof out, "%s: %d%% found", {"acts", 35}), "acts: 35% found");
    EXPECT_STREQ(formatText(out, sizeof out, "%d%% of the %d-letter words", {33, 4}),
                 "33% of the 4-letter words");
    EXPECT_STREQ(formatText(out, sizeof out, "%d%%", {-7}), "-7%");
}

TEST(FormatText, UnexpectedConversionsAreCopiedNotFollowed) {
    char out[64];
    // Too few arguments, unknown conversions, and a lone % at the end.
    EXPECT_STREQ(formatText(out, sizeof out, "%s %s %n %x %", {"one"}), "one %s %n %x %");
    EXPECT_STREQ(formatText(out, sizeof out, nullptr, {1}), "");
    EXPECT_STREQ(formatText(out, sizeof out, "(NULL)", {"a", 1}), "(NULL)");
    // A number where a text is expected shows as the number.
    EXPECT_STREQ(formatText(out, sizeof out, "%s", {12}), "12");
}

TEST(FormatText, CutsLongTextsAtACharacterBoundary) {
    char out[8];
    EXPECT_STREQ(formatText(out, sizeof out, "abcdefghijk", {}), "abcdefg");
    // Seven bytes fit: "ab" and two two-byte letters, the third would be split.
    EXPECT_STREQ(formatText(out, sizeof out, "ab\xd0\xb0\xd0\xb1\xd0\xb2", {}),
                 "ab\xd0\xb0\xd0\xb1");
    EXPECT_STREQ(formatText(out, sizeof out, "%s!", {"\xd0\xb0\xd0\xb1\xd0\xb2\xd0\xb3"}),
                 "\xd0\xb0\xd0\xb1\xd0\xb2");
    char tiny[1];
    EXPECT_STREQ(formatText(tiny, sizeof tiny, "abc", {}), "");
}
