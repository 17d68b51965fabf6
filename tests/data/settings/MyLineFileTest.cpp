// myline.txt: its exact format, records kept as they came, and files that cannot be trusted.
#include <gtest/gtest.h>

#include "common/Files.h"
#include "common/Gbk.h"
#include "data/settings/MyLineFile.h"
#include "data/settings/SettingsFile.h"
#include "support/TempDir.h"

namespace qelt {
namespace {

const LineKey kSpot0101{"1", {"0101", "1203"}};

/// The record of one goods in the file's documentation: list tag 1, goods 0101, due date
/// 1203, a segment from bar 120 at 251.00 to bar 150 at 265.00 drawn at a bar width of 6.
const CMyLine kExampleSegment{"segment", 6, {{120, 251.0f}, {150, 265.0f}}};

/// myline.txt as the journal reads and writes it.
std::optional<MyLineBook> Load(SettingsFile& file) {
    const std::optional<std::string> bytes = file.Read();
    if (!bytes) return std::nullopt;
    return MyLineBook::Parse(GbkToUtf8(*bytes));
}

bool Save(SettingsFile& file, const MyLineBook& book) { return file.Write(Utf8ToGbk(book.Format())); }

SettingsFile MyLineTxt(const test::TempDir& dir) {
    return SettingsFile(dir.Path(), "myline.txt", kMaxMyLineFileBytes, nullptr);
}

TEST(MyLineFile, TheDocumentedRecordIsWrittenAndReadByteForByte) {
    test::TempDir dir;
    SettingsFile file = MyLineTxt(dir);
    ASSERT_FALSE(Load(file).has_value());
    ASSERT_EQ(file.LastRead(), SettingsFile::State::Missing);
    MyLineBook book;
    book.Set(kSpot0101, {kExampleSegment});
    ASSERT_TRUE(Save(file, book));
    EXPECT_EQ(ReadWholeFile(dir.File("myline.txt")).value(), "1|0101|1203|segment,6,120,251.00,150,265.00");

    SettingsFile again = MyLineTxt(dir);
    const std::optional<MyLineBook> read = Load(again);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->LinesOf(kSpot0101), std::vector<CMyLine>{kExampleSegment});
    EXPECT_EQ(FormatMyLine({"para", 4, {{1, 2.0f}, {3, -4.005f}, {-5, 6.125f}}}),
              "para,4,1,2.00,3,-4.01,-5,6.12");
}

TEST(MyLineFile, RecordsOfGoodsNotTouchedComeBackExactlyAsTheyWere) {
    test::TempDir dir;
    // GBK: an index record named by its due date, a record in a precision we never write, a
    // list tag no list has, and the goods the user is about to edit.
    const std::string file =
        "12|0009|\xD7\xDB\xBA\xCF\xD6\xB8\xCA\xFD|line,5,10,1500.25,20,1510.00||"
        "3|0121|20070525|segment,6,1,251.5,2,3;wave,6,7,8.50,9,10.00||"
        "9|0101|1203|rect,6,1,2.00,3,4.00||" +
        std::string("1|0101|1203|segment,6,120,251.00,150,265.00");
    ASSERT_TRUE(WriteFileAtomic(dir.File("myline.txt"), file));
    SettingsFile myline = MyLineTxt(dir);
    MyLineBook book = Load(myline).value();
    EXPECT_EQ(book.Keys().size(), 4u);
    const std::vector<CMyLine> index = book.LinesOf({"12", {"0009", "综合指数"}});
    ASSERT_EQ(index.size(), 1u);
    EXPECT_EQ(index[0].anchors[0], (CKLinePoint{10, 1500.25f}));

    ASSERT_TRUE(Save(myline, book));
    EXPECT_EQ(ReadWholeFile(dir.File("myline.txt")).value(), file) << "read and written back untouched";

    CMyLine moved = kExampleSegment;
    moved.anchors[1] = {151, 266.0f};
    book.Set(kSpot0101, {kExampleSegment, moved});
    ASSERT_TRUE(Save(myline, book));
    EXPECT_EQ(ReadWholeFile(dir.File("myline.txt")).value(),
              file.substr(0, file.rfind("||")) +
                  "||1|0101|1203|segment,6,120,251.00,150,265.00;segment,6,120,251.00,151,266.00");
}

TEST(MyLineFile, SettingAGoodsReplacesAllItsRecordsAndNoLinesRemovesThem) {
    MyLineBook book = MyLineBook::Parse(
        "1|0101|1203|segment,6,1,1.00,2,2.00||3|0101|1203|line,6,1,1.00,2,2.00||"
        "1|0101|1203|gold,6,5,5.00,6,6.00");
    EXPECT_EQ(book.LinesOf(kSpot0101).size(), 2u) << "duplicate records both give their lines";
    const auto all = book.AllLines();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].first, kSpot0101);
    EXPECT_EQ(all[0].second, book.LinesOf(kSpot0101));
    book.Set(kSpot0101, {kExampleSegment});
    EXPECT_EQ(book.Format(), "1|0101|1203|segment,6,120,251.00,150,265.00||3|0101|1203|line,6,1,1.00,2,2.00");
    book.Set(kSpot0101, {});
    EXPECT_EQ(book.Format(), "3|0101|1203|line,6,1,1.00,2,2.00");
    book.Set({"2", {"0112", "20070625"}}, {CMyLine{"wave", 3, {{1, 1.0f}, {2, 2.0f}}}});
    EXPECT_EQ(book.Format(), "3|0101|1203|line,6,1,1.00,2,2.00||2|0112|20070625|wave,3,1,1.00,2,2.00");
}

TEST(MyLineFile, DamagedOrHostileContentReadsSafely) {
    const MyLineBook book = MyLineBook::Parse(
        "1|0101|1203|para,6,1,2.00;segment,x,y,1e999,3;segment;curve,2,1,1.00,2,2.00,3,3.00||"
        "||1|0102||just text|||");
    const std::vector<CMyLine> lines = book.LinesOf(kSpot0101);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].anchors, (std::vector<CKLinePoint>{{1, 2.0f}, {0, 0.0f}, {0, 0.0f}}))
        << "missing pairs";
    EXPECT_EQ(lines[1], (CMyLine{"segment", 0, {{0, 0.0f}, {3, 0.0f}}})) << "text and overflow read as 0";
    EXPECT_EQ(lines[2], (CMyLine{"segment", 0, {{0, 0.0f}, {0, 0.0f}}}));
    EXPECT_EQ(lines[3].anchors.size(), 2u) << "an unknown kind keeps two anchors";
    EXPECT_TRUE(book.LinesOf({"1", {"0102", ""}}).empty());

    std::string many = "1|0101|1203|";
    for (int i = 0; i < 3000; ++i) many += "segment,6,1,1.00,2,2.00;";
    EXPECT_EQ(MyLineBook::Parse(many).LinesOf(kSpot0101).size(), kMaxLinesPerGoods);
}

/// "segment,6,<i>,1.00,<i>,2.00" for i in [from, to).
std::string Segments(int from, int to) {
    std::string out;
    for (int i = from; i < to; ++i)
        out += (i > from ? ";" : "") + FormatMyLine({"segment", 6, {{i, 1.0f}, {i, 2.0f}}});
    return out;
}

TEST(MyLineFile, LinesPastTheThousandthStayThroughEveryEdit) {
    // 1,000 lines a goods is given, 3 more in the same record, and 2 in a later record of the
    // same goods, with another goods between.
    const std::string content = "1|0101|1203|" + Segments(0, 1003) + "||2|0112|20070625|" + Segments(0, 1) +
                                "||1|0101|1203|" + Segments(1003, 1005);
    MyLineBook book = MyLineBook::Parse(content);
    EXPECT_EQ(book.Format(), content) << "an untouched book writes back what it read";
    std::vector<CMyLine> lines = book.LinesOf(kSpot0101);
    ASSERT_EQ(lines.size(), kMaxLinesPerGoods);
    EXPECT_EQ(lines.back().anchors[0].index, 999);

    // An edit: one line deleted, one drawn.
    lines.erase(lines.begin());
    lines.push_back(kExampleSegment);
    book.Set(kSpot0101, lines);
    EXPECT_EQ(book.Format(), "1|0101|1203|" + Segments(1, 1000) + ";" + FormatMyLine(kExampleSegment) + ";" +
                                 Segments(1000, 1005) + "||2|0112|20070625|" + Segments(0, 1))
        << "the unread lines follow the goods' own, the other goods untouched";
    EXPECT_EQ(book.LinesOf(kSpot0101), lines) << "what the goods is given is what it was set to";

    // Every line it shows deleted: the ones it never showed are still kept.
    book.Set(kSpot0101, {});
    EXPECT_EQ(book.Format(), "1|0101|1203|" + Segments(1000, 1005) + "||2|0112|20070625|" + Segments(0, 1));
    EXPECT_TRUE(book.LinesOf(kSpot0101).empty());
    book.Set(kSpot0101, {kExampleSegment});
    EXPECT_EQ(book.Format(), "1|0101|1203|" + FormatMyLine(kExampleSegment) + ";" + Segments(1000, 1005) +
                                 "||2|0112|20070625|" + Segments(0, 1));

    // The next start gives the goods the lines it kept, in that order.
    const std::vector<CMyLine> next = MyLineBook::Parse(book.Format()).LinesOf(kSpot0101);
    ASSERT_EQ(next.size(), 6u);
    EXPECT_EQ(next[0], kExampleSegment);
    EXPECT_EQ(next[5].anchors[0].index, 1004);
}

TEST(MyLineFile, AFileThatCannotBeReadIsNeverWrittenOver) {
    test::TempDir dir;
    const std::string huge(5u << 20, 'x');
    ASSERT_TRUE(WriteFileAtomic(dir.File("myline.txt"), huge));
    SettingsFile file = MyLineTxt(dir);
    EXPECT_FALSE(Load(file).has_value());
    EXPECT_EQ(file.LastRead(), SettingsFile::State::Unreadable);
    MyLineBook book;
    book.Set(kSpot0101, {kExampleSegment});
    EXPECT_FALSE(Save(file, book));
    EXPECT_EQ(ReadWholeFile(dir.File("myline.txt"), 16u << 20).value().size(), huge.size());
}

}  // namespace
}  // namespace qelt
