// MACD, DMI, BOLL, SAR, JS, CDP and EXPMA: hand-computed values and their panes.
#include <gtest/gtest.h>

#include <cmath>

#include "PaneTestSupport.h"

namespace qelt {
namespace {

using test::Bars;
using test::Closes;
using test::Compute;
using test::PaneDrawing;

TEST(Macd, AConstantTypicalPriceIsZeroEverywhereAndTakesTheEqualRangeScale) {
    IndicatorResult macd = Compute(21, Closes(std::vector<double>(40, 12.5)));
    for (const IndicatorLine& line : macd.lines) {
        for (double v : line.values) EXPECT_EQ(v, 0.0) << line.name;
    }
    PaneDrawing d;
    d.Draw(21, Closes(std::vector<double>(40, 12.5)));
    // T = B = 0 opens to +-0.05 and half a step of 0.01: the labels read -T/2, 0, T/2.
    EXPECT_EQ(d.AxisLabels(), (std::vector<std::string>{"-0.03", "0.00", "0.03"}));
}

TEST(Macd, TheFastAverageIsAPlainMeanForItsFirstBarsAndTheSignalLineHasNoWarmUp) {
    IndicatorParameters table;
    table[param::kMacdSlow] = 1;  // the slow average is then the typical price itself
    IndicatorResult macd = Compute(21, Closes({1, 2, 3, 4, 5, 6, 7}), table);
    EXPECT_FLOAT_EQ(macd.lines[0].values[5], 3.5f - 6.0f) << "mean of the first six minus the sixth";
    EXPECT_FLOAT_EQ(macd.lines[0].values[1], -0.5f);
    EXPECT_FLOAT_EQ(macd.lines[1].values[1], -0.1f) << "0.8 * 0 + 0.2 * DIF from bar 0 on";
    EXPECT_FLOAT_EQ(macd.lines[2].values[1], 2.0f * (-0.5f + 0.1f));
}

TEST(Macd, PastTheirWarmUpBothAveragesWeighTheNewBarByTwoOverThePeriodPlusOne) {
    // Fast 2, slow 3, signal 9 over the typical prices 1 .. 5 (by hand):
    // fast  1, 1.5, then 1.5/3 + 3·2/3 = 2.5, 2.5/3 + 4·2/3 = 3.5, 4.5;
    // slow  1, 1.5, 2 (the mean of three), then 2/2 + 4/2 = 3, 3/2 + 5/2 = 4;
    // DIF 0, 0, 0.5, 0.5, 0.5; DEA 0, 0, 0.1, 0.18, 0.244; MACD = 2 (DIF - DEA).
    IndicatorParameters table;
    table[param::kMacdFast] = 2;
    table[param::kMacdSlow] = 3;
    const IndicatorResult macd = Compute(21, Closes({1, 2, 3, 4, 5}), table);
    const std::vector<double> dif{0, 0, 0.5, 0.5, 0.5}, dea{0, 0, 0.1, 0.18, 0.244};
    ASSERT_EQ(macd.lines[0].values.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_NEAR(macd.lines[0].values[i], dif[i], 1e-5) << "DIF at bar " << i;
        EXPECT_NEAR(macd.lines[1].values[i], dea[i], 1e-5) << "DEA at bar " << i;
        EXPECT_NEAR(macd.lines[2].values[i], 2 * (dif[i] - dea[i]), 1e-5) << "MACD at bar " << i;
    }
}

TEST(Dmi, AFlatWindowHasNoTrueRangeAndGivesZero) {
    IndicatorResult dmi = Compute(22, Closes(std::vector<double>(30, 7)));
    for (const IndicatorLine& line : dmi.lines) {
        ASSERT_FALSE(line.Empty());
        for (double v : line.values) EXPECT_EQ(v, 0.0) << line.name;
    }
    // Only up moves of 1 with true ranges 1, 2, 3, summed over the last two bars.
    IndicatorParameters table;
    table[param::kDmiPeriod] = 2;
    table[param::kDmiAverage] = 2;
    dmi = Compute(22, Bars({{1, 2, 2, 1}, {1, 3, 3, 1}, {1, 4, 4, 1}}), table);
    EXPECT_FLOAT_EQ(dmi.lines[0].values[1], 100.0f * 1.0f / 3.0f);
    EXPECT_FLOAT_EQ(dmi.lines[0].values[2], 100.0f * 2.0f / 5.0f) << "the first bar's values left the sums";
    EXPECT_FLOAT_EQ(dmi.lines[1].values[2], 0.0f);
    EXPECT_FLOAT_EQ(dmi.lines[2].values[2], 100.0f);
    EXPECT_FLOAT_EQ(dmi.lines[3].values[0], 0.0f) << "ADXR starts as the first ADX";
    EXPECT_FLOAT_EQ(dmi.lines[3].values[2], 100.0f);
}

TEST(Boll, NearTheStartTheDeviationDividesByTheTermsSoFarAndBandsCentreOnThePreviousAverage) {
    IndicatorParameters table;
    table[param::kBoll] = 4;
    // MID of bar k + 3 is k + 2.5; each new close lies 1.5 above its average.
    IndicatorResult boll = Compute(23, Closes({1, 2, 3, 4, 5, 6, 7}), table);
    const IndicatorLine& upper = boll.lines[1];
    EXPECT_EQ(upper.first, 3);
    EXPECT_FLOAT_EQ(upper.values[0], 2.5f + 3.0f) << "Z / 1 at k = 0, centred on MID[0]";
    EXPECT_FLOAT_EQ(upper.values[1], 2.5f + 3.0f) << "centred on the previous average, MID[0]";
    // k = 3: the oldest term leaves, Z = 3 * 2.25 is divided by P = 4.
    EXPECT_FLOAT_EQ(upper.values[3], 4.5f + 2.0f * std::sqrt(6.75f / 4.0f));
    EXPECT_FLOAT_EQ(boll.lines[2].values[3], 4.5f - 2.0f * std::sqrt(6.75f / 4.0f));
    table[param::kBoll] = 0;
    EXPECT_FALSE(Compute(23, Closes({1, 2, 3}), table).valid);
}

TEST(Sar, TheFactorPassesItsCeilingInFloatsAndRisingDotsSitBelowTheCandles) {
    std::vector<test::TestBar> rising;
    for (int i = 0; i < 30; ++i) rising.push_back({10.0 + i, 10.5 + i, 11.0 + i, 9.5 + i});
    const BarSeries bars = Bars(rising);
    IndicatorResult sar = Compute(24, bars);
    const IndicatorLine& line = sar.lines[0];
    EXPECT_EQ(line.first, 3);
    // Each step: SAR = prev + (H[i-1] - prev) * AF, so AF can be read back.
    std::vector<float> factors;
    for (int i = 4; i < 30; ++i) {
        const float previous = static_cast<float>(*line.At(i - 1));
        const float high = static_cast<float>(11.0 + (i - 1));
        factors.push_back((static_cast<float>(*line.At(i)) - previous) / (high - previous));
    }
    EXPECT_NEAR(factors[0], 0.04f, 1e-4);
    EXPECT_NEAR(factors[8], 0.20f, 1e-4);
    EXPECT_NEAR(factors[9], 0.22f, 1e-4) << "the tenth value lies a hair below 0.20 and is raised once more";
    EXPECT_NEAR(factors.back(), 0.22f, 1e-4);
    for (std::uint8_t r : sar.rising) EXPECT_EQ(r, 1);

    PaneDrawing d;
    d.Draw(24, bars);
    const auto dots = d.canvas.Of(DrawOp::Ellipse);
    ASSERT_EQ(dots.size(), 27u);
    const auto bodies = d.canvas.Of(DrawOp::Rectangle);
    ASSERT_EQ(bodies.size(), 30u);
    EXPECT_EQ(dots.back().pen.colour, Rgb(255, 50, 50));
    EXPECT_GE(dots.back().rect.top, bodies.back().rect.bottom) << "the dot hangs below the rising body";
    EXPECT_EQ(bodies.back().brush, Brush::Hollow());
}

TEST(Sar, TheTitleShowsTheInitialFactorBeforeTheStepAndNBelowTwoIsRefused) {
    PaneDrawing d;
    d.table[param::kSarPeriod] = 5;
    d.table[param::kSarStep] = 3;
    d.table[param::kSarInitial] = 2;
    d.table[param::kSarCeiling] = 25;
    d.Draw(24, Closes({1, 2, 3}));
    ASSERT_NE(d.TextStarting("SAR("), nullptr);
    EXPECT_EQ(d.TextStarting("SAR(")->text, "SAR(5,2,3,25)");
    EXPECT_EQ(d.TextStarting("SAR(")->colour, d.scheme.title);

    d.table[param::kSarPeriod] = 1;
    EXPECT_FALSE(Compute(24, Closes({1, 2, 3, 4}), d.table).valid);
    d.Draw(24, Closes({1, 2, 3, 4}));
    EXPECT_EQ(d.canvas.Texts(), (std::vector<std::string>{"SAR(1,2,3,25)"})) << "the title and nothing else";
    EXPECT_TRUE(d.canvas.Of(DrawOp::Ellipse).empty());
}

TEST(Js, AReferenceBeforeTheSeriesIsTheFirstOpenAndAZeroReferenceIsNotDrawn) {
    IndicatorParameters table;
    table[param::kJsPeriod] = 1;  // R1 one bar back, R2 one bar back too
    IndicatorResult js = Compute(25, Bars({{4, 5, 5, 4}, {5, 6, 6, 5}}), table);
    EXPECT_FLOAT_EQ(js.lines[0].values[0], (5.0f - 4.0f) / 4.0f) << "bar 0 refers to O[0]";
    EXPECT_FLOAT_EQ(js.lines[0].values[1], (6.0f - 5.0f) / 5.0f);

    PaneDrawing d;
    d.table = table;
    const BarSeries bars = Bars({{4, 5, 5, 4}, {5, 0, 5, 0}, {1, 2, 2, 1}, {2, 3, 3, 2}, {3, 4, 4, 3}});
    EXPECT_FALSE(Compute(25, bars, table).lines[0].At(2).has_value());
    d.Draw(25, bars);
    for (const DrawRecord& line : d.Polylines()) {
        for (const Point& p : line.points) EXPECT_GT(p.y, -100000);
    }
    EXPECT_FALSE(d.AxisLabels().empty());
}

TEST(Cdp, TheFirstBarOfTheSeriesHasNoPreviousRange) {
    IndicatorResult cdp = Compute(26, Bars({{10, 12, 13, 8}, {12, 11, 12, 10}}));
    const float first = (13.0f + 8.0f + 12.0f) / 3.0f;
    EXPECT_FLOAT_EQ(cdp.lines[0].values[0], first);
    EXPECT_FLOAT_EQ(cdp.lines[1].values[0], first) << "AH = AL = CDP";
    EXPECT_FLOAT_EQ(cdp.lines[2].values[0], first);
    EXPECT_FLOAT_EQ(cdp.lines[1].values[1], (12.0f + 10.0f + 11.0f) / 3.0f + 5.0f) << "R = 13 - 8 of bar 0";
    EXPECT_FLOAT_EQ(cdp.lines[3].values[1], 2.0f * 11.0f - 10.0f);
}

TEST(Expma, ScrollingLeftRestartsBothAveragesAtTheNewFirstBar) {
    const BarSeries bars = Bars({{10, 11, 11, 10}, {11, 13, 13, 11}, {13, 12, 13, 12}, {12, 15, 15, 12}});
    IndicatorResult now = Compute(27, bars, {}, 2);
    IndicatorResult scrolled = Compute(27, bars, {}, 2, 2);
    EXPECT_EQ(now.lines[0].first, 2);
    EXPECT_FLOAT_EQ(now.lines[0].values[0], 13.0f + (12.0f - 13.0f) * 2.0f / 13.0f)
        << "from O[f] with C[f] in";
    EXPECT_EQ(scrolled.lines[0].first, 1);
    EXPECT_NE(scrolled.lines[0].values[1], now.lines[0].values[0]) << "bar 2 changes with the window";
}

}  // namespace
}  // namespace qelt
