// RSI, ROC, KDJ, EMV, WR, ADTM, BBI, AMV and CCI: hand-computed values and their panes.
#include <gtest/gtest.h>

#include <cmath>

#include "PaneTestSupport.h"

namespace qelt {
namespace {

using test::Bars;
using test::Closes;
using test::Compute;
using test::PaneDrawing;

TEST(Rsi, SimpleSumsOfRisesAndFallsAndEqualClosesGiveZeroOnTheFullScale) {
    IndicatorParameters table;
    table[param::kRsi1] = 2;
    // Differences: bar 0 against its own open (10 - 9), then +1, -1, +2.
    IndicatorResult rsi =
        Compute(41, Bars({{9, 10, 10, 9}, {10, 11, 11, 10}, {11, 10, 11, 10}, {10, 12, 12, 10}}), table);
    EXPECT_FLOAT_EQ(rsi.lines[0].values[3], 100.0f * 2.0f / 3.0f) << "U = 2, D = -1 over bars 2..3";
    EXPECT_FLOAT_EQ(rsi.lines[0].values[1], 100.0f) << "U = 1 + 1, no fall";
    EXPECT_FLOAT_EQ(rsi.lines[0].values[0], 100.0f) << "bar 0 rose from its open";

    PaneDrawing d;
    d.Draw(41, Closes(std::vector<double>(30, 5)));
    for (const IndicatorLine& line : Compute(41, Closes(std::vector<double>(30, 5))).lines) {
        for (double v : line.values) EXPECT_EQ(v, 0.0);
    }
    // Top set to 100, bottom to 0: every level shows.
    EXPECT_EQ(d.AxisLabels(), (std::vector<std::string>{"20", "50", "80", "100"}));
}

TEST(Roc, AReferenceBeforeTheSeriesIsTheFirstCloseAndAZeroReferenceGivesZero) {
    IndicatorResult roc = Compute(42, Closes({4, 5, 6, 8}));
    EXPECT_FLOAT_EQ(roc.lines[0].values[3], (8.0f - 4.0f) * 100.0f / 4.0f);
    roc = Compute(42, Closes({0, 5, 6}));
    EXPECT_EQ(roc.lines[0].values, (std::vector<double>{0, 0, 0}));
}

TEST(Kdj, TheFirstComputedBarStartsFromFifty) {
    // RSV = 100 (8 - 0) / (10 - 0) = 80 with M1 = M2 = 3.
    IndicatorResult kdj = Compute(43, Bars({{5, 8, 10, 0}}));
    EXPECT_FLOAT_EQ(kdj.lines[0].values[0], 60.0f);
    EXPECT_NEAR(kdj.lines[1].values[0], 53.3333, 1e-4);
    EXPECT_NEAR(kdj.lines[2].values[0], 73.3333, 1e-4);
    // A flat window has no RSV: K and D drift toward 0 from 50.
    kdj = Compute(43, Closes({3, 3}));
    EXPECT_NEAR(kdj.lines[0].values[1], 50.0 * 4 / 9, 1e-4);
}

TEST(Wr, TheCloseAtTheHighestHighIsZeroAndAtTheLowestLowIs100) {
    IndicatorResult wr = Compute(45, Bars({{5, 5, 9, 1}, {5, 9, 9, 2}, {5, 1, 6, 1}}));
    EXPECT_EQ(wr.lines[0].At(1), 0.0) << "HH = C";
    EXPECT_EQ(wr.lines[0].At(2), 100.0) << "C = LL";
    EXPECT_EQ(Compute(45, Closes({4, 4})).lines[1].At(1), 0.0) << "a flat window";
    PaneDrawing d;
    d.Draw(45, Closes({4, 5}));
    EXPECT_EQ(d.AxisLabels(), (std::vector<std::string>{"20", "80", "100"}));
}

TEST(Adtm, UnchangedOpensGiveZeroAndTheScaleIsCappedToOne) {
    IndicatorResult adtm = Compute(46, Bars({{5, 6, 7, 4}, {5, 4, 6, 3}, {5, 5, 8, 2}}));
    for (double v : adtm.lines[0].values) EXPECT_EQ(v, 0.0);
    // Opens that only rise: ADTM = 1 from bar 1 on; the rounded top 1.1 is capped at 1.
    std::vector<test::TestBar> rising;
    for (int i = 0; i < 12; ++i) rising.push_back({10.0 + i, 10.5 + i, 11.0 + i, 9.0 + i});
    PaneDrawing d;
    d.mouse = {10, d.pane.top + 20};  // the top of the plot
    d.Draw(46, Bars(rising));
    EXPECT_EQ(d.canvas.Of(DrawOp::Text).back().text, "1.00");
}

TEST(Bbi, AverageOfFourAveragesOfTheAveragePriceRefusedWhenTheFourthIsNotTheLongest) {
    IndicatorParameters table;
    table[param::kBbi1] = 1;
    table[param::kBbi2] = 2;
    table[param::kBbi3] = 2;
    table[param::kBbi4] = 3;
    std::vector<test::TestBar> bars;
    for (double avg : {3.0, 6.0, 9.0}) bars.push_back({1, 1, 1, 1, 100, avg});  // closes differ from avg
    IndicatorResult bbi = Compute(47, Bars(bars), table);
    EXPECT_EQ(bbi.lines[0].first, 2);
    EXPECT_FLOAT_EQ(bbi.lines[0].values[0], (9.0f + 7.5f + 7.5f + 6.0f) / 4.0f);

    PaneDrawing d;
    d.table = table;
    d.table[param::kBbi4] = 1;
    EXPECT_FALSE(Compute(47, Bars(bars), d.table).valid);
    d.Draw(47, Bars(bars));
    EXPECT_EQ(d.canvas.Texts(), (std::vector<std::string>{"BBI(1,2,2,1)"}));
    EXPECT_TRUE(d.Polylines().empty());
}

TEST(Amv, ABarWithoutVolumeWeighsOne) {
    IndicatorParameters table;
    table[param::kAmv1] = 2;
    IndicatorResult amv = Compute(48, Bars({{2, 4, 4, 2, 0}, {4, 8, 8, 4, 0}, {8, 8, 8, 8, 2}}), table);
    EXPECT_FLOAT_EQ(amv.lines[0].values[1], (3.0f + 6.0f) / 2.0f);
    EXPECT_FLOAT_EQ(amv.lines[0].values[2], (6.0f + 2 * 8.0f) / 3.0f);
}

TEST(Cci, SmallValuesStillShowBothReferenceLinesAndNoMinusZero) {
    PaneDrawing d;
    d.Draw(49, Closes(std::vector<double>(30, 20)));
    // All CCI 0: top (0 + 1) * 100, bottom -100 lowered to -150, step 50.
    EXPECT_EQ(d.AxisLabels(), (std::vector<std::string>{"-100", "-50", "0"}));
    ASSERT_EQ(d.canvas.TextsEqual("100").size(), 1u);
    ASSERT_EQ(d.canvas.TextsEqual("-100").size(), 2u) << "the level and the reference line";
    EXPECT_EQ(d.canvas.TextsEqual("100")[0].colour, d.scheme.title);
    // The reference line at 100 is the plot's top row: h = 180 for 250.
    EXPECT_EQ(d.canvas.TextsEqual("100")[0].points[0].y, 300 - 180 - 8);

    // The deviation keeps its sign: the 0.15 factor makes values ten times smaller.
    IndicatorParameters table;
    table[param::kCci] = 2;
    IndicatorResult cci = Compute(49, Bars({{1, 10, 10, 10}, {1, 12, 13, 11}}), table);
    EXPECT_FLOAT_EQ(cci.lines[0].values[1], (12.0f - 11.0f) / (0.15f * ((11.0f - 12.0f) / 2.0f)))
        << "MA 11, MD = mean of (10 - 10, 11 - 12)";
}

TEST(Wr, LongWindowsFindTheSameExtremesAsAScanOverTheWindow) {
    // The extremes come from blocks of the window's length; a scan is the reference.
    std::vector<test::TestBar> bars;
    for (int i = 0; i < 300; ++i) {
        const double mid = 50 + 20 * std::sin(i * 0.37) + (i % 11);
        bars.push_back({mid, mid + (i % 3) - 1, mid + 3 + (i % 5), mid - 2 - (i % 7)});
    }
    const BarSeries series = Bars(bars);
    for (int window : {1, 2, 37, 64, 299, 1000}) {
        IndicatorParameters table;
        table[param::kWr1] = window;
        for (int visible : {40, 300}) {
            const IndicatorResult wr = Compute(45, series, table, visible, 250);
            const IndicatorLine& line = wr.lines[0];
            ASSERT_FALSE(line.Empty());
            for (int i = line.first; i <= line.Last(); ++i) {
                double hh = -1e9, ll = 1e9;
                for (int j = std::max(0, i - window + 1); j <= i; ++j) {
                    hh = std::max(hh, bars[j].high);
                    ll = std::min(ll, bars[j].low);
                }
                const float expected = static_cast<float>(100.0 * (hh - bars[i].close) / (hh - ll));
                ASSERT_NEAR(*line.At(i), expected, 1e-3) << "window " << window << " bar " << i;
            }
        }
    }
}

}  // namespace
}  // namespace qelt
