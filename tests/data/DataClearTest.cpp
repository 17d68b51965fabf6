// A store emptied for the next session (the fuzz target reuses one store for every input):
// nothing of the last session may show through, in the readers or in how the next one folds.
#include <gtest/gtest.h>

#include "StoreFixture.h"

namespace qelt::test {
namespace {

/// Everything a reader can see of a store.
struct Seen {
    int loginCode, loginNumber;
    std::string loginText, notice;
    std::vector<std::string> codes, names;
    std::array<std::string, 3> indexValues;
    std::vector<GoodsSummary> main, delivery, spot, third, contract;
    std::vector<std::vector<TradeRow>> trades;
    std::vector<std::vector<std::string>> series;
    std::vector<TradeRow> tradeList;
    std::vector<AlarmHitRow> alarms;
    bool flagged;
    friend bool operator==(const Seen&, const Seen&) = default;
};

Seen See(const CQeltData& data) {
    Seen seen{data.LoginCode(),
              data.LoginNumber(),
              data.LoginText(),
              data.Notice(),
              data.CategoryCodes(),
              data.CategoryNames(),
              data.IndexValues(),
              data.Summaries(GoodsList::Main),
              data.Summaries(GoodsList::Delivery),
              data.Summaries(GoodsList::SpotMonth),
              data.Summaries(GoodsList::ThirdMonth),
              data.Summaries(GoodsList::Contract),
              {},
              {},
              data.TradeList(),
              data.AlarmHits(),
              data.IsFlagged("0121")};
    for (const CQeltGoods& goods : data.MainList()) {
        seen.trades.push_back(goods.trades);
        std::vector<std::string> dates;
        for (const CBarRow& bar : goods.series) dates.emplace_back(bar[kBarDate]);
        seen.series.push_back(dates);
    }
    return seen;
}

const std::string kTrade1 = "0|10.00|5|5|20060601|1|1|T1|3|4|1|093000|0|0|0|0|0|0|0|0||";
const std::string kTrade2 = "1|10.10|5|10|20060601|1|1|T2|3|4|1|093100|0|0|0|0|0|0|0|0||";

/// A session that leaves something in every part of the store.
void FullSession(CQeltData& data) {
    data.Dispatch("login:0|欢迎|42");
    data.Dispatch("category:0101|生丝|0||0121|干茧|1||0009|指数|0||");
    data.Dispatch(
        ListReply({ListRow("0101", "20060525").State("1"), ListRow("0101", "20060625"),
                   ListRow("0121", "20060625"), ListRow("0009", "综合指数").Price("1234.5", "1200")}));
    data.Dispatch(
        "line:010120060625::20060601|10|11|12|9|100|10|5|6|200606||20060602|11|12|13|10|90|11|5|6|200606||");
    data.Dispatch("real:010120060625::" + kTrade1 + kTrade2);
    data.Dispatch("hisreal:010120060525:0101-20060530:e|f||");
    data.Dispatch("alarm:5|0101|a||6|0101|b||");
    data.Dispatch("msg:明日休市");
    data.RebuildDerivedLists();
}

TEST(StoreClear, NothingOfTheLastSessionShowsThroughAndTheNextFoldsAsOnANewStore) {
    StoreFixture used, fresh;
    FullSession(used.data);
    ASSERT_NE(See(used.data), See(fresh.data)) << "the session must leave something to clear";
    used.data.Clear();
    EXPECT_EQ(See(used.data), See(fresh.data));
    // The same session again: trades it already held count as new (their identities went
    // with them), lists and categories come back in the same order.
    FullSession(used.data);
    FullSession(fresh.data);
    EXPECT_EQ(See(used.data), See(fresh.data));
    ASSERT_EQ(used.data.MainList()[1].trades.size(), 2u);
}

}  // namespace
}  // namespace qelt::test
