// The offline road end to end: "his" records into the history database, the store filled
// back from it at an offline start, and what the views then build from the store.
#include <gtest/gtest.h>

#include "chart/Series.h"
#include "data/CQeltData.h"
#include "data/history/HistoryDatabase.h"
#include "data/history/StoreArchive.h"
#include "support/QueuePoster.h"
#include "support/TempDir.h"

namespace qelt {
namespace {

struct OfflineStart {
    OfflineStart() : db(dir.Path()) {}
    /// Saves one quote record of 0112 / 20270125, as an exit while online would.
    void SaveBoard() {
        SqlRow quote(kQuoteColumnCount, "150");
        quote[0] = "20270125";
        quote[9] = "0112";
        quote[16] = "3";
        quote[19] = "20260106";
        db.SaveStore({{"0112", "生丝"}, {"0000", "自选"}}, {quote});
    }
    /// The store an offline start fills from the database.
    CQeltGoods LoadGoods() {
        LoadStoreFromHistory(db, data);
        return data.MainCount() > 0 ? data.MainList()[0] : CQeltGoods{};
    }

    test::TempDir dir;
    HistoryDatabase db;
    test::QueuePoster poster;
    MessageTargets targets;
    CQeltData data{poster, targets};
};

TEST(OfflineLoad, AStoredShortDateCannotCrashTheMonthOrWeekBuild) {
    OfflineStart offline;
    offline.SaveBoard();
    offline.db.StoreHistory(
        "0:7|20270125|0112|20260|150|151|152|149|10|150|150|0|0||"
        "8|20270125|0112|20260105|150|151|152|149|10|150|150|0|0||"
        "9|20270125|0112|20260106|150|153|154|149|5|150|150|0|0||");
    CQeltGoods goods = offline.LoadGoods();
    ASSERT_EQ(goods.series.size(), 3u) << "the short date is stored and loaded back";
    BuildMonthly(goods);
    BuildWeekly(goods);
    ASSERT_EQ(goods.monthSeries.size(), 1u);
    EXPECT_EQ(goods.monthSeries[0][kBarDate], "20260105");
    EXPECT_EQ(goods.monthSeries[0][kBarNum], "15");
    EXPECT_EQ(goods.weekSeries.size(), 1u);
}

}  // namespace
}  // namespace qelt
