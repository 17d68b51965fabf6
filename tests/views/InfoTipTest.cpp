// The info tip's layouts: the bar tips (1, 2) and the record tip (3, 4).
#include <gtest/gtest.h>

#include "gfx/RecordingCanvas.h"
#include "views/controls/InfoTipPainter.h"

namespace qelt {
namespace {

TEST(InfoTip, LayoutOneHasCaptionBandAndLinesEveryFifteenPixels) {
    InfoTipContent tip;
    tip.caption = "2007/03/05/一";
    tip.lines = {"开盘:1500.00", "最高:1523.00"};
    RecordingCanvas canvas;
    PaintInfoTip(canvas, tip, 80, 100);
    auto fills = canvas.Of(DrawOp::FillRect);
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0].colour, 0xFFFFFFu);
    EXPECT_EQ(fills[1].rect, (Rect{0, 0, 80, 20}));
    EXPECT_EQ(fills[1].colour, 0x96643Cu);
    auto caption = canvas.TextsEqual(tip.caption);
    ASSERT_EQ(caption.size(), 1u);
    EXPECT_EQ(caption[0].points[0], (Point{2, 3}));
    EXPECT_EQ(caption[0].font, (Font{"Arial", 14, 400}));
    EXPECT_EQ(canvas.TextsEqual("最高:1523.00")[0].points[0], (Point{2, 40}));

    tip.caption.clear();
    RecordingCanvas bare;
    PaintInfoTip(bare, tip, 80, 100);
    EXPECT_EQ(bare.Of(DrawOp::FillRect).size(), 1u);
}

TEST(InfoTip, LayoutTwoColoursValuesAgainstTheOpen) {
    InfoTipContent tip;
    tip.layout = 2;
    tip.bar = {"20070305", "100.00", "90.00", "110.00", "90.00", "95.00", "12", "30", "-2", "40"};
    RecordingCanvas canvas;
    PaintInfoTip(canvas, tip, 85, 400);
    EXPECT_EQ(canvas.TextsEqual("2007-03-05")[0].points[0], (Point{6, 21}));
    EXPECT_EQ(canvas.TextsEqual("110.00")[0].colour, kTipRise);
    EXPECT_EQ(canvas.TextsEqual("-10.00")[0].colour, kTipFall);
    EXPECT_EQ(canvas.TextsEqual("-10.00%")[0].points[0], (Point{20, 213}));
    EXPECT_EQ(canvas.TextsEqual("100.00")[0].colour, 0xFFFFFFu);
    EXPECT_EQ(canvas.TextsEqual("30")[0].colour, kTipLabel);
    EXPECT_EQ(canvas.TextsEqual("购销总量")[0].points[0], (Point{8, 357}));
}

TEST(InfoTip, RecordLayoutColoursAgainstTheComparisonPrice) {
    InfoTipContent tip;
    tip.layout = 3;
    tip.record = {"20240110", "007", "12.50", "12.00", "340", "-5", "--"};
    RecordingCanvas canvas;
    PaintInfoTip(canvas, tip, 58, 270);
    EXPECT_EQ(canvas.Of(DrawOp::FillRect)[0].colour, 0x1E1E1Eu);
    EXPECT_EQ(canvas.TextsEqual("01-10")[0].points[0], (Point{4, 27}));
    EXPECT_EQ(canvas.TextsEqual("小 节")[0].points[0], (Point{8, 43}));
    EXPECT_EQ(canvas.TextsEqual("12.50")[0].colour, kTipRise);
    EXPECT_EQ(canvas.TextsEqual("12.50")[0].font, (Font{"Arial", 14, 600}));
    EXPECT_EQ(canvas.TextsEqual("4.17%")[0].points[0], (Point{4, 123}));
    EXPECT_EQ(canvas.TextsEqual("0.50")[0].colour, kTipRise);
    EXPECT_EQ(canvas.TextsEqual("购销变化")[0].points[0], (Point{0, 203}));
    EXPECT_EQ(canvas.TextsEqual("-5")[0].colour, kTipLabel);

    // A time instead of a section, a comparison price without an integer part, no date.
    tip.layout = 4;
    tip.record = {"", "09:31", "0.40", "0.50", "0", "0", "--"};
    RecordingCanvas other;
    PaintInfoTip(other, tip, 58, 270);
    EXPECT_FALSE(other.TextsEqual("时 间").empty());
    EXPECT_FALSE(other.TextsEqual("---").empty());
    EXPECT_EQ(other.TextsEqual("0.00")[0].points[0], (Point{4, 123})) << "no percentage against 0.50";
    EXPECT_EQ(other.TextsEqual("0.40")[0].colour, kTipFall);
}

}  // namespace
}  // namespace qelt
