// When the K-line view loads its series again and what it keeps meanwhile: live data reloads
// only a changed day series in every period, and the panes the user sized stay from goods to
// goods.
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

TEST_F(KLineReload, PaneHeightsTheUserDraggedStayFromGoodsToGoodsUntilTheWindowCountChanges) {
    Open();
    Paint();
    const int border = view->Panes()[1].top;
    view->OnMouseMove(Mouse(100, border));
    view->OnMouseDown(Mouse(100, border, MouseButton::Left));
    view->OnMouseMove(Mouse(100, border + 50));
    view->OnMouseUp(Mouse(100, border + 50, MouseButton::Left));
    const std::vector<Rect> dragged = view->Panes();
    ASSERT_EQ(dragged[0].bottom, border + 50);

    services.selection.goods = 1;
    view->OnKey(Key(ViewKey::PageDown));
    Paint();
    EXPECT_EQ(view->Series().size(), 60u) << "the next goods is on show";
    EXPECT_EQ(view->Panes(), dragged) << "Page Down";
    services.selection.goods = 0;
    view->OnWheel(false, {100, 100});
    Paint();
    EXPECT_EQ(view->Panes(), dragged) << "the wheel";
    view->OnCommand(cmd::kNextGoods);
    Paint();
    EXPECT_EQ(view->Panes(), dragged) << "下一个";
    view->OnCommand(cmd::kPrevGoods);
    Paint();
    EXPECT_EQ(view->Panes(), dragged) << "上一个";

    view->OnCommand(cmd::kWindows4);
    Paint();
    ASSERT_EQ(view->Panes().size(), 4u);
    EXPECT_EQ(view->Panes()[0].bottom, 300) << "a new window count lays the panes out afresh";
}

}  // namespace
}  // namespace qelt
