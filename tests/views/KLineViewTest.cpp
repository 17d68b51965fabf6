// The K-line view driven as a user drives it: keys, mouse, wheel, the context menu, the
// frame's commands, live data, and the layout that comes back after a restart.
#include <gtest/gtest.h>

#include "chart/DateStrip.h"
#include "common/Commands.h"
#include "common/Files.h"
#include "common/Messages.h"
#include "support/FailingDisk.h"
#include "support/KLineTestSupport.h"
#include "views/ViewKinds.h"
#include "views/kline/BarTips.h"

namespace qelt {
namespace {

using test::KLineFixture;

class KLineView : public ::testing::Test, public KLineFixture {};

TEST_F(KLineView, OpensOnTheNewestHundredBarsUnderVolumeAndMacdAndSavesTheLayout) {
    Open();
    EXPECT_EQ(view->Series().size(), 150u);
    EXPECT_EQ(view->Window().visibleCount, 100);
    EXPECT_EQ(view->Window().lastVisible, 149);
    EXPECT_EQ(view->WindowCount(), 3);
    EXPECT_EQ(view->PaneIndicator(1), 1);
    EXPECT_EQ(view->PaneIndicator(2), 21);
    EXPECT_EQ(services.history.size(), 1u) << "the goods joins the navigation history";
    EXPECT_EQ(view->StandingRequests().value(),
              (std::vector<std::string>{"list:", "real::0101:20070625:1:"}));
    Paint();
    ASSERT_EQ(view->Panes().size(), 3u);
    EXPECT_EQ(view->Panes()[0], (Rect{0, 30, 800, 360})) << "3 x 600 / 5";
    EXPECT_EQ(ReadWholeFile(dir.File("winfile.ini")).value(), "1|21|") << "every layout writes winfile.ini";
}

TEST_F(KLineView, TheLayoutAUserMadeComesBackAfterARestart) {
    Open();
    Paint();
    // Right click in the second lower pane, choose RSI there; then four windows.
    host.menuAnswer = cmd::kIndicatorRsi;
    view->OnMouseDown(Mouse(300, 500, MouseButton::Right));
    view->OnContextMenu({300, 500});
    ASSERT_EQ(host.menus.size(), 1u);
    EXPECT_TRUE(host.menus[0].entries[6].enabled) << "indicators can be chosen below the main pane";
    EXPECT_EQ(host.menus[0].entries[6].text, "量仓指标");
    EXPECT_EQ(view->PaneIndicator(2), 41);
    EXPECT_TRUE(view->OnCommand(cmd::kWindows4));
    EXPECT_EQ(view->WindowCount(), 4);
    EXPECT_EQ(ReadWholeFile(dir.File("winfile.ini")).value(), "1|41|3|");
    EXPECT_TRUE(view->StateOf(cmd::kWindows4)->checked);
    EXPECT_FALSE(view->StateOf(cmd::kWindows3)->checked);

    // A right click in the main pane greys the indicator groups.
    host.menuAnswer = 0;
    view->OnContextMenu({300, 100});
    EXPECT_FALSE(host.menus.back().entries[6].enabled);
    EXPECT_FALSE(host.menus.back().entries[8].enabled);

    services.RestartSettings();
    Open();  // the next start reads winfile.ini
    EXPECT_EQ(view->WindowCount(), 4);
    EXPECT_EQ(view->PaneIndicator(2), 41);
    EXPECT_EQ(view->PaneIndicator(3), 3);
    ASSERT_TRUE(WriteFileAtomic(dir.File("winfile.ini"), ""));
    services.RestartSettings();
    Open();
    EXPECT_EQ(view->WindowCount(), 1) << "an empty file: the main chart alone";
}

TEST_F(KLineView, ZoomMoveAndPeriodKeysWorkOnTheWindowAndThePointerFollowsTheCursorBar) {
    Open();
    Paint();
    EXPECT_TRUE(view->OnKey(Key(ViewKey::Up)));
    EXPECT_EQ(view->Window().visibleCount, 50);
    view->OnKey(Key(ViewKey::Down));
    view->OnKey(Key(ViewKey::Down));
    EXPECT_EQ(view->Window().visibleCount, 150) << "never more than the series";
    view->OnKey(Key(ViewKey::Up));
    Paint();
    const int cursor = view->Window().cursor;
    view->OnKey(Key(ViewKey::Left));
    EXPECT_TRUE(view->CursorMode());
    EXPECT_EQ(view->Window().cursor, cursor - 1);
    ASSERT_EQ(host.pointerMoves.size(), 1u);
    const MainPaneGeometry& g = view->MainPane();
    EXPECT_EQ(host.pointerMoves[0].x, g.BarCentreX(cursor - 1));
    EXPECT_EQ(host.pointerMoves[0].y, g.PriceToY(LeadingFloat(view->Series()[cursor - 1][kBarClose])));
    view->OnKey(Key(ViewKey::Right));
    EXPECT_EQ(view->Window().cursor, cursor);

    EXPECT_TRUE(view->OnCommand(cmd::kWeek));
    EXPECT_EQ(view->Window().period, kPeriodWeek);
    EXPECT_EQ(view->Window().lastVisible, static_cast<int>(view->Series().size()) - 1);
    EXPECT_LT(view->Series().size(), 150u);
    EXPECT_TRUE(view->StateOf(cmd::kWeek)->checked);
    EXPECT_FALSE(view->StateOf(cmd::kDay)->checked);
    EXPECT_TRUE(view->OnCommand(cmd::kChartAmerican));
    EXPECT_TRUE(view->StateOf(cmd::kChartAmerican)->checked);
    EXPECT_TRUE(view->StateOf(cmd::kDrawSegment).has_value())
        << "the drawing tools come with its drawn lines";
}

TEST_F(KLineView, KeysAndTheWheelSwitchViewsAndGoods) {
    Open();
    view->OnKey(Key(ViewKey::Enter));
    view->OnKey(Key(ViewKey::Escape));
    EXPECT_EQ(services.switches, (std::vector<std::pair<int, int>>{{kViewIntraday, 0}, {kViewQuoteList, 0}}));
    services.selection.goods = 1;  // where the application's step leads
    view->OnKey(Key(ViewKey::PageDown));
    EXPECT_EQ(services.steps, 1);
    EXPECT_EQ(services.standingRefreshes, 1) << "the new goods' quote requests go out";
    EXPECT_EQ(view->StandingRequests().value()[1], "real::0101:20070725:1:");
    EXPECT_EQ(view->Series().size(), 60u);
    services.selection.goods = 0;  // and back
    view->OnKey(Key(ViewKey::PageUp));
    EXPECT_EQ(services.steps, 0) << "Page Up is the previous goods";
    EXPECT_EQ(services.standingRefreshes, 2);
    EXPECT_EQ(view->StandingRequests().value()[1], "real::0101:20070625:1:");
    EXPECT_EQ(view->Series().size(), 150u);
    view->OnWheel(false, {10, 10});
    EXPECT_EQ(services.steps, -1) << "a notch away from the user is the previous goods";
    host.wizardAnswer = 1;
    view->OnKey(Key(ViewKey::Digit, 7));
    EXPECT_EQ(host.wizardTyped, (std::vector<std::string>{"7"}));
    EXPECT_EQ(services.selection.goods, 1);
    EXPECT_EQ(services.switches.back(), (std::pair<int, int>{kViewKLine, 0}));
    services.selection.goods = 0;
    services.history = {{1, 0}, {0, 0}};
    view->OnKey(Key(ViewKey::Backspace));
    EXPECT_EQ(services.selection.goods, 1) << "back along the navigation history";
    EXPECT_EQ(services.switches.back(), (std::pair<int, int>{kViewKLine, 0}));
}

TEST_F(KLineView, LiveDataReloadsOnlyWhenTradesOrBarsWereAdded) {
    Open();
    Paint();
    const int invalidations = host.invalidations;
    view->OnNotify(WM_NET_REAL, 0);
    EXPECT_EQ(host.invalidations, invalidations) << "nothing new";
    services.mainList[0].trades.push_back({"0", "106.00", "0", "5", "20070625", "1", "1", "t1"});
    services.mainList[0].price = "106.00";
    view->OnNotify(WM_NET_REAL, 0);
    EXPECT_GT(host.invalidations, invalidations);
    EXPECT_EQ(view->Goods().price, "106.00");
    services.mainList[0].series.push_back(test::KLineDays(151).back());
    services.mainList[0].last_date = std::string(services.mainList[0].series.back()[kBarDate]);
    view->OnNotify(WM_NET_LINE, 0);
    EXPECT_EQ(view->Series().size(), 151u);
    EXPECT_EQ(view->Window().lastVisible, 150) << "a new bar brings the window to it";
    view->OnNotify(WM_NET_HISREAL, 0);
    EXPECT_EQ(services.switches.back(), (std::pair<int, int>{kViewIntraday, 2})) << "the history review";
}

TEST_F(KLineView, DoubleClicksOpenTheParametersOnATitleOrToggleTheCrosshairAndAskForThePastDay) {
    Open();
    Paint();
    view->OnDoubleClick(Mouse(100, 365));  // the first lower pane's title strip
    EXPECT_EQ(host.indicatorDialogs, (std::vector<int>{1}));
    view->OnDoubleClick(Mouse(100, 40));  // pane 0's top 20 pixels: the main chart's MA
    EXPECT_EQ(host.indicatorDialogs, (std::vector<int>{1, 0}));

    // Cursor mode off: a double click turns it on; the next paint sends nothing.
    const MainPaneGeometry g = view->MainPane();
    const int bar = 140;
    const CBarRow& row = view->Series()[bar];
    const Point body{
        g.BarCentreX(bar),
        (g.PriceToY(LeadingFloat(row[kBarOpen])) + g.PriceToY(LeadingFloat(row[kBarClose]))) / 2};
    view->OnMouseMove(Mouse(body.x, body.y));
    view->OnDoubleClick(Mouse(body.x, body.y));
    EXPECT_TRUE(view->CursorMode());
    Paint();
    EXPECT_TRUE(services.sent.empty());
    EXPECT_EQ(host.overlays.count(kBarTipOverlay), 0u) << "no bar tip in cursor mode";
    EXPECT_EQ(host.overlays.count(kDataTipOverlay), 1u) << "the data tip beside the crosshair";

    // Cursor mode on: a double click on a body shows its tip, asks for that day's trades and
    // keeps the crosshair.
    view->OnDoubleClick(Mouse(body.x, body.y));
    Paint();
    ASSERT_EQ(services.sent.size(), 1u);
    EXPECT_EQ(services.sent[0], "real:0101-" + std::string(row[kBarDate]) + ":0101:20070625:8:");
    EXPECT_TRUE(view->CursorMode());
    ASSERT_EQ(host.overlays.count(kBarTipOverlay), 1u);
    const Rect barTip = host.overlays[kBarTipOverlay];
    EXPECT_EQ((Point{barTip.left, barTip.top}), (Point{body.x, body.y + 18}));
    EXPECT_EQ(barTip.Height(), 150);
    EXPECT_GE(barTip.Width(), 80) << "at least 80 wide, more where its caption needs it";
    EXPECT_TRUE(host.overlayDraggable[kBarTipOverlay]);
    RecordingCanvas tip;
    host.overlayPainters[kBarTipOverlay](tip, {80, 150});
    EXPECT_EQ(tip.Texts()[0], BarDateCaption(row[kBarDate]));
    Paint();
    EXPECT_EQ(host.overlays.count(kBarTipOverlay), 0u) << "hidden again in cursor mode";
    EXPECT_EQ(services.sent.size(), 1u) << "one request per double click";

    // Off a bar the double click only turns the crosshair off.
    view->OnMouseMove(Mouse(body.x, 35));
    view->OnDoubleClick(Mouse(body.x, 35));
    Paint();
    EXPECT_FALSE(view->CursorMode());
    EXPECT_EQ(host.overlays.count(kDataTipOverlay), 0u);
}

TEST_F(KLineView, BordersDragWithAFloorAndTheCoverModeButtonAsksForTheSeriesAgain) {
    Open();
    Paint();
    const int border = view->Panes()[1].top;
    view->OnMouseMove(Mouse(100, border + 1));
    EXPECT_EQ(host.cursor, CursorShape::SizeVertical);
    view->OnMouseDown(Mouse(100, border + 1, MouseButton::Left));
    view->OnMouseMove(Mouse(100, border + 40));
    view->OnMouseUp(Mouse(100, border + 40, MouseButton::Left));
    EXPECT_EQ(view->Panes()[0].bottom, border + 40);
    EXPECT_EQ(view->Panes()[1].top, border + 40);
    EXPECT_EQ(host.cursor, CursorShape::Arrow);

    services.mainList[0].listTag = kTagContract;
    services.online = true;
    view->OnCommand(cmd::kDay);  // reload: the contract list's goods
    RecordingCanvas& canvas = Paint();
    EXPECT_EQ(canvas.TextsEqual("后覆盖").size(), 1u);
    view->OnMouseDown(Mouse(view->Panes()[0].right - 100, 15, MouseButton::Left));
    EXPECT_EQ(services.mainList[0].coverMode, 0);
    ASSERT_FALSE(services.sent.empty());
    EXPECT_EQ(services.sent.back(), "line:3:0101:20070625:0:")
        << "the series comes again in the other cover mode";
    // Until it comes, the quote stands as the only bar.
    ASSERT_EQ(view->Series().size(), 1u);
    EXPECT_EQ(view->Series()[0][kBarClose], "105.00");
    EXPECT_EQ(services.mainList[0].series.size(), 1u);
}

TEST_F(KLineView, LogarithmicScaleIsAMenuCheckRememberedOnItsOwn) {
    Open();
    EXPECT_FALSE(view->LogScale());
    EXPECT_FALSE(view->StateOf(cmd::kLogScale)->checked);
    host.menuAnswer = cmd::kLogScale;
    view->OnContextMenu({100, 100});
    EXPECT_TRUE(view->LogScale());
    Paint();
    EXPECT_TRUE(view->MainPane().Logarithmic());
    EXPECT_EQ(ReadWholeFile(dir.File("winfile.ini")).value(), "1|21|") << "winfile.ini is left as it was";
    Open();
    EXPECT_TRUE(view->LogScale());
    view->OnCommand(cmd::kChartOX);
    Paint();
    EXPECT_FALSE(view->MainPane().Logarithmic()) << "point and figure boxes stay equal";
}

TEST_F(KLineView, LayoutAndScaleWritesThatFailAreReportedOnceEachAndKeptForTheRun) {
    Open();
    std::vector<std::string> shown;
    services.MutableSettings().Reports().SetSink(
        [&shown](const std::string& text, const std::string&) { shown.push_back(text); });
    {
        test::FailingDisk disk(test::FailingDisk::Fault::ReadOnlyDirectory);
        EXPECT_TRUE(view->OnCommand(cmd::kWindows4));
        EXPECT_TRUE(view->OnCommand(cmd::kWindows5));
        EXPECT_TRUE(view->OnCommand(cmd::kLogScale));
        EXPECT_TRUE(view->OnCommand(cmd::kLogScale));
        EXPECT_TRUE(view->OnCommand(cmd::kLogScale));
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"无法保存指标窗口的设置！", "无法保存对数坐标的设置！"}));
    EXPECT_EQ(view->WindowCount(), 5) << "the layout holds for this run";
    EXPECT_TRUE(view->LogScale());
    EXPECT_TRUE(view->OnCommand(cmd::kWindows3));
    EXPECT_EQ(ReadWholeFile(dir.File("winfile.ini")).value(), "1|21|")
        << "written again once the disk is back";
    EXPECT_EQ(shown.size(), 2u);
}

class KLineShortSeries : public ::testing::Test, public KLineFixture {
  protected:
    KLineShortSeries() : KLineFixture(0) {}
};

TEST_F(KLineShortSeries, NoBarsOrOneBarShowFrameAndTitleAndReadNothingOutside) {
    // A goods that traded today but has no series: no bar is made up from its quote.
    services.mainList[0].trades = {{"0", "105.00", "0", "5", "20070101", "1", "1", "t1"}};
    Open();
    ASSERT_TRUE(view->Series().empty());
    RecordingCanvas& canvas = Paint();
    EXPECT_EQ(canvas.TextsEqual("商品:" + services.mainList[0].name + "(日线)").size(), 1u);
    for (ViewKey key : {ViewKey::Left, ViewKey::Right, ViewKey::Up, ViewKey::Down}) view->OnKey(Key(key));
    view->OnMouseMove(Mouse(300, 200));
    view->OnDoubleClick(Mouse(300, 200));
    view->OnCommand(cmd::kChartOX);
    view->OnCommand(cmd::kWeek);
    Paint();
    EXPECT_TRUE(services.sent.empty());

    services.mainList[0].series = test::KLineDays(1);
    services.mainList[0].last_date = "20070101";
    view->OnCommand(cmd::kChartCandles);
    EXPECT_EQ(view->Series().size(), 1u);
    view->OnMouseMove(Mouse(5, 200));
    view->OnKey(Key(ViewKey::Left));
    view->OnKey(Key(ViewKey::Right));
    view->OnKey(Key(ViewKey::Up));
    view->OnKey(Key(ViewKey::Down));
    EXPECT_EQ(view->Window().visibleCount, 1);
    EXPECT_EQ(view->Window().cursor, 0);
    Paint();
    EXPECT_EQ(canvas.TextsEqual("商品:" + services.mainList[0].name + "(周线)").size(), 1u);
}

TEST_F(KLineShortSeries, AQuietIndexWithABoxOfZeroShowsANoteInsteadOfColumns) {
    services.mainList[0].goods_no = "0009";
    services.mainList[0].series = test::KLineDays(20);  // closes 98 .. 108: far under 300 points
    services.mainList[0].last_date = std::string(services.mainList[0].series.back()[kBarDate]);
    Open();
    Paint();
    view->OnCommand(cmd::kChartOX);
    EXPECT_EQ(view->Window().oxBoxSize, 0.0f);
    RecordingCanvas& canvas = Paint();
    EXPECT_EQ(canvas.TextsEqual(kZeroBoxNote).size(), 1u);
    EXPECT_TRUE(canvas.Of(DrawOp::Ellipse).empty());
}

}  // namespace
}  // namespace qelt
