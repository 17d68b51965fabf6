#include <gtest/gtest.h>

#include "common/Split.h"
#include "common/Text.h"

namespace qelt {
namespace {

using V = std::vector<std::string>;

TEST(SplitRule, TrailingSeparatorYieldsNoEmptyElement) {
    EXPECT_EQ(Split("a|b|", "|"), (V{"a", "b"}));
    EXPECT_EQ(Split("r1||r2||", "||"), (V{"r1", "r2"}));
}

TEST(SplitRule, EmptyElementInTheMiddleSwallowsTheRest) {
    EXPECT_EQ(Split("a||c", "|"), (V{"a", "|c"}));
    EXPECT_EQ(Split("a|b||c|d", "|"), (V{"a", "b", "|c|d"}));
    // A separator at the very start makes the whole text one element.
    EXPECT_EQ(Split("|x|y", "|"), (V{"|x|y"}));
}

TEST(SplitRule, EmptyAndSeparatorFreeTexts) {
    EXPECT_TRUE(Split("", "|").empty());
    EXPECT_EQ(Split("abc", "|"), (V{"abc"}));
}

TEST(SplitRule, RecordsThenFields) {
    auto records = SplitRecords("1|a|x||2|b|y||");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0], (V{"1", "a", "x"}));
    EXPECT_EQ(records[1], (V{"2", "b", "y"}));
    // Three bars: the record separator, then a field starting with "|".
    auto odd = SplitRecords("a|||b");
    ASSERT_EQ(odd.size(), 2u);
    EXPECT_EQ(odd[1], (V{"|b"}));
}

TEST(HeaderFields, CutOneAtATimeAtTheFirstColon) {
    std::string_view rest = "00012006:12:r1||r2";
    EXPECT_EQ(CutHeaderField(rest), "00012006");
    EXPECT_EQ(CutHeaderField(rest), "12");
    EXPECT_EQ(rest, "r1||r2");
    std::string_view none = "abc";
    EXPECT_EQ(CutHeaderField(none), "abc");
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(CutHeaderField(none), "");
}

TEST(Trimming, CLocaleWhiteSpaceOnly) {
    EXPECT_EQ(TrimRight("notice \r\n\t"), "notice");
    EXPECT_EQ(TrimLeft("  20060525"), "20060525");
    EXPECT_EQ(Trim(" \v\f "), "");
    EXPECT_EQ(Trim("\xE3\x80\x80x"), "\xE3\x80\x80x") << "an ideographic space is not white space";
}

TEST(Replace, ReplacesEveryOccurrence) {
    EXPECT_EQ(ReplaceAll("a\\.\\b\\.\\c", "\\.\\", "\\"), "a\\b\\c");
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
}

TEST(CsvField, OnlyFieldsThatNeedItAreQuotedWithTheirQuotesDoubled) {
    EXPECT_EQ(CsvField("桑蚕丝-070325"), "桑蚕丝-070325");
    EXPECT_EQ(CsvField(""), "");
    EXPECT_EQ(CsvField(" 1.53% "), " 1.53% ") << "blanks alone need no quotes";
    EXPECT_EQ(CsvField("丝,一号"), "\"丝,一号\"");
    EXPECT_EQ(CsvField("6\"绢"), "\"6\"\"绢\"");
    EXPECT_EQ(CsvField("\""), "\"\"\"\"");
    EXPECT_EQ(CsvField("a\r\nb"), "\"a\r\nb\"");
    EXPECT_EQ(CsvField("a\nb"), "\"a\nb\"");
}

}  // namespace
}  // namespace qelt
