// Folding the board: records, names, change figures and the derived lists.
#include <gtest/gtest.h>

#include "StoreFixture.h"
#include "common/Messages.h"
#include "net/Framer.h"
#include "net/Replies.h"

namespace qelt::test {
namespace {

class ListFold : public ::testing::Test, public StoreFixture {
  protected:
    void SetUp() override { Categories(); }
    CQeltGoods Main(std::size_t i) { return data.MainList().at(i); }
};

TEST_F(ListFold, StoresTheRecordWithPricesAtTwoDecimals) {
    ListRow row("0101", "20060525");
    row.Set(4, "9.5")
        .Set(7, "8")
        .Set(8, "2.675")
        .Set(9, "9")
        .Price("10", "8")
        .Set(18, "7.1")
        .Set(19, "9.999");
    row.Set(6, "150").Set(25, "10.5");
    data.Dispatch(ListReply({row}));
    CQeltGoods g = Main(0);
    EXPECT_EQ(g.last_price, "9.50");
    EXPECT_EQ(g.lowest_price, "8.00");
    EXPECT_EQ(g.highest_price, "2.67");  // 2.675 is held as 2.67499..., rounded as "%.2f" does
    EXPECT_EQ(g.open_price, "9.00");
    EXPECT_EQ(g.price, "10.00");
    EXPECT_EQ(g.pre_close, "8.00");
    EXPECT_EQ(g.pre_avg_price, "7.10");
    EXPECT_EQ(g.avg_price, "10.00");
    EXPECT_EQ(g.all_num, "150");        // not a price: as received
    EXPECT_EQ(g.newest_price, "10.5");  // not a price field of the board
    EXPECT_EQ(g.name, "生丝-060525");
    EXPECT_EQ(g.position, 0);
    EXPECT_EQ(g.change, "2.00");
    EXPECT_EQ(g.changePercent, "25.00");
    EXPECT_EQ(poster.Count(WM_NET_LIST), 1u);
    EXPECT_EQ(poster.All().back().window, kView);
}

TEST_F(ListFold, HostileRecordsNeitherCrashNorGrowWithoutBound) {
    // A delivery month of just "2" has nothing after its first two characters.
    data.Dispatch(ListReply({ListRow("0101", "2")}));
    EXPECT_EQ(Main(0).name, "生丝-");
    // New keys beyond the bound of the main list are ignored; known ones still update.
    std::string body = "list:";
    for (std::size_t i = 0; i < kMaxMainRecords + 5; ++i)
        body += std::string("20") + std::to_string(100000 + i) +
                "|1|1|1|1|1|1|1|1|0101|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1|1||";
    data.Dispatch(body);
    EXPECT_EQ(data.MainCount(), kMaxMainRecords);
}

TEST_F(ListFold, AReplyGluedToAnUnterminatedMegabyteStoresNoAbsurdField) {
    // A board reply cut off without its terminator, then the next reply: the framer can only
    // hand both on as one message, whose first record then holds a megabyte in due_date.
    Framer framer;
    ASSERT_TRUE(framer.Feed("list:" + std::string(1 << 20, 'A')));
    ASSERT_TRUE(framer.Feed(ListReply({ListRow("0101", "20060525"), ListRow("0101", "20060625")}) + "|END"));
    std::string_view message;
    ASSERT_TRUE(framer.Next(message));
    data.Dispatch(message);
    ASSERT_EQ(data.MainCount(), 1u) << "the glued record is dropped, the one after it stands";
    EXPECT_EQ(Main(0).due_date, "20060625");
    // The replies after it are whole again.
    ASSERT_TRUE(framer.Feed(ListReply({ListRow("0101", "20060525")}) + "|END"));
    ASSERT_TRUE(framer.Next(message));
    data.Dispatch(message);
    EXPECT_EQ(data.MainCount(), 2u);
    for (const CQeltGoods& g : data.MainList())
        for (std::size_t n = 1; n <= kListFields; ++n) EXPECT_LE((g.*ListField(n)).size(), kMaxShortField);
}

TEST_F(ListFold, ARecordWithAnAbsurdPriceIsDropped) {
    // Stored as "%.2f", a price of 2e260 would be a 264-character text: no quote of this market.
    data.Dispatch(ListReply({ListRow("0101", "20060525").Set(8, "2E0260"),
                             ListRow("0101", "20060625").Price("-1e15", "1"),
                             ListRow("0101", "20060725").Price("99999999999999.5", "1e14")}));
    ASSERT_EQ(data.MainCount(), 1u);
    EXPECT_EQ(Main(0).price, "99999999999999.50");
    EXPECT_EQ(Main(0).pre_close, "100000000000000.00");
}

TEST_F(ListFold, PricesReadAsNumbersWhateverTheirForm) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"101.5", "101.50"}, {"7", "7.00"},        {"0.5", "0.50"},
        {"012.5", "12.50"},  {"-3.1", "-3.10"},    {"5.", "5.00"},
        {".25", "0.25"},     {"abc", "0.00"},      {"1.999", "2.00"},
        {"12.34x", "12.34"}, {"100.05", "100.05"}, {"123456789012.25", "123456789012.25"},
        {"1e2", "100.00"}};
    for (const auto& [text, stored] : cases) {
        data.Reset();
        Categories();
        data.Dispatch(ListReply({ListRow("0101", "20060525").Set(12, text)}));
        EXPECT_EQ(Main(0).price, stored) << text;
    }
}

TEST_F(ListFold, UpdatesAKnownRecordInPlace) {
    data.Dispatch(ListReply({ListRow("0101", "20060525"), ListRow("0101", "20060625")}));
    data.Dispatch(ListReply({ListRow("0101", "20060625").Price("12", "10")}));
    auto main = data.MainList();
    ASSERT_EQ(main.size(), 2u);
    EXPECT_EQ(main[1].price, "12.00");
    EXPECT_EQ(main[1].position, 1);
    EXPECT_EQ(main[1].listTag, "12");
    EXPECT_EQ(main[1].change, "2.00");
    EXPECT_EQ(main[1].changePercent, "20.00");
}

TEST_F(ListFold, IndexRecordsNameThemselvesAndSetTheIndexValues) {
    data.Dispatch(ListReply({ListRow("0112", "生丝指数").Price("1234.5", "1200"),
                             ListRow("0009", "综合指数").Price("99", "98")}));
    EXPECT_EQ(Main(0).name, "生丝指数");
    auto values = data.IndexValues();
    EXPECT_EQ(values[0], "99.00");
    EXPECT_EQ(values[1], "1234.50");
    EXPECT_EQ(values[2], "");
}

TEST_F(ListFold, ChangeFiguresForFlaggedAndUnchangedRecords) {
    data.Dispatch(ListReply({
        ListRow("0121", "20060525").Set(25, "0").Set(27, "5"),    // flagged, no continuous price
        ListRow("0121", "20060625").Set(25, "5.5").Set(27, "5"),  // flagged: newest against pre_newest
        ListRow("0101", "20060525").Price("8", "8"),              // unchanged
        ListRow("0101", "20060625").Price("8", "0"),              // no reference
    }));
    auto main = data.MainList();
    EXPECT_TRUE(main[0].flagged);
    EXPECT_EQ(main[0].change, "0.00");
    EXPECT_EQ(main[0].changePercent, "0.00");
    EXPECT_EQ(main[1].change, "0.50");
    EXPECT_EQ(main[1].changePercent, "10.00");
    EXPECT_FALSE(main[2].flagged);
    EXPECT_EQ(main[2].change, "0.00");
    EXPECT_EQ(main[2].changePercent, "0.00");
    EXPECT_EQ(main[3].change, "8.00");
    EXPECT_EQ(main[3].changePercent, "0.00");
}

TEST_F(ListFold, MirrorsSpotRecordsIntoTheDeliveryMonthList) {
    data.Dispatch(ListReply({ListRow("0101", "20060525").State("1"), ListRow("0101", "20060625")}));
    auto delivery = data.Copy(GoodsList::Delivery);
    ASSERT_EQ(delivery.size(), 1u);
    EXPECT_EQ(delivery[0].listTag, "0");
    EXPECT_EQ(delivery[0].name, "生丝交货月");
    EXPECT_EQ(delivery[0].position, 0);

    data.Dispatch(ListReply({ListRow("0101", "20060525").State("1").Price("10", "8")}));
    delivery = data.Copy(GoodsList::Delivery);
    ASSERT_EQ(delivery.size(), 1u);
    EXPECT_EQ(delivery[0].price, "10.00");
    EXPECT_EQ(delivery[0].change, "2.00");
    EXPECT_EQ(delivery[0].changePercent, "25.00");
    EXPECT_EQ(delivery[0].listTag, "0");
}

TEST_F(ListFold, BuildsTheContractListWithItsNames) {
    data.Dispatch(ListReply({ListRow("0101", "20060525").State("1"), ListRow("0101", "20060515").State("2"),
                             ListRow("0009", "综合指数"), ListRow("0121", "20060605")}));
    auto contracts = data.Copy(GoodsList::Contract);
    ASSERT_EQ(contracts.size(), 3u);  // the composite index is no contract
    EXPECT_EQ(contracts[0].name, "生丝-05合约");
    EXPECT_EQ(contracts[1].name, "生丝-0515");
    EXPECT_EQ(contracts[2].name, "干茧-0605");
    EXPECT_EQ(contracts[2].position, 3);
    EXPECT_TRUE(contracts[2].flagged);
    for (const auto& c : contracts) EXPECT_EQ(c.listTag, "3");

    auto spot = data.Copy(GoodsList::SpotMonth);
    auto third = data.Copy(GoodsList::ThirdMonth);
    ASSERT_EQ(spot.size(), 1u);
    ASSERT_EQ(third.size(), 1u);
    EXPECT_EQ(spot[0].name, "生丝现货月");
    EXPECT_EQ(spot[0].listTag, "1");
    EXPECT_EQ(third[0].name, "生丝第三月");
    EXPECT_EQ(third[0].listTag, "2");
}

TEST_F(ListFold, ASecondReplyRefreshesButDoesNotRebuildTheContractList) {
    data.Dispatch(ListReply({ListRow("0101", "20060525").State("1")}));
    data.Dispatch(
        ListReply({ListRow("0101", "20060525").State("1").Price("12", "10"), ListRow("0101", "20060625")}));
    auto contracts = data.Copy(GoodsList::Contract);
    ASSERT_EQ(contracts.size(), 1u);  // the new record waits for the next rebuild
    EXPECT_EQ(contracts[0].price, "12.00");
    EXPECT_EQ(contracts[0].change, "2.00");
    EXPECT_EQ(contracts[0].changePercent, "20.00");
    ASSERT_EQ(data.Copy(GoodsList::SpotMonth).size(), 1u);
    EXPECT_EQ(data.Copy(GoodsList::SpotMonth)[0].price, "12.00");

    data.RebuildDerivedLists();
    EXPECT_EQ(data.Copy(GoodsList::Contract).size(), 2u);
}

TEST_F(ListFold, AsksForTheSeriesOfEveryNewRecordInFoldOrder) {
    data.Dispatch(ListReply({ListRow("0101", "20060525").State("1"), ListRow("0101", "20060625")}));
    EXPECT_EQ(sender.Sent(), (std::vector<std::string>{"line:0:0101:20060525:1:", "line:12:0101:20060525:1:",
                                                       "line:12:0101:20060625:1:", "line:3:0101:20060525:1:",
                                                       "line:3:0101:20060625:1:"}));
    // Known records ask for nothing more.
    data.Dispatch(ListReply({ListRow("0101", "20060525").State("1"), ListRow("0101", "20060625")}));
    EXPECT_EQ(sender.Sent().size(), 5u);
}

TEST_F(ListFold, SendsNothingOffline) {
    online = false;
    data.Dispatch(ListReply({ListRow("0101", "20060525")}));
    EXPECT_TRUE(sender.Sent().empty());
    EXPECT_FALSE(data.MainList()[0].seriesWanted);
}

TEST_F(ListFold, ShortRecordsReadAsEmptyFields) {
    data.Dispatch("list:20060525|1|2|");
    ASSERT_EQ(data.MainCount(), 1u);
    EXPECT_EQ(Main(0).goods_no, "");
    EXPECT_EQ(Main(0).price, "0.00");
}

}  // namespace
}  // namespace qelt::test
