#include <gtest/gtest.h>

#include "net/Replies.h"

namespace qelt {
namespace {

TEST(Replies, KindIsTheTextBeforeTheFirstColonAndCaseSensitive) {
    auto m = SplitKind("line:00012006:12:a|b||");
    EXPECT_EQ(m.kind, "line");
    EXPECT_EQ(m.body, "00012006:12:a|b||");
    EXPECT_EQ(KindOf("line"), ReplyKind::Line);
    EXPECT_EQ(KindOf("hisreal"), ReplyKind::HisReal);
    EXPECT_EQ(KindOf("his"), ReplyKind::His);
    EXPECT_EQ(KindOf("LIST"), ReplyKind::Unknown);
    EXPECT_EQ(KindOf("lis"), ReplyKind::Unknown);
    auto bare = SplitKind("dis");
    EXPECT_EQ(bare.kind, "dis");
    EXPECT_EQ(KindOf(bare.kind), ReplyKind::Dis);
}

TEST(Replies, LoginVerdictAndVersion) {
    auto login = ParseLogin("0|welcome|7");
    EXPECT_EQ(login.code, 0);
    EXPECT_EQ(login.text, "welcome");
    EXPECT_EQ(login.number, 7);
    EXPECT_EQ(ParseLogin("2").code, 2);
    EXPECT_EQ(ParseVersion("3:http://x"), 3) << "only the text up to the first colon";
    EXPECT_EQ(ParseVersion("0:"), 0);
}

TEST(Replies, CategoriesWithKindFlags) {
    auto c = ParseCategories("0001|白厂丝|0||0002|动盘丝|1||");
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c[1].code, "0002");
    EXPECT_EQ(c[1].name, "动盘丝");
    EXPECT_EQ(c[1].kindFlag, "1");
}

TEST(Replies, ListRecordsHave27FieldsAndShortOnesArePadded) {
    std::string full;
    for (int i = 1; i <= 27; ++i) full += "f" + std::to_string(i) + "|";
    const std::string body = full + "|20060525|1||";
    auto records = ParseList(body);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0][0], "f1");
    EXPECT_EQ(records[0][26], "f27");
    EXPECT_EQ(records[1][0], "20060525");
    EXPECT_EQ(records[1][1], "1");
    EXPECT_TRUE(records[1][2].empty());
    EXPECT_TRUE(records[1][26].empty()) << "missing fields read as empty, never out of bounds";
}

TEST(Replies, LineRealAndHisHeaders) {
    auto line = ParseLine("000120060525:7:20060101|1|2|3|4|5|6|7|8|20060525||");
    EXPECT_EQ(line.key, "000120060525");
    EXPECT_EQ(line.listTag, "7");
    ASSERT_EQ(line.bars.size(), 1u);
    EXPECT_EQ(line.bars[0].size(), 10u);

    auto real = ParseReal("000120060525::0|1|2|3|4|5|6|T1|8||");
    EXPECT_EQ(real.selector, "");
    ASSERT_EQ(real.records.size(), 1u);
    EXPECT_EQ(real.records[0][7], "T1");
    EXPECT_EQ(ParseReal("k:x:").selector, "x");

    auto his = ParseHis("120:1|a||2|b||");
    EXPECT_EQ(his.count, 120);
    EXPECT_EQ(his.records.size(), 2u);
}

TEST(Replies, WithoutHeaderSeparatorsFieldsAreEmpty) {
    auto line = ParseLine("garbage");
    EXPECT_EQ(line.key, "garbage");
    EXPECT_TRUE(line.listTag.empty());
    EXPECT_TRUE(line.bars.empty());
}

TEST(Replies, NoticeAndPassword) {
    EXPECT_EQ(ParseNotice("明日休市 \r\n"), "明日休市");
    EXPECT_TRUE(ParseNotice(" \t\r\n").empty());
    EXPECT_EQ(ParsePassword("1"), 1);
    EXPECT_EQ(ParseAlarm("7|a||6|b||5|c").size(), 3u);
}

TEST(Replies, RecordsWithAbsurdFieldsAreDroppedWholeAndTheRestStands) {
    const std::string longField(kMaxShortField + 1, '9');
    const std::string shortField(kMaxShortField, '9');
    std::string board;
    for (int i = 1; i <= 27; ++i) board += (i == 1 ? longField : "f" + std::to_string(i)) + "|";
    board += "|";
    for (int i = 1; i <= 27; ++i) board += (i == 1 ? shortField : "g" + std::to_string(i)) + "|";
    // The parsed fields look into the reply's text: it must outlive them.
    board += "|";
    auto list = ParseList(board);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0][1], "g2");

    const std::string line = "k:12:20060101|" + longField + "|2||20060102|1|2||";
    auto bars = ParseLine(line).bars;
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_EQ(bars[0][0], "20060102");
    std::string wide;
    for (size_t i = 0; i <= kMaxFieldsPerRecord; ++i) wide += "1|";
    EXPECT_EQ(ParseReal("k::" + wide + "|a|b||").records.size(), 1u) << "too many fields";
    EXPECT_EQ(ParseHis("0:1|" + longField + "||").records.size(), 0u);
    EXPECT_EQ(ParseAlarm(longField + "|a||7|b||").size(), 1u);

    // A category name may be longer than a code, but not without bound.
    const std::string name(kMaxNameField, 'n');
    const std::string categoryText =
        longField + "|a|0||0101|" + name + "|0||0102|" + name + "n|0||0103|x|" + longField + "||0104|b|1||";
    auto categories = ParseCategories(categoryText);
    ASSERT_EQ(categories.size(), 2u);
    EXPECT_EQ(categories[0].code, "0101");
    EXPECT_EQ(categories[1].code, "0104");
}

TEST(Replies, OneReplyCarriesABoundedNumberOfRecords) {
    std::string many;
    for (size_t i = 0; i < kMaxRecordsPerReply + 3; ++i) many += "1|2||";
    EXPECT_EQ(SplitRecordViews(many).size(), kMaxRecordsPerReply);
    std::string board;
    for (size_t i = 0; i < kMaxRecordsPerReply + 3; ++i) board += "2|1||";
    EXPECT_EQ(ParseList(board).size(), kMaxRecordsPerReply);
}

TEST(Replies, AReplyWithoutItsNumberIsNoVerdictNeverSuccess) {
    for (std::string_view body : {"", " ", "|欢迎|3", "abc|t|1", "-"}) {
        EXPECT_EQ(ParseLogin(body).code, kNoVerdict) << "login:" << body;
        EXPECT_EQ(ParsePassword(body), kNoVerdict) << "pwd:" << body;
    }
    EXPECT_EQ(ParseLogin(" 0|ok|1").code, 0);
    EXPECT_EQ(ParsePassword("0"), 0);
    EXPECT_EQ(ParsePassword("2x"), 2) << "a leading number is read as before";
}

}  // namespace
}  // namespace qelt
