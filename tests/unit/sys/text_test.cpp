#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "sys/text.h"

using Words = std::vector<std::string_view>;

TEST(Text, WordsSplitAtEveryKindOfWhiteSpaceAndQuotesDoNotGroup) {
    EXPECT_EQ(sys::splitWords(""), Words{});
    EXPECT_EQ(sys::splitWords(" \t\r\n\v\f"), Words{});
    EXPECT_EQ(sys::splitWords("set"), Words{"set"});
    EXPECT_EQ(sys::splitWords("  set\t\tvs \v\f Demo  "), (Words{"set", "vs", "Demo"}));
    EXPECT_EQ(sys::splitWords("report vs \"My Project\""), (Words{"report", "vs", "\"My", "Project\""}));
}

TEST(Text, WordsStopAtTheLimit) {
    EXPECT_EQ(sys::splitWords("a b c d e", 3), (Words{"a", "b", "c"}));
    EXPECT_EQ(sys::splitWords("a b", 3), (Words{"a", "b"}));
    EXPECT_EQ(sys::splitWords("a b", 0), Words{});
}

TEST(Text, TrimRemovesWhiteSpaceAtBothEndsOnly) {
    EXPECT_EQ(sys::trim("\t a  b \r\n"), "a  b");
    EXPECT_EQ(sys::trim(" \r "), "");
    EXPECT_EQ(sys::trim(""), "");
    // Bytes above 127 are text, never white space.
    EXPECT_EQ(sys::trim("\xa0x\xa0"), "\xa0x\xa0");
}
