// The K-line view's arithmetic: pane layout and borders, the price scale, bar slots, zoom and
// the cursor keys, the visible extremes.
#include <gtest/gtest.h>

#include <cmath>

#include "chart/BarPainter.h"
#include "chart/KLineLayout.h"
#include "chart/MainPaneGeometry.h"
#include "chart/PriceScale.h"
#include "chart/WindowNavigation.h"

namespace qelt {
namespace {

CBarRow HighLowBar(std::string_view high, std::string_view low, std::string_view num = "1") {
    return CBarRow{"20070102", "10", "10", high, low, num, "10", "0", "0", "200706"};
}

TEST(PaneLayout, MainHeightFollowsTheWindowCountWithItsCapAndFloor) {
    // One window: the main pane ends 30 pixels above the client's bottom, whatever the cap.
    std::vector<Rect> one = LayOutPanes(1, {1000, 600}, true);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0], (Rect{0, 30, 800, 570}));
    // Eight windows on 600 pixels: 3 x 600 / 10 = 180 lifted to the 300 floor; seven panes of
    // (600 - 300 - 20) / 7 = 40 pixels. The main pane's bottom is the client top + h.
    std::vector<Rect> eight = LayOutPanes(8, {1000, 600}, false);
    ASSERT_EQ(eight.size(), 8u);
    EXPECT_EQ(eight[0], (Rect{0, 30, 1000, 300}));
    for (std::size_t i = 1; i < 8; ++i) EXPECT_EQ(eight[i].Height(), 40) << i;
    EXPECT_EQ(eight[1].top, 300);
    EXPECT_EQ(eight[7].bottom, 580);
    // Two windows on 600: 3 x 600 / 4 = 450 is capped at 0.7 H = 420.
    EXPECT_EQ(LayOutPanes(2, {1000, 600}, true)[0].bottom, 420);
    EXPECT_EQ(LayOutPanes(2, {1000, 600}, true)[1], (Rect{0, 420, 800, 580}));
    EXPECT_EQ(LayOutPanes(12, {1000, 600}, true).size(), 8u) << "no more than eight windows";
}

TEST(PaneLayout, BordersAreFoundNearTheirRowAndNoDragLeavesAPaneUnder31Pixels) {
    std::vector<Rect> panes = LayOutPanes(3, {1000, 800}, true);  // main to 480, then 150 each
    ASSERT_EQ(panes[1].top, 480);
    EXPECT_EQ(BorderAt(panes, {10, 482}), 1);
    EXPECT_EQ(BorderAt(panes, {10, 483}), -1);
    EXPECT_EQ(BorderAt(panes, {10, 632}), 2);
    EXPECT_EQ(BorderAt(panes, {800, 480}), -1) << "not over the quote panel";

    DragBorder(panes, 2, 520);
    EXPECT_EQ(panes[1].bottom, 520);
    EXPECT_EQ(panes[2].top, 520);
    // One quick move from 40 pixels to 15 (it may be the last before the button goes up):
    // the pane above stops at 31.
    DragBorder(panes, 2, 495);
    EXPECT_EQ(panes[1].Height(), 31);
    EXPECT_EQ(panes[2].top, 511);
    // Past the dragged pane's own bottom: it keeps 31 pixels instead of turning upside down.
    DragBorder(panes, 2, 900);
    EXPECT_EQ(panes[2].Height(), 31);
    EXPECT_EQ(panes[1].bottom, panes[2].top);
    DragBorder(panes, 1, 0);
    EXPECT_EQ(panes[0].Height(), 31) << "the main pane too";
    EXPECT_EQ(panes[1].top, panes[0].bottom);
    // Panes of 50 pixels together (a small window's layout) have no border row that keeps
    // both at 31.
    std::vector<Rect> cramped{{0, 30, 800, 50}, {0, 50, 800, 80}};
    DragBorder(cramped, 1, 60);
    EXPECT_EQ(cramped[0].bottom, 50) << "left as it was";
    EXPECT_EQ(cramped[1].top, 50);
}

TEST(PaneLayout, AnIndicatorCommandAddressesThePaneByTheFixedPaneHeight) {
    const std::vector<Rect> panes = LayOutPanes(3, {1000, 800}, true);  // lower panes 150 high
    EXPECT_EQ(PaneForIndicatorCommand(panes, 3, 800, 479), -1) << "pane 0 has no indicator to change";
    EXPECT_EQ(PaneForIndicatorCommand(panes, 3, 800, 480), 1);
    EXPECT_EQ(PaneForIndicatorCommand(panes, 3, 800, 640), 2);
    EXPECT_EQ(PaneForIndicatorCommand(panes, 3, 800, 790), 3) << "below the last pane: an index beyond it";
    const std::vector<Rect> single = LayOutPanes(1, {1000, 800}, true);
    EXPECT_EQ(PaneForIndicatorCommand(single, 1, 800, 790), -1) << "nothing to divide by with one window";
}

TEST(PriceScale, NiceStepRoundsTheLeadingDigitUpAndWidensByHalfAStep) {
    // 123.4 over 10 intervals: 12.34 -> 0.01234 after three divisions -> 0.02 -> 20.
    PriceScale scale = StandardPriceScale(223.4f, 100.0f, 30, 330);
    EXPECT_FLOAT_EQ(scale.step, 20.0f);
    EXPECT_FLOAT_EQ(scale.axisMin, 90.0f);
    EXPECT_FLOAT_EQ(scale.axisMax, 233.4f);
    EXPECT_FLOAT_EQ(scale.pricePerPixel, (233.4f - 90.0f) / 300.0f);
    EXPECT_EQ(scale.Y(scale.axisMin), 330);
    EXPECT_EQ(scale.Y(scale.axisMax), 30);
    EXPECT_NEAR(scale.PriceAt(scale.Y(150.0)), 150.0, scale.pricePerPixel);

    // high = low: the axis spans high +- 0.05 widened by half a step of 0.01: 0.11 in all.
    PriceScale flat = StandardPriceScale(10.0f, 10.0f, 0, 100);
    EXPECT_NEAR(flat.step, 0.01f, 1e-6);
    EXPECT_NEAR(flat.axisMax - flat.axisMin, 0.11f, 1e-5);
    EXPECT_NEAR(flat.axisMin, 9.945f, 1e-5);

    // A normalised 0.02 stays 0.02 (the single-precision sum), as the panes round; 0.01 stays 0.01.
    EXPECT_FLOAT_EQ(StandardPriceScale(200.0f, 0.0f, 0, 100).step, 20.0f);
    EXPECT_FLOAT_EQ(StandardPriceScale(100.0f, 0.0f, 0, 100).step, 10.0f);
}

TEST(PriceScale, PointAndFigureScaleIsWholeBoxes) {
    PriceScale scale = OXPriceScale(12.34f, 10.1f, 0.5f, 0, 100);
    EXPECT_FLOAT_EQ(scale.axisMax, 24 * 0.5f + 1.0f);
    EXPECT_FLOAT_EQ(scale.axisMin, 20 * 0.5f - 0.5f);
    EXPECT_FLOAT_EQ(scale.step, 0.5f + std::trunc((13.0f - 9.5f) / 5.0f) * 0.5f);
    EXPECT_EQ(OXPriceScale(12, 10, 0.0f, 0, 100).step, 0.0f) << "a box of 0 has no levels";
}

TEST(PriceScale, APaneOfOneRowSpansTheWholeRangeAndOneWithoutHeightHasNone) {
    // One row: the axis's whole range in that row, from the bottom edge up to the top.
    const PriceScale row = StandardPriceScale(223.4, 100.0, 50, 51);
    EXPECT_DOUBLE_EQ(row.pricePerPixel, row.axisMax - row.axisMin);
    EXPECT_EQ(row.Y(row.axisMin), 51);
    EXPECT_EQ(row.Y(row.axisMax), 50);
    const PriceScale ox = OXPriceScale(12.34, 10.1, 0.5, 7, 8);
    EXPECT_DOUBLE_EQ(ox.pricePerPixel, 13.0 - 9.5);
    // No height, or upside down: one price per pixel, never a division by nothing.
    for (const auto& [top, bottom] : {std::pair{40, 40}, std::pair{41, 40}}) {
        const PriceScale none = StandardPriceScale(223.4, 100.0, top, bottom);
        EXPECT_EQ(none.pricePerPixel, 1.0) << top << ".." << bottom;
        EXPECT_EQ(none.Y(none.axisMin), bottom);
    }
    EXPECT_EQ(StandardPriceScale(std::nan(""), 1.0, 0, 100).pricePerPixel, 1.0 / 100)
        << "a range that is not finite: 0..1 over the pane";
}

TEST(PriceScale, LogarithmicScaleGivesEqualRatiosEqualHeights) {
    PriceScale scale = StandardPriceScale(400.0f, 100.0f, 0, 300);
    MakeLogarithmic(scale);
    ASSERT_TRUE(scale.logarithmic);
    EXPECT_EQ(scale.Y(scale.axisMin), 300);
    EXPECT_EQ(scale.Y(scale.axisMax), 0);
    EXPECT_NEAR(scale.Y(100) - scale.Y(200), scale.Y(200) - scale.Y(400), 1);
    EXPECT_NEAR(scale.PriceAt(scale.Y(250.0)), 250.0, 2.0);
    PriceScale negative = StandardPriceScale(10.0f, -5.0f, 0, 300);
    MakeLogarithmic(negative);
    EXPECT_FALSE(negative.logarithmic) << "a range reaching 0 stays linear";
}

TEST(PriceScale, ALogarithmicScaleOverALinearAxisFromZeroStaysLinear) {
    // Lows of 0.5 and a step of 1 put the linear axis's bottom at exactly 0: no logarithm
    // reaches it, so the scale stays linear instead of mapping every price to no row at all.
    PriceScale scale = StandardPriceScale(10.0f, 0.5f, 0, 300);
    ASSERT_EQ(scale.axisMin, 0.0f);
    const PriceScale linear = scale;
    MakeLogarithmic(scale);
    EXPECT_FALSE(scale.logarithmic);
    for (double price : {0.5, 5.25, 10.0}) EXPECT_EQ(scale.Y(price), linear.Y(price)) << price;
    EXPECT_EQ(scale.Y(0.0), 300);
    EXPECT_NEAR(scale.PriceAt(150), 5.25, 0.05);
}

TEST(BarSlots, WidthIsCappedAndTheCursorAndAnchorsShareTheSlots) {
    const Rect pane{0, 30, 800, 330};
    EXPECT_FLOAT_EQ(BarWidth(pane, 5), 100.0f) << "740 / 5 capped at 100";
    EXPECT_FLOAT_EQ(BarWidth(pane, 20), 37.0f) << "20 bars with N = 100 became N = 20: 20 slots";
    EXPECT_EQ(BarWidth(pane, 0), 0.0f);
    // Five bars of 100 pixels: bodies 90 wide.
    const BarSlot slot = SlotAt(200.0f, 100.0f);
    EXPECT_EQ(slot.left, 200);
    EXPECT_EQ(slot.right, 290);
    EXPECT_EQ(slot.mid, 245);
    EXPECT_EQ(SlotAt(10.0f, 1.0f).right, 9) << "no room for a body: one pixel less";

    MainPaneGeometry g;
    g.pane = pane;
    g.axisX = 740;
    g.barWidth = 10.0f;
    g.lastVisible = 99;
    g.visibleCount = 50;
    g.seriesLength = 100;
    EXPECT_EQ(g.CursorBarAtX(0), 50);
    EXPECT_EQ(g.CursorBarAtX(495), 99);
    EXPECT_EQ(g.CursorBarAtX(5000), 99) << "never beyond the newest bar";
    EXPECT_EQ(g.BarCentreX(50), 5);
    EXPECT_EQ(g.AnchorBarAtX(g.AnchorX(60)), 60) << "an anchor maps back to itself";
    EXPECT_EQ(g.AnchorX(60), g.BarCentreX(60) + 10) << "anchors count from L - N, one slot on";
}

TEST(WindowMoves, ZoomHalvesToFiveAndNeverShowsMoreThanTheSeries) {
    SeriesWindow window;
    window.visibleCount = 7;
    window.lastVisible = 40;
    ZoomIn(window, 50);
    EXPECT_EQ(window.visibleCount, 5) << "7 / 2 = 3 is raised to 5";
    ZoomOut(window, 50);
    ZoomOut(window, 50);
    ZoomOut(window, 50);
    EXPECT_EQ(window.visibleCount, 40);
    ZoomOut(window, 50);
    EXPECT_EQ(window.visibleCount, 50);
    EXPECT_EQ(window.lastVisible, 49) << "showing every bar puts the newest at the right";
    window.visibleCount = 10;
    window.lastVisible = 3;
    ZoomIn(window, 50);
    EXPECT_EQ(window.lastVisible, 4) << "L - N < 0 moves L to N - 1";
}

TEST(WindowMoves, CursorKeysScrollTheWindowAtItsEdges) {
    SeriesWindow window;
    window.visibleCount = 10;
    window.lastVisible = 20;
    window.cursor = 12;
    CursorBack(window, 30);
    EXPECT_EQ(window.cursor, 11);
    EXPECT_EQ(window.lastVisible, 20);
    CursorBack(window, 30);  // cursor 10 <= L - N = 10
    EXPECT_EQ(window.lastVisible, 19);
    CursorBack(window, 30);
    EXPECT_EQ(window.lastVisible, 18);
    window.cursor = 0;
    window.lastVisible = 9;
    CursorBack(window, 30);
    EXPECT_EQ(window.cursor, 0);
    EXPECT_EQ(window.lastVisible, 9) << "never below N - 1";
    window.cursor = 29;
    CursorForward(window, 30);
    EXPECT_EQ(window.cursor, 29);
    EXPECT_EQ(window.lastVisible, 29) << "the window follows the cursor to the newest bar";
}

TEST(VisibleExtremes, TiesTakeTheLaterBarAndTheCursorStaysInTheSeries) {
    const BarSeries bars = {HighLowBar("12", "8", "5"), HighLowBar("15", "7", "9"),
                            HighLowBar("15", "7", "3"), HighLowBar("11", "9", "2")};
    SeriesWindow window;
    window.visibleCount = 4;
    window.lastVisible = 3;
    window.cursor = 99;
    VisibleExtremes e = FindVisibleExtremes(bars, window);
    ASSERT_TRUE(e.any);
    EXPECT_EQ(e.highIndex, 2);
    EXPECT_EQ(e.lowIndex, 2);
    EXPECT_FLOAT_EQ(e.high, 15);
    EXPECT_FLOAT_EQ(e.low, 7);
    EXPECT_EQ(e.volumeMax, 9);
    EXPECT_EQ(window.cursor, 3);
    window.lastVisible = 0;
    FindVisibleExtremes(bars, window);
    EXPECT_EQ(window.lastVisible, 3) << "an L of 0 or less becomes the newest bar";
    window.visibleCount = 50;  // more slots than bars: nothing is read before bar 0
    EXPECT_TRUE(FindVisibleExtremes(bars, window).any);
    SeriesWindow empty;
    EXPECT_FALSE(FindVisibleExtremes({}, empty).any);
}

}  // namespace
}  // namespace qelt
