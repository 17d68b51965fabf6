// When the K-line view loads its series again: live data reloads only a changed day series,
// in every period.
#include <gtest/gtest.h>

#include "KLineTestSupport.h"
#include "common/Commands.h"
#include "common/Messages.h"

namespace qelt {
namespace {

using test::KLineFixture;

class KLineReload : public ::testing::Test, public KLineFixture {};

TEST_F(KLineReload, EveryPeriodAndChartTypeReloadsOnlyWhenTheDaySeriesChanged) {
    Open();
    Paint();
    CQeltGoods& goods = services.mainList[0];
    const struct {
        int command;
        const char* name;
    } shows[] = {{cmd::kWeek, "week"}, {cmd::kMonth, "month"}, {cmd::kDay, "day"},
                 {cmd::kChartOX, "point and figure"}};
    double price = 105.0;
    for (const auto& show : shows) {
        view->OnCommand(show.command);
        Paint();
        int invalidations = host.invalidations;
        // Quotes and trades that leave today's bar as it is (the quote panel's figures).
        goods.trades.push_back({"0", goods.price, "0", "5", goods.last_date, "1", "1", "t" + goods.price});
        goods.invest_price = goods.price;
        view->OnNotify(WM_NET_REAL, 0);
        view->OnNotify(WM_NET_LINE, 0);
        EXPECT_EQ(host.invalidations, invalidations) << show.name << ": the kept chart stays";

        // A trade at another price changes today's bar: the chart follows it.
        price += 1;
        goods.price = FormatFixed2(price);
        view->OnNotify(WM_NET_REAL, 0);
        EXPECT_GT(host.invalidations, invalidations) << show.name;
        EXPECT_EQ(view->Goods().price, goods.price) << show.name;
        if (show.command != cmd::kChartOX)
            EXPECT_EQ(view->Series().back()[kBarClose], goods.price) << show.name;
        invalidations = host.invalidations;
        view->OnNotify(WM_NET_REAL, 0);
        EXPECT_EQ(host.invalidations, invalidations) << show.name << ": once per change";
    }

    // A new day's bar, and a series that comes again in full with the same last bar.
    view->OnCommand(cmd::kChartCandles);
    const int invalidations = host.invalidations;
    goods.series.push_back(test::KLineDays(151).back());
    goods.last_date = std::string(goods.series.back()[kBarDate]);
    view->OnNotify(WM_NET_LINE, 0);
    EXPECT_GT(host.invalidations, invalidations);
    EXPECT_EQ(view->Series().size(), 151u);
    goods.series.erase(goods.series.begin());
    view->OnNotify(WM_NET_LINE, 0);
    EXPECT_EQ(view->Series().size(), 150u) << "another first bar is another series";
}

}  // namespace
}  // namespace qelt
