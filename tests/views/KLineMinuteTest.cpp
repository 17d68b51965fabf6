// The K-line view's minute periods: the kept past days and today's bars of a contract traded
// continuously, live trades, the minute history's replies, goods traded in sections, point and
// figure, the period kept, the keys, the strip, tips and export, and drawn lines anchored by
// date and time.
#include <gtest/gtest.h>

#include "chart/LineAnchors.h"
#include "chart/MinuteBars.h"
#include "chart/MinuteLineAnchors.h"
#include "chart/MinuteStrip.h"
#include "common/Commands.h"
#include "common/Files.h"
#include "common/Messages.h"
#include "support/KLineTestSupport.h"
#include "support/TradeRows.h"
#include "views/ViewKinds.h"
#include "views/kline/BarTips.h"
#include "views/kline/DrawnLinesLayer.h"

namespace qelt {
namespace {

using test::KLineFixture;

constexpr int kToday = 20070610;  // the fixture's newest day bar

/// A day's continuous trades, one every five minutes of both sessions from `from` on.
std::vector<TradeRow> DayTrades(int date, int count, int from = 0, int firstId = 0) {
    std::vector<TradeRow> trades;
    for (int i = from; i < from + count; ++i) {
        const int time = SlotTime(i % BarsPerDay(5), 5) * 100 + 10;
        trades.push_back(test::Flagged(firstId + i, date, time, 100.0 + (i % 9) * 0.5, (i + 1) * 10));
    }
    return trades;
}

BarSeries KeptFiveMinuteBars(std::initializer_list<int> dates) {
    BarSeries bars;
    for (int date : dates) {
        const BarSeries day = MinuteBarsFromTrades(DayTrades(date, 48), 5, "20070625");
        bars.insert(bars.end(), day.begin(), day.end());
    }
    return bars;
}

class KLineMinutes : public ::testing::Test, public KLineFixture {
  protected:
    KLineMinutes() {
        CQeltGoods& goods = services.mainList[0];
        goods.flagged = true;
        goods.trades = DayTrades(kToday, 6);
        services.pastDays.kept[5] = KeptFiveMinuteBars({20070608, 20070609});
    }
    CQeltGoods& Goods() { return services.mainList[0]; }
    const DrawnLinesLayer& Lines() const { return static_cast<const DrawnLinesLayer&>(*view->Layer()); }
    void Click(Point at) {
        view->OnMouseDown(Mouse(at.x, at.y, MouseButton::Left));
        view->OnMouseUp(Mouse(at.x, at.y, MouseButton::Left));
    }
};

TEST_F(KLineMinutes, AFiveMinuteChartShowsTheKeptDaysThenTodaysBarsAndAsksForTheRest) {
    Open();
    ASSERT_TRUE(view->StateOf(cmd::kMinute5)->enabled);
    ASSERT_TRUE(view->OnCommand(cmd::kMinute5));
    EXPECT_EQ(view->ShownPeriod(), kPeriodMinute5);
    EXPECT_TRUE(view->StateOf(cmd::kMinute5)->checked);
    EXPECT_FALSE(view->StateOf(cmd::kDay)->checked);

    const BarSeries& bars = view->Series();
    ASSERT_EQ(bars.size(), 48u + 48u + 6u);
    EXPECT_EQ(bars.front().Date(), 20070608);
    EXPECT_EQ(bars.front().Time(), 900);
    EXPECT_EQ(bars[48].Date(), 20070609);
    EXPECT_EQ(bars.back().Date(), kToday);
    EXPECT_EQ(bars.back().Time(), 925);
    EXPECT_EQ(BarSeries(bars.end() - 6, bars.end()), MinuteBarsFromTrades(Goods().trades, 5, "20070625"));

    // The minute history is told the past days the chart wants: the day bars before today,
    // newest first, sixty of them.
    ASSERT_FALSE(services.pastDays.wishes.empty());
    const auto& wish = services.pastDays.wishes.back();
    EXPECT_EQ(wish.contract, (GoodsKey{"0101", "20070625"}));
    EXPECT_EQ(wish.categoryCode, "0101");
    ASSERT_EQ(wish.dates.size(), 60u);
    EXPECT_EQ(wish.dates.front(), 20070609);
    EXPECT_EQ(ReadWholeFile(dir.File("klineperiod.ini")).value(), "5")
        << "kept like the window's other settings";

    // The title, the strip's times and dates, the pointer's time.
    Paint();
    EXPECT_FALSE(canvas.TextsEqual("商品:" + Goods().name + "(5分钟)").empty());
    view->ShowBars(60, static_cast<int>(bars.size()) - 1);
    view->OnMouseMove(Mouse(view->MainPane().BarCentreX(static_cast<int>(bars.size()) - 2), 100));
    Paint();
    EXPECT_FALSE(canvas.TextsEqual("06/09").empty()) << "a new day is dated";
    EXPECT_FALSE(canvas.TextsEqual("13:30").empty()) << "times within a day";
    EXPECT_FALSE(canvas.TextsEqual(BarCaption(bars[bars.size() - 2])).empty());
    EXPECT_EQ(BarCaption(bars[bars.size() - 2]), "2007/06/10/日 09:20");

    // Tips and export carry the time.
    EXPECT_EQ(MakeBarTip(bars, 0).caption, "2007/06/08/五 09:00");
    EXPECT_EQ(MakeDataTip(Goods(), bars, 1, "").time, "09:05");
    const std::optional<ExportDocument> csv = view->Export(ExportKind::Csv);
    ASSERT_TRUE(csv);
    EXPECT_EQ(csv->content.substr(0, csv->content.find("\r\n")),
              "日期,时间,开盘价,收盘价,最高,最低,成交量,净持仓量,购销总量");
    EXPECT_NE(csv->content.find("\r\n2007-06-08,09:00,"), std::string::npos);
}

TEST_F(KLineMinutes, AChartOpenedOnTodaysFewBarsWidensAsThePastDaysArrive) {
    services.pastDays.kept.clear();
    Open();
    view->OnCommand(cmd::kMinute5);
    ASSERT_EQ(view->Series().size(), 6u);
    EXPECT_EQ(view->Window().visibleCount, 6);

    services.pastDays.kept[5] = KeptFiveMinuteBars({20070609});
    ++services.pastDays.revision;
    services.pastDays.nextReplyIsOurs = true;
    view->OnNotify(WM_NET_HISREAL, 0);
    ASSERT_EQ(view->Series().size(), 54u);
    EXPECT_EQ(view->Window().visibleCount, 54) << "not the one-day window of before";

    // A window the user narrowed keeps its width.
    view->ShowBars(20, 53);
    services.pastDays.kept[5] = KeptFiveMinuteBars({20070607, 20070608, 20070609});
    ++services.pastDays.revision;
    services.pastDays.nextReplyIsOurs = true;
    view->OnNotify(WM_NET_HISREAL, 0);
    ASSERT_EQ(view->Series().size(), 150u);
    EXPECT_EQ(view->Window().visibleCount, 20);
}

TEST_F(KLineMinutes, TradesAndKeptDaysComeInWithoutTheUserLeavingTheChart) {
    Open();
    view->OnCommand(cmd::kMinute5);
    const BarSeries before = view->Series();

    // A trade of a new five minutes: one bar more, the others as they were.
    Goods().trades.push_back(DayTrades(kToday, 1, 6)[0]);
    view->OnNotify(WM_NET_REAL, 0);
    ASSERT_EQ(view->Series().size(), before.size() + 1);
    EXPECT_EQ(BarSeries(view->Series().begin(), view->Series().end() - 1), before);
    EXPECT_EQ(view->Series().back().Time(), 930);
    EXPECT_GE(services.pastDays.passing, 1) << "every reply tells the minute history time passes";

    // The minute history kept an earlier day: the chart takes it in front, and stays.
    services.pastDays.kept[5] = KeptFiveMinuteBars({20070607, 20070608, 20070609});
    ++services.pastDays.revision;
    services.pastDays.nextReplyIsOurs = true;
    view->OnNotify(WM_NET_HISREAL, 0);
    EXPECT_TRUE(services.switches.empty());
    EXPECT_EQ(view->Series().front().Date(), 20070607);
    EXPECT_EQ(view->Series().size(), before.size() + 1 + 48);

    // A past day the user asked for opens the intraday view's review.
    services.pastDays.nextReplyIsOurs = false;
    view->OnNotify(WM_NET_HISREAL, 0);
    EXPECT_EQ(services.switches, (std::vector<std::pair<int, int>>{{kViewIntraday, 2}}));

    // Double-clicking a bar asks for its day: the minute history is stopped first, so the
    // reply that comes is the user's.
    Paint();
    const int bar = static_cast<int>(view->Series().size()) - 3;
    const CBarRow& row = view->Series()[static_cast<std::size_t>(bar)];
    const MainPaneGeometry& g = view->MainPane();
    const Point body{
        g.BarCentreX(bar),
        (g.PriceToY(static_cast<float>(row.Open())) + g.PriceToY(static_cast<float>(row.Close()))) / 2};
    view->OnMouseMove(Mouse(body.x, body.y));
    view->OnDoubleClick(Mouse(body.x, body.y));
    Paint();
    view->OnDoubleClick(Mouse(body.x, body.y));
    const int stopsBefore = services.pastDays.stops;
    Paint();
    EXPECT_EQ(services.pastDays.stops, stopsBefore + 1);
    ASSERT_FALSE(services.sent.empty());
    EXPECT_EQ(services.sent.back(), "real:0101-20070610:0101:20070625:8:");
}

TEST_F(KLineMinutes, GoodsTradedInSectionsHaveNoMinutePeriodsAndSayWhy) {
    services.EditableViewSettings().SetKLinePeriod(kPeriodMinute15);  // 15 minutes, kept from before
    Goods().flagged = false;
    services.pastDays.kept.clear();
    Open();
    EXPECT_EQ(view->Window().period, kPeriodMinute15) << "the choice is kept";
    EXPECT_EQ(view->ShownPeriod(), kPeriodDay) << "but the day bars show";
    EXPECT_EQ(view->Series().size(), 150u);
    ASSERT_FALSE(services.statuses.empty());
    EXPECT_NE(services.statuses.back().find("按小节交易，没有分钟线"), std::string::npos);
    for (int command : {cmd::kMinute1, cmd::kMinute5, cmd::kMinute15, cmd::kMinute30, cmd::kMinute60})
        EXPECT_FALSE(view->StateOf(command)->enabled) << command;
    EXPECT_TRUE(view->StateOf(cmd::kDay)->checked);
    view->OnContextMenu({100, 100});
    ASSERT_FALSE(host.menus.empty());
    const MenuEntry& periods = host.menus.back().entries[3];
    ASSERT_EQ(periods.children.size(), 8u);
    EXPECT_EQ(periods.children[4].text, "5分钟");
    EXPECT_FALSE(periods.children[4].enabled);
    EXPECT_TRUE(periods.children[1].enabled);
    EXPECT_TRUE(services.pastDays.wishes.empty()) << "nothing is asked for goods without minute bars";

    // F8 goes round day, week and month only, and says why.
    const std::size_t said = services.statuses.size();
    view->OnKey(Key(ViewKey::F8));
    EXPECT_EQ(view->ShownPeriod(), kPeriodWeek);
    view->OnKey(Key(ViewKey::F8));
    view->OnKey(Key(ViewKey::F8));
    EXPECT_EQ(view->ShownPeriod(), kPeriodDay);
    EXPECT_GT(services.statuses.size(), said);

    // A goods traded continuously takes the kept minute period up again.
    services.EditableViewSettings().SetKLinePeriod(kPeriodMinute15);
    Goods().flagged = true;
    Open();
    EXPECT_EQ(view->ShownPeriod(), kPeriodMinute15);
    EXPECT_EQ(view->Series().back().Time(), 915);

    // Offline the categories' kinds are unknown: minute bars kept of a contract show it is
    // traded continuously.
    Goods().flagged = false;
    services.pastDays.kept[15] = MinuteBarsFromTrades(DayTrades(20070609, 48), 15, "20070625");
    Open();
    EXPECT_TRUE(view->HasMinutePeriods());
    EXPECT_EQ(view->ShownPeriod(), kPeriodMinute15);
    EXPECT_EQ(view->Series().front().Date(), 20070609);
}

TEST_F(KLineMinutes, F8StepsThroughThePeriodsAndPointAndFigureIsForDayBarsOnly) {
    Open();
    std::vector<int> seen;
    for (int i = 0; i < 8; ++i) {
        view->OnKey(Key(ViewKey::F8));
        seen.push_back(view->ShownPeriod());
    }
    EXPECT_EQ(seen, (std::vector<int>{kPeriodWeek, kPeriodMonth, kPeriodMinute1, kPeriodMinute5,
                                      kPeriodMinute15, kPeriodMinute30, kPeriodMinute60, kPeriodDay}));
    KeyInput back = Key(ViewKey::F8);
    back.shift = true;
    view->OnKey(back);
    EXPECT_EQ(view->ShownPeriod(), kPeriodMinute60);

    // OX is greyed on minute bars; a minute period chosen in OX goes back to candles.
    EXPECT_FALSE(view->StateOf(cmd::kChartOX)->enabled);
    view->OnCommand(cmd::kChartOX);
    EXPECT_EQ(view->Window().chartType, kChartCandles);
    view->OnCommand(cmd::kDay);
    view->OnCommand(cmd::kChartOX);
    ASSERT_EQ(view->Window().chartType, kChartOX);
    view->OnCommand(cmd::kMinute30);
    EXPECT_EQ(view->Window().chartType, kChartCandles);
    EXPECT_EQ(view->ShownPeriod(), kPeriodMinute30);
    view->OnCommand(cmd::kChartAmerican);
    EXPECT_EQ(view->Window().chartType, kChartAmerican) << "the American line works on minute bars";
    Paint();
}

TEST_F(KLineMinutes, ALineOnAFiveMinuteChartKeepsItsDateAndTimeAcrossARestartAndEarlierDays) {
    Open();
    view->OnCommand(cmd::kMinute5);
    Paint();
    // A segment from bar 50 (the second kept day's 09:10) to bar 99 (today's 09:05).
    view->OnCommand(cmd::kDrawSegment);
    const MainPaneGeometry& g = view->MainPane();
    Click(AnchorToPixel(g, {50, 101.0f}));
    const Point end = AnchorToPixel(g, {99, 102.0f});
    view->OnMouseMove(Mouse(end.x, end.y));
    Click(end);
    ASSERT_EQ(services.minuteLineCommits.size(), 1u);
    EXPECT_EQ(services.minuteLineCommits[0].first, 5);
    const std::vector<CMyLine>& kept = services.minuteLines[5];
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].anchors[0].index, MinuteStamp(view->Series()[50])) << "anchored by date and time";
    EXPECT_EQ(kept[0].anchors[1].index, MinuteStamp(view->Series()[99]));
    EXPECT_TRUE(Goods().lines.empty()) << "the day bars' lines are not touched";

    // The next start: the line comes back on the same bars.
    Open();
    EXPECT_EQ(view->ShownPeriod(), kPeriodMinute5);
    ASSERT_EQ(Lines().Tools().Editor().Lines().size(), 1u);
    EXPECT_EQ(Lines().Tools().Editor().Lines()[0].anchors[0].index, 50);
    EXPECT_EQ(Lines().Tools().Editor().Lines()[0].anchors[1].index, 99);

    // An earlier day arrives: the line moves with its bars.
    services.pastDays.kept[5] = KeptFiveMinuteBars({20070607, 20070608, 20070609});
    ++services.pastDays.revision;
    services.pastDays.nextReplyIsOurs = true;
    view->OnNotify(WM_NET_HISREAL, 0);
    const CMyLine& moved = Lines().Tools().Editor().Lines().at(0);
    EXPECT_EQ(moved.anchors[0].index, 98);
    EXPECT_EQ(MinuteStamp(view->Series()[98]), kept[0].anchors[0].index);

    // Other periods have lines of their own.
    view->OnCommand(cmd::kMinute15);
    EXPECT_TRUE(Lines().Tools().Editor().Lines().empty());
    const int stops = services.pastDays.stops;
    view->OnCommand(cmd::kDay);
    EXPECT_TRUE(Lines().Tools().Editor().Lines().empty());
    EXPECT_EQ(services.pastDays.stops, stops + 1) << "day bars need no past minutes: the download stops";
    view->OnNotify(WM_NET_REAL, 0);
    EXPECT_EQ(services.pastDays.stops, stops + 1);
}

}  // namespace
}  // namespace qelt
