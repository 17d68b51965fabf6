// Tab geometry, shapes and hit tests of the category tab strip.
#include <gtest/gtest.h>

#include "gfx/RecordingCanvas.h"
#include "views/controls/TabStripControl.h"

namespace qelt {
namespace {

TabStripControl ThreeTabs() {
    TabStripControl strip;
    strip.SetTabs({"桑蚕丝", "生丝", "自选"}, {"0101", "0112", "0000"}, 80, 1.0);
    return strip;
}

TEST(TabStripControl, TabsAreLaidOutFromTheBaseWidthAndScale) {
    TabStripControl strip;
    strip.SetTabs({"a", "b"}, {}, 80, 1.5);
    ASSERT_EQ(strip.Tabs().size(), 2u);
    EXPECT_EQ(strip.Tabs()[0].rect, (Rect{2, 0, 122, 27}));
    EXPECT_EQ(strip.Tabs()[1].rect, (Rect{122, 0, 242, 27}));
    std::vector<std::string> many(25, "x");
    strip.SetTabs(many, {}, 80, 1.0);
    EXPECT_EQ(strip.Tabs().size(), 20u);
}

TEST(TabStripControl, PolygonsFollowTheSelectedNextAndLastFlags) {
    TabStripControl strip = ThreeTabs();  // tab 0 selected
    const auto& t = strip.Tabs();
    EXPECT_EQ(t[0].polygon, (std::vector<Point>{{-6, 1}, {2, 9}, {10, 18}, {74, 18}, {83, 9}, {91, 1}}));
    // Right after the selected one: starts right of the selected tab's slanted edge.
    EXPECT_EQ(t[1].polygon, (std::vector<Point>{{91, 1}, {83, 9}, {91, 18}, {154, 18}, {162, 9}, {154, 1}}));
    // Last tab, not selected: its right edge slants outwards.
    EXPECT_EQ(t[2].polygon,
              (std::vector<Point>{{154, 1}, {162, 9}, {170, 18}, {234, 18}, {242, 9}, {251, 1}}));
}

TEST(TabStripControl, ClickSelectsTheFirstTabWhoseRegionHoldsThePoint) {
    TabStripControl strip = ThreeTabs();
    EXPECT_EQ(strip.HitTest({40, 10}), 0);
    EXPECT_EQ(strip.HitTest({120, 10}), 1);
    EXPECT_EQ(strip.HitTest({200, 10}), 2);
    EXPECT_EQ(strip.HitTest({400, 10}), -1);
    EXPECT_EQ(strip.Click({200, 10}), 2);
    EXPECT_EQ(strip.Selected(), 2);
    EXPECT_EQ(strip.Click({400, 10}), -1);
    EXPECT_EQ(strip.Selected(), 2);
}

TEST(TabStripControl, SelectedTabIsWhiteWithRedLabel) {
    TabStripControl strip = ThreeTabs();
    strip.SetSelected(1);
    RecordingCanvas canvas;
    strip.Paint(canvas, 300, 20);
    auto fills = canvas.Of(DrawOp::FillRegion);
    ASSERT_EQ(fills.size(), 3u);
    EXPECT_EQ(fills[0].colour, 0x7D7D7Du);
    EXPECT_EQ(fills[1].colour, 0xFFFFFFu);
    auto label = canvas.TextsEqual("生丝");
    ASSERT_EQ(label.size(), 1u);
    EXPECT_EQ(label[0].colour, 0x0000FFu);
    EXPECT_EQ(label[0].font, (Font{"宋体", 12, 700}));
    EXPECT_EQ(canvas.TextsEqual("自选")[0].colour, 0u);
    EXPECT_EQ(canvas.Of(DrawOp::FillRect)[0].colour, 0x1E1E1Eu);
}

}  // namespace
}  // namespace qelt
