// myline.txt: its exact format, records kept as they came, and files that cannot be trusted.
#include <gtest/gtest.h>

#include "common/Files.h"
#include "data/settings/MyLineFile.h"
#include "support/TempDir.h"

namespace qelt {
namespace {

const LineKey kSpot0101{"1", {"0101", "1203"}};

/// The record of one goods in the file's documentation: list tag 1, goods 0101, due date
/// 1203, a segment from bar 120 at 251.00 to bar 150 at 265.00 drawn at a bar width of 6.
const CMyLine kExampleSegment{"segment", 6, {{120, 251.0f}, {150, 265.0f}}};

TEST(MyLineFile, TheDocumentedRecordIsWrittenAndReadByteForByte) {
    test::TempDir dir;
    MyLineBook book;
    ASSERT_EQ(book.Load(dir.Path()), MyLineBook::LoadResult::Missing);
    book.Set(kSpot0101, {kExampleSegment});
    ASSERT_TRUE(book.Save(dir.Path()));
    EXPECT_EQ(ReadWholeFile(dir.File("myline.txt")).value(), "1|0101|1203|segment,6,120,251.00,150,265.00");

    MyLineBook read;
    ASSERT_EQ(read.Load(dir.Path()), MyLineBook::LoadResult::Read);
    EXPECT_EQ(read.LinesOf(kSpot0101), std::vector<CMyLine>{kExampleSegment});
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
    MyLineBook book;
    ASSERT_EQ(book.Load(dir.Path()), MyLineBook::LoadResult::Read);
    EXPECT_EQ(book.Keys().size(), 4u);
    const std::vector<CMyLine> index = book.LinesOf({"12", {"0009", "综合指数"}});
    ASSERT_EQ(index.size(), 1u);
    EXPECT_EQ(index[0].anchors[0], (CKLinePoint{10, 1500.25f}));

    ASSERT_TRUE(book.Save(dir.Path()));
    EXPECT_EQ(ReadWholeFile(dir.File("myline.txt")).value(), file) << "read and written back untouched";

    CMyLine moved = kExampleSegment;
    moved.anchors[1] = {151, 266.0f};
    book.Set(kSpot0101, {kExampleSegment, moved});
    ASSERT_TRUE(book.Save(dir.Path()));
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

TEST(MyLineFile, AFileThatCannotBeReadIsNeverWrittenOver) {
    test::TempDir dir;
    const std::string huge(5u << 20, 'x');
    ASSERT_TRUE(WriteFileAtomic(dir.File("myline.txt"), huge));
    MyLineBook book;
    EXPECT_EQ(book.Load(dir.Path()), MyLineBook::LoadResult::Unreadable);
    book.Set(kSpot0101, {kExampleSegment});
    EXPECT_FALSE(book.Save(dir.Path()));
    EXPECT_EQ(ReadWholeFile(dir.File("myline.txt"), 16u << 20).value().size(), huge.size());
}

}  // namespace
}  // namespace qelt
