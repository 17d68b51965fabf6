// The date strip under the chart and the quote panel beside it.
#include <gtest/gtest.h>

#include "chart/DateStrip.h"
#include "chart/QuotePanel.h"
#include "common/Numbers.h"
#include "gfx/RecordingCanvas.h"

namespace qelt {
namespace {

CBarRow Day(const std::string& date) {
    return CBarRow{date, "10", "11", "12", "9", "5", "10", "0", "0", "200706"};
}

MainPaneGeometry Slots(int n, float w) {
    MainPaneGeometry g;
    g.pane = {0, 30, 1000, 400};
    g.axisX = 940;
    g.barWidth = w;
    g.lastVisible = n - 1;
    g.visibleCount = n;
    g.seriesLength = n;
    return g;
}

TEST(BarDates, CaptionCarriesTheWeekdayAndNonDatesStayAsTheyAre) {
    EXPECT_EQ(BarDateCaption("20070305"), "2007/03/05/一");
    EXPECT_EQ(BarDateCaption("20070304"), "2007/03/04/日");
    EXPECT_EQ(BarDateCaption("19991231"), "1999/12/31/五");
    EXPECT_EQ(BarDateCaption("2007030"), "2007030");
    EXPECT_EQ(WeekdayOf("20070231"), 6) << "the 31st of February rolls into March";
    EXPECT_EQ(WeekdayOf("20071305"), -1);
    EXPECT_EQ(std::string(kNoBarCaption), "- - - ");
}

TEST(DateStrip, MonthLabelsKeepThirtyPixelsAndMondaysAreTickedForTwoListsOnly) {
    // 20-pixel slots: Feb 26 .. Mar 6 2007 (Feb 26 and Mar 5 are Mondays), then Apr 2.
    const BarSeries bars = {Day("20070226"), Day("20070227"), Day("20070228"), Day("20070301"),
                            Day("20070302"), Day("20070305"), Day("20070306"), Day("20070402")};
    const Rect strip{0, 580, 1000, 600};
    KLineStyle style;
    RecordingCanvas canvas;
    DrawDateStrip(canvas, strip, bars, Slots(8, 20.0f), "0001", style);
    EXPECT_EQ(canvas.TextsEqual("2007年").size(), 1u);
    EXPECT_EQ(canvas.TextsEqual("2007年")[0].points[0], (Point{0, 582}));
    // March starts at x 60 (more than 29 pixels from 0): labelled; April at x 140.
    ASSERT_EQ(canvas.TextsEqual("03").size(), 1u);
    EXPECT_EQ(canvas.TextsEqual("03")[0].points[0], (Point{62, 582}));
    EXPECT_EQ(canvas.TextsEqual("04").size(), 1u);
    std::vector<DrawRecord> shortTicks;
    for (const DrawRecord& r : canvas.Of(DrawOp::Line))
        if (r.points[1].y == 588) shortTicks.push_back(r);
    ASSERT_EQ(shortTicks.size(), 2u) << "Feb 26 lies at x 0, not over 49: Mar 5 and Apr 2 only";
    EXPECT_EQ(shortTicks[0].points[0], (Point{100, 580}));
    EXPECT_EQ(shortTicks[1].points[0], (Point{140, 580}));

    canvas.Clear();
    DrawDateStrip(canvas, strip, bars, Slots(8, 20.0f), "0101", style);
    for (const DrawRecord& r : canvas.Of(DrawOp::Line)) EXPECT_NE(r.points[1].y, 588) << "no Monday ticks";
}

TEST(DateStrip, AMonthStartingTooCloseToTheLastLabelGetsNoLabelAtAll) {
    // 10-pixel slots: March is labelled at x 50 (the first slot over 49); April starts at x 70,
    // only 20 pixels on, and stays without a label even where it is far enough (x 90).
    const BarSeries bars = {Day("20070226"), Day("20070227"), Day("20070228"), Day("20070301"),
                            Day("20070302"), Day("20070305"), Day("20070306"), Day("20070402"),
                            Day("20070403"), Day("20070404")};
    RecordingCanvas canvas;
    DrawDateStrip(canvas, {0, 580, 1000, 600}, bars, Slots(10, 10.0f), "0101", KLineStyle{});
    ASSERT_EQ(canvas.TextsEqual("03").size(), 1u);
    EXPECT_EQ(canvas.TextsEqual("03")[0].points[0], (Point{52, 582}));
    EXPECT_TRUE(canvas.TextsEqual("04").empty());
}

TEST(DateStrip, CursorDateIsWhiteOnBlueAtThePointer) {
    RecordingCanvas canvas;
    DrawCursorDate(canvas, {0, 580, 1000, 600}, "2007/03/05/一", 321);
    const DrawRecord text = canvas.Of(DrawOp::Text)[0];
    EXPECT_EQ(text.points[0], (Point{321, 584}));
    EXPECT_EQ(text.font, (Font{"Arial", 14, 400}));
    EXPECT_EQ(text.colour, kWhite);
    EXPECT_EQ(text.bkColour, kBlue);
    EXPECT_EQ(text.bkMode, BkMode::Opaque);
}

CQeltGoods Quote() {
    CQeltGoods g;
    g.last_section = "4";
    g.price = "105.00";
    g.pre_close = "100.00";
    g.newest_price = "99.00";
    g.open_price = "100.00";
    g.highest_price = "106.00";
    g.lowest_price = "98.00";
    g.invest_price = "104.00";
    g.sale_price = "106.00";
    g.change = "5.00";
    g.changePercent = "5.00";
    g.avg_price = "102.00";
    g.pre_avg_price = "101.00";
    g.pre_newest = "110.00";
    g.null_num = "450";
    return g;
}

TEST(QuotePanel, ValuesAreColouredAgainstTheReferenceOfTheirKind) {
    const Rect panel{800, 0, 1000, 580};
    KLineStyle style;
    RecordingCanvas canvas;
    DrawQuotePanel(canvas, panel, Quote(), style);
    EXPECT_EQ(canvas.TextsEqual("节号")[0].points[0], (Point{805, 50}));
    EXPECT_EQ(canvas.TextsEqual("节号")[0].colour, kPanelLabel);
    EXPECT_EQ(canvas.TextsEqual("005")[0].points[0], (Point{835, 50})) << "section 4 + 1, three digits";
    EXPECT_EQ(canvas.TextsEqual("105.00")[0].colour, kPanelRise) << "price above 昨收";
    EXPECT_EQ(canvas.TextsEqual("99.00")[0].colour, kPanelFall) << "动盘价 below 昨收";
    EXPECT_EQ(canvas.TextsEqual("100.00")[0].colour, style.scheme.line[0]) << "the open equals 昨收";
    EXPECT_EQ(canvas.TextsEqual("450")[0].colour, kPanelLabel) << "volumes in grey";
    EXPECT_EQ(canvas.TextsEqual("昨均").size(), 1u);
    const auto separators = canvas.Of(DrawOp::Line);
    ASSERT_EQ(separators.size(), 4u);
    EXPECT_EQ(separators[3].points, (std::vector<Point>{{800, 340}, {1000, 340}}));

    // Flagged goods: 日期 / 结算价, 昨结 is the reference and the price is judged by newest_price.
    CQeltGoods flagged = Quote();
    flagged.flagged = true;
    flagged.last_date = "20070305";
    canvas.Clear();
    DrawQuotePanel(canvas, panel, flagged, style);
    EXPECT_EQ(canvas.TextsEqual("结算价").size(), 1u);
    EXPECT_EQ(canvas.TextsEqual("20070305").size(), 1u);
    EXPECT_EQ(canvas.TextsEqual("105.00")[0].colour, kPanelFall) << "newest_price 99 below 昨结 110";
    EXPECT_EQ(canvas.TextsEqual("昨结").size(), 1u);
}

TEST(QuotePanel, EveryFigureStandsBesideItsCaptionOnItsRow) {
    CQeltGoods g = Quote();
    g.open_price = "100.50";
    g.changePercent = "4.99";
    g.pure_num = "-12";
    g.invest_input = "31";
    g.sale_input = "32";
    g.all_num = "7700";
    const Rect panel{800, 0, 1000, 580};
    RecordingCanvas canvas;
    DrawQuotePanel(canvas, panel, g, KLineStyle{});
    const struct {
        const char* caption;
        int x;
        const char* figure;
        int figureX, y;
    } rows[] = {{"节号", 5, "005", 35, 50},       {"本节价", 100, "105.00", 145, 50},
                {"购销总量", 5, "450", 65, 90},   {"净持仓量", 100, "-12", 160, 90},
                {"申买价", 5, "104.00", 50, 120}, {"申卖价", 100, "106.00", 145, 120},
                {"申买量", 5, "31", 50, 150},     {"申卖量", 100, "32", 145, 150},
                {"成交量", 5, "7700", 50, 180},   {"动盘价", 100, "99.00", 145, 180},
                {"涨跌", 5, "5.00", 40, 220},     {"开盘", 100, "100.50", 135, 220},
                {"幅度", 5, "4.99%", 40, 250},    {"最高", 100, "106.00", 135, 250},
                {"昨收", 5, "100.00", 40, 280},   {"最低", 100, "98.00", 135, 280},
                {"现均", 5, "102.00", 40, 310},   {"昨均", 100, "101.00", 135, 310}};
    for (const auto& row : rows) {
        const std::vector<DrawRecord> captions = canvas.TextsEqual(row.caption);
        ASSERT_EQ(captions.size(), 1u) << row.caption;
        EXPECT_EQ(captions[0].points[0], (Point{800 + row.x, row.y})) << row.caption;
        EXPECT_EQ(captions[0].colour, kPanelLabel) << row.caption;
        bool beside = false;
        for (const DrawRecord& figure : canvas.TextsEqual(row.figure))
            beside = beside || figure.points[0] == Point{800 + row.figureX, row.y};
        EXPECT_TRUE(beside) << row.figure << " beside " << row.caption;
    }
}

TEST(QuotePanel, SixDigitPricesStayInTheirColumns) {
    CQeltGoods g = Quote();
    g.invest_price = "166200.00";  // left column, at 50: 48 pixels to the right column
    g.sale_price = "166230.00";    // right column, at 145: 54 pixels to the panel's edge
    const Rect panel{800, 0, 1000, 580};
    RecordingCanvas canvas;
    DrawQuotePanel(canvas, panel, g, KLineStyle{});
    for (const auto& [text, room] : {std::pair{"166200.00", 48}, std::pair{"166230.00", 54}}) {
        const DrawRecord r = canvas.TextsEqual(text).at(0);
        EXPECT_LE(static_cast<int>(std::string_view(text).size()) * r.font.height / 2, room) << text;
    }
    EXPECT_EQ(canvas.TextsEqual("申卖价")[0].font.height, KLineStyle{}.text.height) << "labels as they were";
}

TEST(QuotePanel, TradesRunBottomUpAndStopBelowTheQuote) {
    CQeltGoods g = Quote();
    for (int i = 0; i < 20; ++i)
        g.trades.push_back({FormatInt(i), FormatFixed2(100 + (i % 3)), "0", "0", "20070305", FormatInt(i),
                            "1", "id" + FormatInt(i)});
    const Rect panel{800, 0, 1000, 580};
    RecordingCanvas canvas;
    DrawQuotePanel(canvas, panel, g, KLineStyle{});
    // Rows from 564 up in steps of 16 while a row starts at 360 or lower: 564 .. 372, 13 rows.
    EXPECT_EQ(canvas.TextsEqual("020")[0].points[0], (Point{805, 564})) << "the newest trade at the bottom";
    EXPECT_EQ(canvas.TextsEqual("008")[0].points[0], (Point{805, 372}));
    EXPECT_TRUE(canvas.TextsEqual("007").empty());
    // Trade 20 traded at 101 after 100: up; trade 19 at 100 after 102: down.
    bool rise = false, fall = false;
    for (const DrawRecord& r : canvas.Of(DrawOp::Text)) {
        if (r.points[0] == Point{920, 564}) rise = r.text == "101.00" && r.colour == kPanelRise;
        if (r.points[0] == Point{920, 548}) fall = r.text == "100.00" && r.colour == kPanelFall;
    }
    EXPECT_TRUE(rise);
    EXPECT_TRUE(fall);
}

}  // namespace
}  // namespace qelt
