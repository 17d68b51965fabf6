// The column slots, the "list head" swap rule and head.ini.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/Files.h"
#include "common/Gbk.h"
#include "common/Split.h"
#include "support/FakeViewServices.h"
#include "support/TempDir.h"
#include "views/ColumnTable.h"
#include "views/QuoteListView.h"

namespace qelt {
namespace {

TEST(ColumnTable, DefaultHeadTextStartsWithTheFrozenColumns) {
    ColumnTable table;
    EXPECT_EQ(table.HeadText().rfind("编号|60|商品名称|150|价格|100|", 0), 0u);
    EXPECT_EQ(table.Slot(24), (Column{"昨收", 80}));
}

TEST(ColumnTable, ChooserSwapsIntoTheFrozenBlockAndWritesEveryTitleOnce) {
    test::TempDir dir;
    test::FakeViewServices host;
    host.dir = dir.Path();
    host.goods[0] = {test::MakeGoods("0101", "20070325", "20.00", "19.00", 0)};
    QuoteListView view(host);
    view.OnInitialUpdate();
    view.OnSize(1200, 500);
    // Right click on "价格" (slot 3, right edge 5 + 60 + 150 + 100 = 315), choose "涨幅".
    BoardPopup popup = view.OnRButtonDown({300, 10});
    ASSERT_EQ(popup.kind, BoardPopup::Kind::ColumnChooser);
    EXPECT_EQ(popup.checkedTitle, "价格");
    ASSERT_TRUE(view.OnColumnCommand(32848));
    EXPECT_EQ(view.Columns().Slot(3), (Column{"涨幅", 80}));
    EXPECT_EQ(view.Columns().Slot(19), (Column{"价格", 100}));

    const std::optional<std::string> bytes = ReadWholeFile(dir.File("head.ini"));
    ASSERT_TRUE(bytes);
    const std::vector<std::string> pieces = Split(GbkToUtf8(*bytes), "|");
    ASSERT_EQ(pieces.size(), 48u);
    std::vector<std::string> titles;
    for (size_t i = 0; i < pieces.size(); i += 2) titles.push_back(pieces[i]);
    std::sort(titles.begin(), titles.end());
    EXPECT_EQ(std::unique(titles.begin(), titles.end()), titles.end());
    EXPECT_EQ(pieces[4], "涨幅");
    EXPECT_EQ(pieces[5], "80");

    // Choosing the title the slot already holds still rewrites the file.
    ASSERT_TRUE(WriteFileAtomic(dir.File("head.ini"), "x"));
    view.OnRButtonDown({250, 10});  // slot 3 now ends at 295
    view.OnColumnCommand(32848);
    EXPECT_EQ(ReadWholeFile(dir.File("head.ini"))->size(), bytes->size());

    // Right of the last shown column: no chooser.
    EXPECT_EQ(view.OnRButtonDown({1190, 10}).kind, BoardPopup::Kind::None);

    // A new board reads the file at first show.
    QuoteListView again(host);
    again.OnInitialUpdate();
    EXPECT_EQ(again.Columns().Slot(3).title, "涨幅");
}

TEST(ColumnTable, ShortOrDamagedHeadFileKeepsDefaultsWhereItIsSilent) {
    ColumnTable table;
    table.ParseHeadText("价格|90|编号|-5|成交量");
    EXPECT_EQ(table.Slot(1), (Column{"价格", 90}));
    EXPECT_EQ(table.Slot(2), (Column{"编号", 0}));
    EXPECT_EQ(table.Slot(3), (Column{"成交量", 100}));  // no width entry: default kept
    EXPECT_EQ(table.Slot(4), (Column{"涨跌", 100}));
    table.ParseHeadText("a|99999|");
    EXPECT_EQ(table.Slot(1).width, ColumnTable::kMaxWidth);
}

TEST(ColumnTable, ChoosingATitleNoSlotHoldsPutsItIntoTheClickedSlot) {
    ColumnTable table;
    table.ParseHeadText("外来|70|");
    table.Choose(5, "编号");
    EXPECT_EQ(table.Slot(5), (Column{"编号", 60}));
    EXPECT_EQ(TitleOfColumnCommand(32853), "净持仓量");
    EXPECT_FALSE(TitleOfColumnCommand(1));
}

}  // namespace
}  // namespace qelt
