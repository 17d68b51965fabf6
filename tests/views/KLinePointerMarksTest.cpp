// What the K-line view shows about the pointer and where: the bar tip follows the pointer
// from body to body or goes (never left behind, never over a line being drawn); the
// crosshair's data box keeps off the pane titles and the pointer; the pointer's date stays in
// the date strip; 详细信息 shows and hides the quote panel; a right click after a resize
// addresses the panes the next paint shows.
#include <gtest/gtest.h>

#include "chart/DateStrip.h"
#include "chart/KLineLayout.h"
#include "common/Commands.h"
#include "indicators/PaneParts.h"
#include "support/KLineTestSupport.h"
#include "views/kline/BarTips.h"
#include "views/kline/KLineMenu.h"

namespace qelt {
namespace {

using test::KLineFixture;

int CommandOfIndicator(int code) {
    for (const IndicatorCommand& entry : IndicatorCommands())
        if (entry.code == code) return entry.command;
    return 0;
}

class KLinePointerMarks : public ::testing::Test, public KLineFixture {
  protected:
    /// The middle of bar `bar`'s body on the last paint's scale.
    Point Body(int bar) const {
        const MainPaneGeometry& g = view->MainPane();
        const CBarRow& row = view->Series()[static_cast<std::size_t>(bar)];
        return {g.BarCentreX(bar),
                (g.PriceToY(LeadingFloat(row[kBarOpen])) + g.PriceToY(LeadingFloat(row[kBarClose]))) / 2};
    }
    void Hover(Point at) {
        view->OnMouseMove(Mouse(at.x, at.y));
        Paint();
    }
    void Click(Point at) {
        view->OnMouseDown(Mouse(at.x, at.y, MouseButton::Left));
        view->OnMouseUp(Mouse(at.x, at.y, MouseButton::Left));
        Paint();
    }
    bool BarTipShown() const { return host.overlays.count(kBarTipOverlay) == 1; }
    /// The boxes of the lower panes' title texts of the last paint.
    std::vector<Rect> TitleBoxes() const {
        std::vector<Rect> boxes;
        RecordingCanvas measure;
        for (const DrawRecord& r : canvas.Of(DrawOp::Text)) {
            for (std::size_t i = 1; i < view->Panes().size(); ++i) {
                const Rect& pane = view->Panes()[i];
                const Point at = r.points[0];
                if (at.y < pane.top || at.y >= pane.top + kPaneTitleStrip || at.x >= pane.right - kAxisColumn)
                    continue;
                measure.SelectFont(r.font);
                const Size size = measure.TextExtent(r.text);
                boxes.push_back({at.x, at.y, at.x + size.cx, at.y + size.cy});
            }
        }
        return boxes;
    }
    static bool Overlap(const Rect& a, const Rect& b) {
        return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
    }
};

TEST_F(KLinePointerMarks, TheBarTipFollowsThePointerFromBodyToBodyAndGoesOffThem) {
    Open();
    Paint();
    const Point first = Body(130), second = Body(140);
    Hover(first);
    ASSERT_TRUE(BarTipShown());
    EXPECT_EQ((Point{host.overlays[kBarTipOverlay].left, host.overlays[kBarTipOverlay].top}),
              (Point{first.x, first.y + 18}));
    Hover(second);
    ASSERT_TRUE(BarTipShown());
    EXPECT_EQ((Point{host.overlays[kBarTipOverlay].left, host.overlays[kBarTipOverlay].top}),
              (Point{second.x, second.y + 18}))
        << "it moves with the pointer";
    RecordingCanvas tip;
    host.overlayPainters[kBarTipOverlay](tip, {80, 150});
    EXPECT_EQ(tip.Texts()[0], BarDateCaption(view->Series()[140][kBarDate])) << "and shows that bar";
    Hover({second.x, view->Panes()[0].top + 3});  // above every bar of the window
    EXPECT_FALSE(BarTipShown()) << "off the bodies it goes";
    Hover(first);
    EXPECT_TRUE(BarTipShown());
    Hover({first.x, view->Panes()[1].top + 40});  // into a lower pane
    EXPECT_FALSE(BarTipShown());
}

TEST_F(KLinePointerMarks, NoBarTipWhileALineIsDrawnAndNoneLeftAfterIt) {
    Open();
    Paint();
    Hover(Body(120));
    ASSERT_TRUE(BarTipShown());
    view->OnCommand(cmd::kDrawSegment);
    Hover(Body(121));
    EXPECT_FALSE(BarTipShown()) << "an armed tool: the pointer draws";
    Click(Body(121));
    Hover(Body(135));
    EXPECT_FALSE(BarTipShown()) << "placing the second point";
    Click(Body(135));
    ASSERT_EQ(services.mainList[0].lines.size(), 1u) << "the line is drawn";
    EXPECT_FALSE(BarTipShown()) << "not over the line just drawn";
    Paint();
    EXPECT_FALSE(BarTipShown()) << "nor at the next paint while the pointer stays";
    Hover(Body(136));
    EXPECT_TRUE(BarTipShown()) << "back once the pointer moves on a body";
}

TEST_F(KLinePointerMarks, TheDataBoxKeepsOffThePaneTitlesAndThePointer) {
    for (const Size size : {Size{1000, 600}, Size{1024, 600}, Size{1024, 700}, Size{800, 600}}) {
        for (int windows : {cmd::kWindows3, cmd::kWindows4, cmd::kWindows5}) {
            client = size;
            host.client = size;
            canvas = RecordingCanvas(size.cx, size.cy);
            Open();
            view->OnSize(size);
            view->OnCommand(windows);
            view->OnKey(Key(ViewKey::Left));  // the crosshair on the newest bars, at the right
            for (int x : {40, size.cx / 3, size.cx - 300}) {
                const Point pointer{x, 200};
                view->OnMouseMove(Mouse(pointer.x, pointer.y));
                Paint();
                ASSERT_EQ(host.overlays.count(kDataTipOverlay), 1u);
                const Rect tip = host.overlays[kDataTipOverlay];
                const std::string where = FormatInt(size.cx) + "x" + FormatInt(size.cy) + ", windows " +
                                          FormatInt(view->WindowCount()) + ", pointer at " + FormatInt(x);
                const std::vector<Rect> titles = TitleBoxes();
                ASSERT_FALSE(titles.empty()) << where;
                for (const Rect& title : titles)
                    EXPECT_FALSE(Overlap(tip, title))
                        << where << ": a title at " << title.left << "," << title.top;
                EXPECT_FALSE(tip.Contains(pointer)) << where;
                EXPECT_LE(tip.right, view->MainPane().axisX) << where << ": left of the value axis";
                EXPECT_EQ(tip.top, 30) << where;
            }
        }
    }
}

TEST(DataTipPlace, LeftWhereItHidesNothingElseRightThenPastTheTitles) {
    const Size tip{85, 400};
    EXPECT_EQ(PlaceDataTip(tip, 740, {}, {500, 200}), (Point{5, 30})) << "nothing in the way";
    EXPECT_EQ(PlaceDataTip(tip, 740, {}, {20, 200}), (Point{650, 30})) << "the pointer is on the left";
    const std::vector<Rect> titles = {{5, 363, 95, 375}, {120, 363, 180, 375}, {5, 473, 80, 485}};
    EXPECT_EQ(PlaceDataTip(tip, 740, titles, {300, 200}), (Point{650, 30}));
    EXPECT_EQ(PlaceDataTip(tip, 740, titles, {700, 200}), (Point{185, 30})) << "right of the titles";
    EXPECT_EQ(PlaceDataTip(tip, 740, titles, {200, 200}), (Point{650, 30})) << "hiding no title first";
    EXPECT_EQ(PlaceDataTip({85, 300}, 740, titles, {20, 200}), (Point{650, 30}));
    EXPECT_EQ(PlaceDataTip({85, 300}, 740, titles, {700, 200}), (Point{5, 30}))
        << "a tip ending above the titles stays on the left";
    // Titles all the way: the right end.
    EXPECT_EQ(PlaceDataTip(tip, 740, {{5, 363, 735, 375}}, {300, 200}), (Point{650, 30}));
}

TEST_F(KLinePointerMarks, ThePointersDateStaysInTheStripLeftOfTheQuotePanel) {
    Open();
    Paint();
    const int chartRight = view->Panes()[0].right;
    auto dateAt = [&](int x) -> std::optional<DrawRecord> {
        view->OnMouseMove(Mouse(x, 200));
        Paint();
        for (const DrawRecord& r : canvas.Of(DrawOp::Text))
            if (r.font.face == "Arial" && r.points[0].y == client.cy - kDateStripHeight + 4) return r;
        return std::nullopt;
    };
    RecordingCanvas measure;
    measure.SelectFont(Font{"Arial", 14, 400});
    const std::optional<DrawRecord> middle = dateAt(300);
    ASSERT_TRUE(middle);
    EXPECT_EQ(middle->points[0].x, 300);
    const std::optional<DrawRecord> edge = dateAt(chartRight - 5);
    ASSERT_TRUE(edge);
    EXPECT_EQ(edge->points[0].x + measure.TextExtent(edge->text).cx, chartRight)
        << "it ends at the chart's edge";
    EXPECT_FALSE(dateAt(chartRight + 50)) << "nothing under the quote panel";
}

TEST_F(KLinePointerMarks, DetailsShowsAndHidesTheQuotePanelAndTheChartTakesItsPlace) {
    Open();
    Paint();
    ASSERT_TRUE(view->QuotePanelShown());
    EXPECT_EQ(view->Panes()[0].right, client.cx - kQuotePanelWidth);
    EXPECT_TRUE(view->StateOf(cmd::kDetails)->checked);
    EXPECT_FALSE(canvas.TextsEqual("申买价").empty());
    const int invalidations = host.invalidations;
    ASSERT_TRUE(view->OnCommand(cmd::kDetails));
    EXPECT_GT(host.invalidations, invalidations);
    EXPECT_FALSE(view->QuotePanelShown());
    EXPECT_FALSE(view->StateOf(cmd::kDetails)->checked);
    Paint();
    for (const Rect& pane : view->Panes()) EXPECT_EQ(pane.right, client.cx) << "the panes run to the edge";
    EXPECT_TRUE(canvas.TextsEqual("申买价").empty());
    EXPECT_EQ(view->MainPane().axisX, client.cx - kAxisColumn);
    view->OnCommand(cmd::kDetails);
    Paint();
    EXPECT_TRUE(view->QuotePanelShown());
    for (const Rect& pane : view->Panes()) EXPECT_EQ(pane.right, client.cx - kQuotePanelWidth);
    EXPECT_FALSE(canvas.TextsEqual("申买价").empty());
}

TEST_F(KLinePointerMarks, ARightClickAfterAResizeAddressesThePanesOfTheNewSize) {
    Open();
    Paint();  // 1000 x 600, three windows
    // Resized, four windows chosen, an indicator given, all before the next paint.
    host.client = {1000, 800};
    view->OnSize(host.client);
    view->OnCommand(cmd::kWindows4);
    host.menuAnswer = CommandOfIndicator(43);
    view->OnContextMenu({300, 600});  // the second lower pane at 800 rows (526 .. 652)
    EXPECT_EQ(view->PaneIndicator(2), 43);
    // Resized again and an indicator given, no window count between: the panes of 700 rows
    // (350, 460, 570, 680), where row 600 is the third lower pane.
    host.client = {1000, 700};
    view->OnSize(host.client);
    host.menuAnswer = CommandOfIndicator(45);
    view->OnContextMenu({300, 600});
    EXPECT_EQ(view->PaneIndicator(3), 45);
    EXPECT_EQ(view->PaneIndicator(2), 43);
    client = host.client;
    Paint();
    ASSERT_EQ(view->Panes().size(), 4u);
    EXPECT_EQ(view->Panes()[3].top, 570);
}

}  // namespace
}  // namespace qelt
