// Which charset a web page is read in: the reply's type, the page's meta tag, the bytes.
#include <gtest/gtest.h>

#include "common/Gbk.h"
#include "common/PageCharset.h"

namespace qelt {
namespace {

TEST(PageCharset, TheReplyTypeWinsThenTheMetaTagThenTheBytes) {
    const std::string gbkPage = Utf8ToGbk(
        "<html><head><meta http-equiv=\"Content-Type\" "
        "content=\"text/html; charset=GB2312\"></head><body>今日要闻</body></html>");
    EXPECT_EQ(PageCharset("text/html; charset=utf-8", gbkPage), "utf-8") << "the reply's own word first";
    EXPECT_EQ(PageCharset("text/html", gbkPage), "gb2312");
    EXPECT_EQ(PageCharset("", "<META CHARSET='GBK'><p>x</p>"), "gbk");
    EXPECT_EQ(PageCharset("text/html;charset = \"Big5\"", ""), "big5");
    EXPECT_EQ(PageCharset("text/html; charset=", "<meta charset=\"utf-8\">"), "utf-8")
        << "an empty name is none";
    // A meta tag without a charset, a charset outside any meta tag, a tag too far in: the bytes decide.
    EXPECT_EQ(
        PageCharset("", "<meta name=\"keywords\" content=\"a\"><p>charset=big5</p>" + Utf8ToGbk("要闻")),
        "gbk");
    EXPECT_EQ(PageCharset("", std::string(kCharsetSniffBytes, ' ') + "<meta charset=\"big5\">"), "utf-8");
    EXPECT_EQ(PageCharset("", "<p>今日要闻</p>"), "utf-8");
    // Something that is not a name is ignored rather than passed on to a decoder.
    EXPECT_EQ(PageCharset("text/html; charset=\"<script>\"", "<p>x</p>"), "utf-8");
    EXPECT_EQ(PageCharset("text/html; charset=" + std::string(100, 'a'), "<p>x</p>"), "utf-8");
}

TEST(PageCharset, AMetaTagAnywhereInTheSniffedHeadReadsOnlyItsOwnAttributes) {
    const std::string before = "<!DOCTYPE html>\n<html lang=\"zh\">\n<head>\n<title>市场资讯</title>\n";
    EXPECT_EQ(PageCharset("", before + "<meta charset=\"gbk\">\n</head><body>要闻</body>"), "gbk");
    EXPECT_EQ(
        PageCharset("", before + "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Big5\">"),
        "big5");
    // A tag far in that names none, then text naming one within as many bytes as the tag
    // stands from the start: the text is no part of the tag.
    const std::string text = "<p>charset=big5</p>" + std::string(40, ' ');
    EXPECT_EQ(PageCharset("", before + "<meta name=\"keywords\" content=\"丝\">" + text), "utf-8");
    EXPECT_EQ(PageCharset("", before + "<meta name=\"keywords\">" + text + Utf8ToGbk("要闻")), "gbk");
    // The first tag that names one wins, wherever the tags stand; an unclosed tag runs to the
    // end of what is looked at.
    EXPECT_EQ(PageCharset("", before + "<meta name=\"a\"><meta charset=\"gb2312\"><meta charset=\"utf-8\">"),
              "gb2312");
    EXPECT_EQ(PageCharset("", before + "<meta charset=gb18030"), "gb18030");
    // The last tag that still starts inside the sniffed bytes counts; one past them does not.
    const std::string filler(kCharsetSniffBytes - 30, ' ');
    EXPECT_EQ(PageCharset("", filler + "<meta charset=\"big5\">"), "big5");
    EXPECT_EQ(PageCharset("", filler + std::string(30, ' ') + "<meta charset=\"big5\">"), "utf-8");
}

TEST(PageCharset, GbkNamesAndUtf8Validity) {
    for (const char* name : {"gbk", "GB2312", "gb18030", "CP936", "x-gbk", "windows-936", "euc-cn"})
        EXPECT_TRUE(IsGbkCharset(name)) << name;
    for (const char* name : {"utf-8", "big5", "", "gbk2"}) EXPECT_FALSE(IsGbkCharset(name)) << name;

    EXPECT_TRUE(IsValidUtf8("plain 市场资讯 \xF0\x9F\x93\x88"));
    EXPECT_FALSE(IsValidUtf8(Utf8ToGbk("市场资讯")));
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF")) << "overlong";
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80")) << "surrogate";
    EXPECT_FALSE(IsValidUtf8("\xE5\xB8")) << "cut short";
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80")) << "beyond U+10FFFF";
}

}  // namespace
}  // namespace qelt
