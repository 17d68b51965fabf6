#include <gtest/gtest.h>

#include "common/Gbk.h"

namespace qelt {
namespace {

// GBK bytes of the three index names, from the GB 2312 code table.
const std::string kCompositeGbk = "\xD7\xDB\xBA\xCF\xD6\xB8\xCA\xFD";  // 综合指数
const std::string kRawSilkGbk = "\xC9\xFA\xCB\xBF\xD6\xB8\xCA\xFD";    // 生丝指数
const std::string kCocoonGbk = "\xB8\xC9\xBC\xEB\xD6\xB8\xCA\xFD";     // 干茧指数

TEST(Gbk, IndexNamesRoundTrip) {
    EXPECT_EQ(GbkToUtf8(kCompositeGbk), "综合指数");
    EXPECT_EQ(GbkToUtf8(kRawSilkGbk), "生丝指数");
    EXPECT_EQ(GbkToUtf8(kCocoonGbk), "干茧指数");
    EXPECT_EQ(Utf8ToGbk("综合指数"), kCompositeGbk);
    EXPECT_EQ(Utf8ToGbk("生丝指数"), kRawSilkGbk);
    EXPECT_EQ(Utf8ToGbk("干茧指数"), kCocoonGbk);
}

TEST(Gbk, AsciiPassesUnchanged) {
    EXPECT_EQ(GbkToUtf8("list:2006|1||"), "list:2006|1||");
    EXPECT_EQ(Utf8ToGbk(""), "");
}

TEST(Gbk, InvalidBytesBecomeReplacementCharacters) {
    // 0xFF is never a GBK byte; a lead byte at the very end is cut off.
    EXPECT_EQ(GbkToUtf8("a\xFF"
                        "b"),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(GbkToUtf8("x\xD7"), "x\xEF\xBF\xBD");
    EXPECT_EQ(GbkToUtf8("\xD7\xDB\xFF\xB8\xC9\xBC\xEB"), "综\xEF\xBF\xBD干茧");
}

TEST(Gbk, CharactersOutsideGbkBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToGbk("a\xF0\x9F\x98\x80"
                        "b"),
              "a?b");  // an emoji
    EXPECT_EQ(Utf8ToGbk("a\xC3"
                        "b"),
              "a?b");  // broken UTF-8
}

}  // namespace
}  // namespace qelt
