// A contract quoted near 166,000 yuan in the K-line view: the moving averages read to the
// cent however long the series, and the tips show every price whole within their frames.
#include <gtest/gtest.h>

#include <cstdint>

#include "support/KLineTestSupport.h"
#include "views/kline/BarTips.h"

namespace qelt {
namespace {

/// `n` day bars near 166,230 whose closes are whole multiples of 0.60 yuan, so that every
/// average over 5, 10, 20, 30 or 60 bars is a whole number of cents; `units` receives the
/// closes in those 0.60 units.
BarSeries SixDigitDays(int n, std::vector<std::int64_t>& units) {
    BarSeries bars = test::KLineDays(n);
    std::uint32_t state = 12345;
    std::int64_t unit = 277050;  // 166,230.00
    units.clear();
    for (CBarRow& bar : bars) {
        state = state * 1103515245u + 12345u;
        unit += static_cast<int>((state >> 16) % 101) - 50;
        units.push_back(unit);
        const double close = static_cast<double>(unit) * 0.6, open = close + ((state >> 8) % 2 ? 3.6 : -3.6);
        bar.Set(kBarOpen, FormatFixed2(open));
        bar.Set(kBarClose, FormatFixed2(close));
        bar.Set(kBarHigh, FormatFixed2(std::max(open, close) + 1.2));
        bar.Set(kBarLow, FormatFixed2(std::min(open, close) - 1.2));
    }
    return bars;
}

/// Every text a tip painted ends within `room` pixels of the tip's left edge, measured in
/// its own font on a recording canvas.
void ExpectTextsWithin(const RecordingCanvas& tip, int room) {
    RecordingCanvas measure;
    for (const DrawRecord& r : tip.Of(DrawOp::Text)) {
        measure.SelectFont(r.font);
        EXPECT_LE(r.points[0].x + measure.TextExtent(r.text).cx, room) << r.text << " is cut";
    }
}

class KLineSixDigits : public ::testing::Test, public test::KLineFixture {
  protected:
    KLineSixDigits() : KLineFixture(0) {
        CQeltGoods& goods = services.mainList[0];
        goods.series = SixDigitDays(3000, units);
        // Today's quote is the newest bar as it stands.
        const CBarRow& last = goods.series.back();
        goods.last_date = std::string(last[kBarDate]);
        goods.price = goods.newest_price = std::string(last[kBarClose]);
        goods.highest_price = std::string(last[kBarHigh]);
        goods.lowest_price = std::string(last[kBarLow]);
        goods.all_num = std::string(last[kBarNum]);
        goods.avg_price = std::string(last[kBarAvg]);
        goods.pure_num = std::string(last[kBarPure]);
        goods.null_num = std::string(last[kBarNull]);
        Open();
        Paint();
    }
    /// "MA<p>:" with the exact mean of the closes of bars bar - p + 1 .. bar, to the cent.
    std::string ExpectedLabel(int period, int bar) const {
        std::int64_t sum = 0;
        for (int i = bar - period + 1; i <= bar; ++i) sum += units[static_cast<std::size_t>(i)];
        const std::int64_t cents = sum * 60 / period;
        return "MA" + FormatInt(period) + ":" + FormatFixed2(static_cast<double>(cents) / 100.0);
    }
    std::vector<std::int64_t> units;
};

TEST_F(KLineSixDigits, MovingAverageLabelsReadTheExactAverageToTheCent) {
    const MainPaneGeometry& g = view->MainPane();
    ASSERT_EQ(view->Window().lastVisible, 2999);
    // The cursor on bars across the window, the newest last: the running sums have added
    // and taken off some 3,000 six-digit closes by then.
    for (int bar = 2901; bar <= 2999; bar += 7) {
        view->OnMouseMove(Mouse(g.BarCentreX(bar), 200));
        ASSERT_EQ(view->Window().cursor, bar);
        const RecordingCanvas& c = Paint();
        for (int period : {5, 10, 20, 30, 60})
            EXPECT_EQ(c.TextsEqual(ExpectedLabel(period, bar)).size(), 1u) << ExpectedLabel(period, bar);
    }
}

TEST_F(KLineSixDigits, TheTipsAreAsWideAsTheirSixDigitTextsNeed) {
    // The bar tip of a bar body under the pointer (the crosshair off).
    const MainPaneGeometry& g = view->MainPane();
    const int bar = 2990;
    const CBarRow& row = view->Series()[bar];
    const int y = (g.PriceToY(LeadingDouble(row[kBarOpen])) + g.PriceToY(LeadingDouble(row[kBarClose]))) / 2;
    view->OnMouseMove(Mouse(g.BarCentreX(bar), y));
    Paint();
    ASSERT_EQ(host.overlays.count(kBarTipOverlay), 1u);
    const Rect barTip = host.overlays[kBarTipOverlay];
    EXPECT_GE(barTip.Width(), kBarTipWidth);
    EXPECT_GE(barTip.Height(), kBarTipHeight);
    RecordingCanvas tip;
    host.overlayPainters[kBarTipOverlay](tip, {barTip.Width(), barTip.Height()});
    ASSERT_EQ(tip.TextsEqual("开盘:" + std::string(row[kBarOpen])).size(), 1u);
    ExpectTextsWithin(tip, barTip.Width());
    EXPECT_LE(tip.Of(DrawOp::Text).back().points[0].y + 14, barTip.Height()) << "the last line too";

    // The data tip beside the crosshair, inside its red frame (2 pixels in from the right).
    view->OnKey(Key(ViewKey::Left));
    Paint();
    ASSERT_EQ(host.overlays.count(kDataTipOverlay), 1u);
    const Rect dataTip = host.overlays[kDataTipOverlay];
    EXPECT_EQ(dataTip.top, 30);
    EXPECT_LE(dataTip.right, view->MainPane().axisX) << "wherever it goes, left of the value axis";
    EXPECT_GE(dataTip.Width(), kDataTipWidth);
    tip.Clear();
    host.overlayPainters[kDataTipOverlay](tip, {dataTip.Width(), dataTip.Height()});
    ASSERT_EQ(tip.TextsEqual(std::string(view->Series()[view->Window().cursor][kBarClose])).size(), 1u);
    ExpectTextsWithin(tip, dataTip.Width() - 2);
}

TEST(TipWidths, LongTextsWidenTheTipsAndShortOnesKeepTheirSize) {
    InfoTipContent bar;
    bar.caption = "2007/06/25/一";
    bar.lines = {"开盘:166230.60", "成交量:1234567"};
    RecordingCanvas measure;
    measure.SelectFont(Font{"宋体", 9, 400});
    const Size size = BarTipSize(measure, bar, {80, 150});
    EXPECT_EQ(size.cx, 2 + 14 * 7 + 2) << "开盘:166230.60: 14 bytes of Arial 14";
    EXPECT_EQ(size.cy, 150);
    EXPECT_EQ(measure.CurrentFont(), (Font{"宋体", 9, 400})) << "the measuring canvas keeps its font";
    bar.caption.clear();
    bar.lines = {"开盘:9.50"};
    EXPECT_EQ(BarTipSize(measure, bar, {80, 150}), (Size{80, 150}));
    bar.lines.assign(12, "x");
    EXPECT_EQ(BarTipSize(measure, bar, {80, 150}).cy, 25 + 12 * 15 + 5) << "every line below the caption";

    DataTipContent data;
    data.bar.open = "9.50";
    EXPECT_EQ(DataTipWidth(measure, data), kDataTipWidth);
    data.bar.nullNum = "123456789012";
    EXPECT_EQ(DataTipWidth(measure, data), 20 + 12 * 6 + 3) << "values at x 20 in 宋体 12";
}

}  // namespace
}  // namespace qelt
