// The replies other than the board: login, version, categories, series, trades, history,
// alarms, notices, disconnect and password.
#include <gtest/gtest.h>

#include "StoreFixture.h"
#include "common/Messages.h"
#include "net/Replies.h"
#include "support/BarNumbersCheck.h"

namespace qelt::test {
namespace {

class Handlers : public ::testing::Test, public StoreFixture {
  protected:
    void SetUp() override {
        Categories();
        data.Dispatch(ListReply({ListRow("0101", "20060525").State("1"), ListRow("0101", "20060625")}));
        poster.Clear();
    }
};

TEST_F(Handlers, LoginAndVersionReplies) {
    EXPECT_EQ(data.LoginCode(), -1);
    std::vector<int> verdicts;  // the session hears every verdict, whatever view is on show
    data.SetLoginVerdict([&](int code) { verdicts.push_back(code); });
    data.Dispatch("login:0|欢迎|42");
    EXPECT_EQ(data.LoginCode(), 0);
    EXPECT_EQ(data.LoginText(), "欢迎");
    EXPECT_EQ(data.LoginNumber(), 42);
    data.Dispatch("ver:3:");
    auto posted = poster.All();
    ASSERT_EQ(posted.size(), 2u);
    EXPECT_EQ(posted[0].message, WM_NET_LOGIN);
    EXPECT_EQ(posted[1].message, WM_NET_VER);
    EXPECT_EQ(posted[1].wParam, 3);
    EXPECT_EQ(posted[1].window, kView);
    data.Dispatch("login:2|密码错误|0");
    data.Dispatch("login:");
    EXPECT_EQ(verdicts, (std::vector<int>{0, 2, kNoVerdict}));
}

TEST_F(Handlers, EmptyLoginAndPasswordRepliesAreNoVerdict) {
    data.Dispatch("login:0|欢迎|42");
    data.Dispatch("login:");
    EXPECT_EQ(data.LoginCode(), kNoVerdict) << "not 0, which is 登陆成功";
    targets.passwordDialog = 9;
    data.Dispatch("pwd:");
    auto posted = poster.All();
    ASSERT_EQ(posted.back().message, WM_NET_PWD);
    EXPECT_EQ(posted.back().wParam, kNoVerdict) << "not 0, which is 密码修改完成";
}

TEST_F(Handlers, CategoriesEndWithTheSelfSelectedList) {
    auto codes = data.CategoryCodes();
    auto names = data.CategoryNames();
    EXPECT_EQ(codes, (std::vector<std::string>{"0101", "0121", "0009", "0000"}));
    EXPECT_EQ(names.back(), "自选");
    EXPECT_EQ(data.CategoryName("0121"), "干茧");
    EXPECT_EQ(data.CategoryName("0000"), "自选");
    EXPECT_EQ(data.CategoryName("7777"), "");
    EXPECT_TRUE(data.IsFlagged("0121"));
    EXPECT_FALSE(data.IsFlagged("0101"));
    EXPECT_FALSE(data.IsFlagged("7777"));
    EXPECT_EQ(data.CurrentCategoryCode(1), "0121");
    EXPECT_EQ(data.CurrentCategoryCode(9), "");
}

TEST_F(Handlers, CategoriesAcrossRepliesAreBounded) {
    // Codes accumulate reply after reply (each also adds "自选"): a server repeating them, or
    // sending thousands, cannot make the tabs and the saved table grow without end.
    std::string many = "category:";
    for (int i = 0; i < 3000; ++i) many += std::to_string(10000 + i) + "|c" + std::to_string(i) + "|0||";
    data.Dispatch(many);
    for (int i = 0; i < 500; ++i) data.Dispatch("category:0101|生丝|0||");
    auto codes = data.CategoryCodes();
    EXPECT_LE(codes.size(), kMaxCategories);
    EXPECT_EQ(data.CategoryNames().size(), codes.size());
    EXPECT_EQ(data.CategoryName("0101"), "生丝");
    EXPECT_EQ(data.CategoryName("12999"), "") << "a code beyond the bound is not taken in at all";
    EXPECT_FALSE(data.IsFlagged("12999"));
    // Kinds outlive a reset, but not without bound: once too many are known, only the
    // listed codes keep theirs.
    data.Reset();
    data.Dispatch("category:0121|干茧|1||");
    EXPECT_TRUE(data.IsFlagged("0121"));
    for (int round = 1; round <= 2; ++round) {
        data.Reset();
        std::string other = "category:";
        for (int i = 0; i < 900; ++i) other += std::to_string(round * 100000 + i) + "|x|1||";
        data.Dispatch(other);
    }
    EXPECT_FALSE(data.IsFlagged("0121"));
    EXPECT_TRUE(data.IsFlagged("200000"));
}

TEST_F(Handlers, LineRepliesReplaceTheSeriesOfTheTaggedList) {
    const std::string bars = "20060601|1|2|3|0.5|10|1.5|7|8|20060525||20060602|2|3|4|1|20|2.5|9|9|20060525||";
    data.Dispatch("line:010120060625:7:" + bars);  // unknown tag: the main list
    auto main = data.MainList();
    ASSERT_EQ(main[1].series.size(), 2u);
    EXPECT_EQ(main[1].series[1][kBarNum], "20");
    // Read once as the reply came in, and copied out with the rows.
    EXPECT_EQ(main[1].series[1].Num(), 20);
    EXPECT_EQ(main[1].series[0].Low(), 0.5);
    EXPECT_TRUE(test::NumbersMatchTexts(main[1].series));
    EXPECT_TRUE(main[0].series.empty());

    data.Dispatch("line:010120060525:3:" + bars);
    EXPECT_EQ(data.Copy(GoodsList::Contract)[0].series.size(), 2u);
    EXPECT_TRUE(data.MainList()[0].series.empty());

    data.Dispatch("line:010120069999:12:" + bars);  // nobody: nothing changes, still posted
    EXPECT_EQ(poster.Count(WM_NET_LINE), 3u);
}

TEST_F(Handlers, TradesWithASelectorReplaceTheTradeList) {
    data.Dispatch("real:010120060525:1:a|b||c|d||");
    EXPECT_EQ(data.LastDetailList().selector, "1");
    data.Dispatch("hisreal:010120060525:0101-20060530:e|f||");
    EXPECT_EQ(data.TradeList(), (std::vector<TradeRow>{{"e", "f"}}));
    // Whose trades and which day they are stay with them: the minute history tells its
    // replies from the user's by them.
    const DetailList detail = data.LastDetailList();
    EXPECT_EQ(detail.key, "010120060525");
    EXPECT_EQ(detail.selector, "0101-20060530");
    EXPECT_EQ(detail.rows, data.TradeList());
    data.Dispatch("real:010120060625::x|y||");  // today's trades leave the detail list alone
    EXPECT_EQ(data.LastDetailList().selector, "0101-20060530");
    EXPECT_EQ(poster.Count(WM_NET_REAL), 2u);
    EXPECT_EQ(poster.Count(WM_NET_HISREAL), 1u);
    data.Clear();
    EXPECT_EQ(data.LastDetailList().key, "");
    EXPECT_EQ(data.LastDetailList().selector, "");
}

TEST_F(Handlers, TradesWithoutASelectorAppendOncePerIdentity) {
    const std::string t1 = "0|10.00|5|5|20060601|1|1|T1|3|4|1|093000|0|0|0|0|0|0|0|0";
    const std::string t2 = "1|10.10|5|10|20060601|1|1|T2|3|4|1|093100|0|0|0|0|0|0|0|0";
    data.Dispatch("real:010120060625::" + t1 + "||");
    data.Dispatch("real:010120060625::" + t1 + "||" + t2 + "||");
    data.Dispatch("real:010120060625::" + t2 + "||");
    auto g = data.MainList()[1];
    ASSERT_EQ(g.trades.size(), 2u);
    EXPECT_EQ(g.trades[0][7], "T1");
    EXPECT_EQ(g.trades[1][7], "T2");
    EXPECT_TRUE(data.TradeList().empty());
    EXPECT_EQ(poster.Count(WM_NET_REAL), 3u);
}

/// A trade of goods 0101 / 20060625 whose identity (8th field) is `id`.
std::string TradeWithId(const std::string& id) {
    return "0|10.00|5|5|20060601|1|1|" + id + "|3|4|1|093000||";
}

TEST_F(Handlers, ACapFullOfTradesGivesWayToNewOnesAndKnowsWhatItStillHolds) {
    std::string full = "real:010120060625::";
    for (std::size_t i = 0; i < kMaxTradesPerGoods; ++i) full += TradeWithId("T" + std::to_string(i));
    data.Dispatch(full);
    ASSERT_EQ(data.MainList()[1].trades.size(), kMaxTradesPerGoods);
    // A new trade at the cap drops the oldest ones: the latest trades are the ones shown.
    data.Dispatch("real:010120060625::" + TradeWithId("new") + TradeWithId("T99999"));
    auto trades = data.MainList()[1].trades;
    ASSERT_LT(trades.size(), kMaxTradesPerGoods);
    EXPECT_GE(trades.size(), kMaxTradesPerGoods * 9 / 10);
    EXPECT_EQ(trades.back()[7], "new");
    EXPECT_EQ(trades[trades.size() - 2][7], "T99999") << "held: not added again";
    const std::string oldestKept = trades.front()[7];
    EXPECT_NE(oldestKept, "T0");
    // A dropped identity is no longer held; a kept one still is.
    data.Dispatch("real:010120060625::" + TradeWithId("T0") + TradeWithId(oldestKept));
    trades = data.MainList()[1].trades;
    EXPECT_EQ(trades.back()[7], "T0");
    EXPECT_EQ(trades[trades.size() - 2][7], "new");

    // After a reset the goods starts again with no trades, and nothing is taken as held.
    data.Reset();
    Categories();
    data.Dispatch(ListReply({ListRow("0101", "20060625")}));
    data.Dispatch("real:010120060625::" + TradeWithId("new") + TradeWithId("T5"));
    EXPECT_EQ(data.MainList()[0].trades.size(), 2u);
}

class HistoryProbe : public HistorySink {
  public:
    explicit HistoryProbe(const CQeltData& data) : m_data(data) {}
    void StoreHistory(std::string_view body) override {
        bodies.emplace_back(body);
        storeWasFree = StoreIsFree(m_data);
    }
    std::vector<std::string> bodies;
    bool storeWasFree = false;

  private:
    const CQeltData& m_data;
};

TEST_F(Handlers, HistoryGoesToTheSinkOutsideTheLockAndPostsTheCount) {
    HistoryProbe probe(data);
    data.SetHistorySink(&probe);
    data.Dispatch("his:120:1|20060525|0101|20060601|1|2|3|0.5|10|1|1.5|7|8||");
    ASSERT_EQ(probe.bodies.size(), 1u);
    EXPECT_EQ(probe.bodies[0], "120:1|20060525|0101|20060601|1|2|3|0.5|10|1|1.5|7|8||");
    EXPECT_TRUE(probe.storeWasFree);
    auto posted = poster.All();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].message, WM_NET_HIS);
    EXPECT_EQ(posted[0].wParam, 120);
}

TEST_F(Handlers, AlarmsAreKeptInAscendingIdOrderAndRepeatsAddNothing) {
    int refreshes = 0;
    data.SetAlarmRefresh([&] { ++refreshes; });
    data.Dispatch("alarm:5|0101|a||");
    data.Dispatch("alarm:7|0101|c||6|0101|b||5|0101|a||");
    auto hits = data.AlarmHits();
    ASSERT_EQ(hits.size(), 3u);
    EXPECT_EQ(hits[1][0], "6");
    EXPECT_EQ(hits[2][0], "7");
    EXPECT_EQ(refreshes, 2);
    data.Dispatch("alarm:7|0101|c||");
    EXPECT_EQ(data.AlarmHits().size(), 3u);
    EXPECT_EQ(refreshes, 2);
    EXPECT_TRUE(poster.All().empty());
}

TEST_F(Handlers, NoticeDisconnectAndPassword) {
    data.Dispatch("msg: \t\r\n");
    EXPECT_EQ(poster.Count(WM_NET_NOTICE), 0u);
    data.Dispatch("msg:明日休市 \r\n");
    EXPECT_EQ(data.Notice(), "明日休市");
    data.Dispatch("dis:");   // the connection reports the end of the session, not the store
    data.Dispatch("pwd:1");  // no dialog open: nobody to tell
    targets.passwordDialog = 9;
    data.Dispatch("pwd:1");
    data.Dispatch("bogus:1");
    auto posted = poster.All();
    ASSERT_EQ(posted.size(), 2u);
    EXPECT_TRUE(posted[0].toThread);
    EXPECT_EQ(posted[0].message, WM_NET_NOTICE);
    EXPECT_EQ(posted[1].window, 9u);
    EXPECT_EQ(posted[1].message, WM_NET_PWD);
    EXPECT_EQ(posted[1].wParam, 1);
}

}  // namespace
}  // namespace qelt::test
