// When the K-line view loads its series again and what it keeps meanwhile: live data reloads
// only a changed day series in every period, the panes the user sized stay from goods to
// goods, and a point-and-figure box changed in the parameter dialog shows when it closes.
#include <gtest/gtest.h>

#include "chart/OXChart.h"
#include "common/Commands.h"
#include "common/Messages.h"
#include "data/settings/IndicatorParameters.h"
#include "support/KLineTestSupport.h"

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
    } shows[] = {{cmd::kWeek, "week"},
                 {cmd::kMonth, "month"},
                 {cmd::kDay, "day"},
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
        if (show.command != cmd::kChartOX) {
            EXPECT_EQ(view->Series().back()[kBarClose], goods.price) << show.name;
        }
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

TEST_F(KLineReload, APointAndFigureBoxChangedInTheParameterDialogShowsWhenItCloses) {
    Open();
    Paint();
    view->OnCommand(cmd::kChartOX);
    Paint();
    IndicatorParameters& table = services.EditableIndicators();
    ASSERT_FLOAT_EQ(view->Window().oxBoxSize, 0.33f) << "automatic: a thirtieth of the closes' range";
    const std::size_t automaticColumns = view->Series().size();

    // 指标设置 from the menu, closed with OK: a box of 5 yuan (元生丝 50000).
    host.indicatorDialogEdit = [&table] { table[param::kOxSilkBox] = 50000; };
    view->OnCommand(cmd::kIndicators);
    EXPECT_FLOAT_EQ(view->Window().oxBoxSize, 5.0f);
    EXPECT_LT(view->Series().size(), automaticColumns) << "larger boxes, fewer columns";
    EXPECT_EQ(view->Goods().oxBoxes.size(), view->Series().size());
    EXPECT_EQ(Paint().TextsEqual("OX格值:50000元").size(), 1u);

    // A double click on the title strip, the reversal changed and the dialog closed with its
    // close box: the table holds the new value, and so do the columns.
    const std::size_t oneBoxReversal = view->Series().size();
    host.indicatorDialogAnswer = false;
    host.indicatorDialogEdit = [&table] { table[param::kOxReversal] = 2; };
    view->OnDoubleClick(Mouse(100, 40));
    EXPECT_EQ(host.indicatorDialogs.back(), 0);
    EXPECT_LT(view->Series().size(), oneBoxReversal) << "two boxes to turn: fewer columns";

    // Parameters of no concern to the columns leave the series as it was.
    const int invalidations = host.invalidations;
    const BarSeries columns = view->Series();
    host.indicatorDialogEdit = [&table] { table[param::kMa1] = 7; };
    view->OnCommand(cmd::kIndicators);
    EXPECT_EQ(view->Series(), columns);
    EXPECT_GT(host.invalidations, invalidations) << "a repaint all the same";
}

TEST_F(KLineReload, ADialogThatChangesEveryPointAndFigureParameterAtOnceRebuildsTheColumns) {
    Open();
    Paint();
    view->OnCommand(cmd::kChartOX);
    Paint();
    IndicatorParameters& table = services.EditableIndicators();
    const int reversal = table[param::kOxReversal] == 2 ? 3 : 2;
    host.indicatorDialogEdit = [&table, reversal] {
        table[param::kOxIndexBox] += 10;
        table[param::kOxSilkBox] = 50000;
        table[param::kOxCocoonBox] += 100;
        table[param::kOxReversal] = reversal;
    };
    view->OnCommand(cmd::kIndicators);
    EXPECT_FLOAT_EQ(view->Window().oxBoxSize, 5.0f);
    const OXSeries expected = BuildOX(services.mainList[0].series, 5.0f, reversal);
    EXPECT_EQ(view->Goods().oxBoxes, expected.boxes) << "boxes of 5 yuan turning after " << reversal;
    EXPECT_EQ(view->Series().size(), expected.columns.size());
    EXPECT_EQ(Paint().TextsEqual("OX格值:50000元").size(), 1u);
}

}  // namespace
}  // namespace qelt
