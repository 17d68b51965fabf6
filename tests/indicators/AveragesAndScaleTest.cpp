// The scale-rounding rule and the three averaging rules every pane shares.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "indicators/Averages.h"
#include "indicators/PaneScale.h"

namespace qelt {
namespace {

struct Rounded {
    float top, bottom, step;
};

Rounded Round(float top, float bottom, int divisions) {
    float step = RoundScale(top, bottom, divisions);
    return {top, bottom, step};
}

TEST(RoundScale, WorkedExamplesKeepOneSignificantDigitAndHalfAStepOfMargin) {
    // Raw step 5.04 -> 0.0504 (k = 2) -> 0.0604 -> 6 -> 0.06 -> 6.
    Rounded r = Round(37.3f, 12.1f, 5);
    EXPECT_NEAR(r.step, 6.0f, 1e-5);
    EXPECT_NEAR(r.bottom, 9.1f, 1e-4);
    EXPECT_NEAR(r.top, 40.3f, 1e-4);

    // Equal ends open by 0.05 on each side; the step is not rounded.
    r = Round(10.0f, 10.0f, 5);
    EXPECT_NEAR(r.step, 0.02f, 1e-6);
    EXPECT_NEAR(r.bottom, 9.94f, 1e-5);
    EXPECT_NEAR(r.top, 10.06f, 1e-5);

    // 0.02 + 0.01 kept as a 32-bit float truncates back to 2: the step stays 20, not 30.
    r = Round(100.0f, 0.0f, 5);
    EXPECT_NEAR(r.step, 20.0f, 1e-4);
    EXPECT_NEAR(r.bottom, -10.0f, 1e-4);
    EXPECT_NEAR(r.top, 110.0f, 1e-4);

    // Small ranges are not scaled down: 0.6 / 3 = 0.2 -> 0.02 (k = 1) -> 0.02 -> 0.2.
    r = Round(0.3f, -0.3f, 3);
    EXPECT_NEAR(r.step, 0.2f, 1e-6);
}

TEST(RoundScale, RangesThatAreNotFiniteOrInvertedAreLeftAloneWithoutLooping) {
    const float inf = std::numeric_limits<float>::infinity();
    Rounded r = Round(inf, 0.0f, 5);
    EXPECT_EQ(r.step, 0.0f);
    EXPECT_EQ(r.top, inf);
    r = Round(3.0e38f, -3.0e38f, 5);  // the difference overflows
    EXPECT_EQ(r.step, 0.0f);
    r = Round(-9999.0f, 9999.0f, 5);  // a search that found nothing
    EXPECT_EQ(r.step, 0.0f);
    EXPECT_EQ(r.top, -9999.0f);
}

TEST(PaneScale, RowsTruncateAndFarValuesStayWithinTheIntRange) {
    PaneScale scale;
    scale.top = 110;
    scale.bottom = -10;
    scale.unitsPerPixel = 120.0f / 100.0f;
    scale.baseY = 300;
    EXPECT_EQ(scale.Y(-10), 300);
    EXPECT_EQ(scale.Y(50), 250);
    EXPECT_EQ(scale.Y(51), 249);  // 300 - 50.83 = 249.17
    EXPECT_EQ(scale.Y(1e30), -(1 << 24));
    EXPECT_EQ(scale.Y(std::nan("")), -(1 << 24));
    EXPECT_NEAR(scale.ValueAt(250), 50.0, 1e-4);
}

TEST(PaneScale, FourRowsAtATimeAreTheRowsOneAtATime) {
    // Values near the rounding of a row, far beyond the int range, at the clamp's edges and
    // not finite, through both ways a pane maps (units per pixel, pixels per unit).
    const float inf = std::numeric_limits<float>::infinity();
    const std::vector<double> values = {-10.0, 50.0,  50.83, 51.0, 1e30, -1e30, std::nan(""),
                                        inf,   -inf,  0.0,   -0.0, 2e7,  -2e7,  16777216.0 * 1.2,
                                        1e-9,  3.4e38};
    for (bool byPixels : {false, true}) {
        PaneScale scale;
        scale.bottom = -10;
        scale.unitsPerPixel = 1.2f;
        scale.byPixelsPerUnit = byPixels;
        scale.pixelsPerUnit = 0.75f;
        scale.baseY = 300;
        for (std::size_t i = 0; i + 4 <= values.size(); ++i) {
            const lanes::Ints rows = scale.Y(values.data() + i);
            for (int k = 0; k < 4; ++k)
                EXPECT_EQ(rows[k], scale.Y(values[i + static_cast<std::size_t>(k)]))
                    << values[i + static_cast<std::size_t>(k)] << (byPixels ? " by pixels" : "");
        }
    }
    const float coordinates[] = {0.5f,         -0.5f, 16777215.0f, 16777216.0f,   16777218.0f, -16777216.0f,
                                 -16777218.0f, 1e30f, -1e30f,      std::nanf(""), inf,         -inf};
    for (std::size_t i = 0; i + 4 <= std::size(coordinates); ++i) {
        const lanes::Ints pixels = TruncatePixels(lanes::Load(coordinates + i));
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(pixels[k], TruncatePixel(coordinates[i + static_cast<std::size_t>(k)]));
    }
}

IndicatorLine Line(int first, std::vector<double> values) {
    return IndicatorLine{"x", first, std::move(values)};
}

TEST(Averages, BarFieldAverageStartsAtBarPMinusOneAndStoresTinyValuesAsZero) {
    const float field[] = {1, 2, 3, 4, 5, -9};
    IndicatorLine average = BarFieldMovingAverage(field, 6, 3);
    EXPECT_EQ(average.first, 2);
    EXPECT_EQ(average.values, (std::vector<double>{2, 3, 4, 0}));
    const float tiny[] = {-0.002f, 0.0f, 0.0f, 0.003f};
    EXPECT_EQ(BarFieldMovingAverage(tiny, 4, 3).values, (std::vector<double>{0.0, 0.001f}))
        << "|-0.00067| < 0.001 is stored as 0, 0.001 itself is kept";
    EXPECT_TRUE(BarFieldMovingAverage(field, 6, 0).Empty());
    EXPECT_TRUE(BarFieldMovingAverage(field, 6, 7).Empty());
    EXPECT_TRUE(BarFieldMovingAverage(field, 0, 1).Empty());
    const std::int32_t volumes[] = {100, 200, 300};
    EXPECT_EQ(BarFieldMovingAverage(volumes, 3, 2).values, (std::vector<double>{150, 250}));
}

TEST(Averages, SeriesAverageShiftsByPMinusOneAndPartialWindowAveragesWhatIsThere) {
    IndicatorLine input = Line(10, {2, 4, 6, 8, 0.0003});
    IndicatorLine series = SeriesMovingAverage(input, 2);
    EXPECT_EQ(series.first, 11);
    EXPECT_EQ(series.values.size(), 4u);
    EXPECT_FLOAT_EQ(series.values[3], 4.00015f) << "no 0.001 rule on computed series";
    EXPECT_TRUE(SeriesMovingAverage(input, 6).Empty());
    EXPECT_TRUE(SeriesMovingAverage(input, 0).Empty());

    IndicatorLine partial = PartialWindowAverage(Line(10, {2, 4, 6, 8}), 3);
    EXPECT_EQ(partial.first, 10);
    EXPECT_EQ(partial.values, (std::vector<double>{2, 3, 4, 6}))
        << "means of 1, 2, 3 elements, then the last 3";
    EXPECT_TRUE(PartialWindowAverage(input, 0).Empty());
}

}  // namespace
}  // namespace qelt
