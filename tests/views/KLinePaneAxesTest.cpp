// The value axes of the K-line view's lower panes on a small screen (1024 x 600, four lower
// panes): built-in and formula panes alike label round levels, none cut by a pane border,
// none touching another; a formula of sticks shows its 0 line.
#include <gtest/gtest.h>

#include <set>

#include "chart/KLineLayout.h"
#include "data/settings/KLineSettingsFiles.h"
#include "support/AxisLabels.h"
#include "support/KLineTestSupport.h"
#include "views/kline/FormulaPane.h"

namespace qelt {
namespace {

constexpr Size kSmallScreen{1024, 600};

class KLinePaneAxes : public ::testing::Test, public test::KLineFixture {
  protected:
    KLinePaneAxes() {
        client = kSmallScreen;
        host.client = kSmallScreen;
        canvas = RecordingCanvas(kSmallScreen.cx, kSmallScreen.cy);
    }
    int Add(const std::string& text) {
        const FormulaChange change = services.MutableFormulas().Add(StoredFormula{
            0, "式" + FormatInt(static_cast<int>(services.Formulas().Formulas().size())), "", {}, text});
        EXPECT_TRUE(change.applied) << change.message;
        return change.id;
    }
    void OpenWith(const std::vector<int>& ids) {
        ASSERT_TRUE(WriteWinfile(dir.Path(), ids));
        Open();
        Paint();
        ASSERT_EQ(view->Panes().size(), ids.size() + 1);
    }
    /// Every lower pane's labels are clear of the borders and of each other.
    void ExpectLabelsClear(const std::string& layout) {
        for (std::size_t i = 1; i < view->Panes().size(); ++i)
            for (const std::string& fault : test::AxisLabelFaults(canvas, view->Panes()[i]))
                ADD_FAILURE() << layout << ", pane " << i << " (" << view->PaneIndicator(static_cast<int>(i))
                              << "): " << fault;
    }
};

TEST_F(KLinePaneAxes, EveryBuiltInPaneKeepsItsLabelsClearOnASmallScreen) {
    const std::vector<std::vector<int>> layouts = {{1, 21, 43, 45},  {2, 3, 4, 5},     {22, 23, 24, 25},
                                                   {26, 27, 41, 42}, {44, 46, 47, 48}, {49, 43, 21, 1}};
    for (const std::vector<int>& ids : layouts) {
        view.reset();
        OpenWith(ids);
        ExpectLabelsClear("lower panes " + FormatInt(ids[0]) + "...");
    }
}

TEST_F(KLinePaneAxes, FormulaPanesLabelRoundLevelsAndSticksShowTheirZeroLine) {
    // An oscillator of sticks about 0 (the close less its average), a line far from 0, a
    // volume stick: the old axis labelled the data's minimum and its steps (2.27, 1.27, 0.27 ...).
    const int oscillator = Add("D:C-MA(C,10),COLORSTICK; E:MA(C-MA(C,10),5);");
    const int line = Add("A:MA(C,5)/3+0.27;");
    const int volume = Add("VV:VOL/7,VOLSTICK;");
    OpenWith({oscillator, 21, line, volume});
    ExpectLabelsClear("formula panes");
    for (int pane : {1, 3, 4}) {
        const Rect& p = view->Panes()[static_cast<std::size_t>(pane)];
        std::vector<test::AxisLabel> labels = test::AxisLabelsOf(canvas, p);
        ASSERT_GE(labels.size(), 2u) << pane;
        EXPECT_TRUE(test::AtRoundLevels(labels)) << pane << ": " << labels[0].text << ", " << labels[1].text;
    }
    // The sticks' pane: a solid line across the plot in the axis pen, with the label 0.00.
    const Rect& sticks = view->Panes()[1];
    const std::vector<test::AxisLabel> labels = test::AxisLabelsOf(canvas, sticks);
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [](const auto& l) { return l.text == "0.00"; }));
    const Pen axisPen = services.Settings().Pens()[2];
    bool zeroLine = false;
    for (const DrawRecord& r : canvas.Of(DrawOp::Line)) {
        const int y = r.points[0].y;
        zeroLine |= r.pen == axisPen && y > sticks.top + 20 && y < sticks.bottom && r.points[0].x == 0 &&
                    r.points[1] == Point{sticks.right - kAxisColumn, y};
    }
    EXPECT_TRUE(zeroLine);
}

}  // namespace
}  // namespace qelt
