// Drawn lines on the real K-line view, replayed as a user draws them (arm, click, click, drag
// a handle, move a line, undo, redo, Escape), what is painted, and the view's exports.
#include <gtest/gtest.h>

#include "chart/LineAnchors.h"
#include "common/Commands.h"
#include "common/Messages.h"
#include "support/KLineTestSupport.h"
#include "views/ViewKinds.h"

namespace qelt {
namespace {

using test::KLineFixture;

/// Lines drawn in `pen`'s colour, as {from, to}.
std::vector<DrawRecord> LinesIn(const RecordingCanvas& canvas, Colour colour) {
    std::vector<DrawRecord> out;
    for (const DrawRecord& r : canvas.Of(DrawOp::Line))
        if (r.pen.colour == colour && r.pen.style == PenStyle::Solid && r.clip) out.push_back(r);
    return out;
}

constexpr Colour kMagenta = 0xFF00FF;
constexpr Colour kYellow = 0x00FFFF;

class KLineDrawing : public ::testing::Test, public KLineFixture {
  protected:
    KLineDrawing() {
        Open();
        PaintOn();
    }
    /// Paints the chart and what goes over it straight onto the recording canvas (the screen
    /// keeps the chart in a bitmap; tests/ui checks that the two agree).
    void PaintOn() {
        view->Paint(canvas, client, DisplayScheme::Screen());  // lays the panes out
        canvas.Clear();
        view->PaintForPrint(canvas, client, DisplayScheme::Screen());
    }
    const RecordingCanvas& Chart() const { return canvas; }
    Point At(int bar, float price) const { return AnchorToPixel(view->MainPane(), {bar, price}); }
    void Click(Point at) {
        view->OnMouseDown(Mouse(at.x, at.y, MouseButton::Left));
        view->OnMouseUp(Mouse(at.x, at.y, MouseButton::Left));
    }
    void MoveTo(Point at, bool held = false) {
        MouseInput m = Mouse(at.x, at.y);
        m.leftHeld = held;
        view->OnMouseMove(m);
    }
    static KeyInput Control(char letter) {
        KeyInput k;
        k.control = true;
        k.letter = letter;
        return k;
    }
    const std::vector<CMyLine>& Stored() const { return services.mainList[0].lines; }
};

TEST_F(KLineDrawing, ArmClickClickDragAHandleUndoRedo) {
    EXPECT_TRUE(view->OnCommand(cmd::kDrawSegment));
    EXPECT_TRUE(view->StateOf(cmd::kDrawSegment)->checked);
    const Point first = At(60, 99.0f), second = At(120, 104.0f);
    Click(first);
    MoveTo(second);
    PaintOn();
    ASSERT_EQ(LinesIn(Chart(), kMagenta).size(), 1u) << "the line being placed follows the pointer";
    EXPECT_EQ(LinesIn(Chart(), kMagenta)[0].points[1], second);
    EXPECT_TRUE(services.lineCommits.empty()) << "nothing is stored before the line is placed";
    Click(second);

    ASSERT_EQ(Stored().size(), 1u);
    const CMyLine placed = Stored()[0];
    EXPECT_EQ(placed.kind, "segment");
    EXPECT_EQ(placed.unit, 7) << "w = 740 / 100 = 7.4";
    EXPECT_EQ(placed.anchors[0], PixelToAnchor(view->MainPane(), first));
    EXPECT_EQ(placed.anchors[1].index, 120);
    PaintOn();
    ASSERT_EQ(LinesIn(Chart(), kMagenta).size(), 1u) << "placed, still selected";
    EXPECT_EQ(LinesIn(Chart(), kMagenta)[0].points[1], second);
    EXPECT_EQ(*LinesIn(Chart(), kMagenta)[0].clip, view->MainPane().PlotClip());

    // Drag the second handle to bar 140, then undo and redo it from the keyboard.
    Click(second);
    const Point third = At(140, 101.0f);
    MoveTo(third);
    Click(third);
    ASSERT_EQ(services.lineCommits.size(), 2u);
    EXPECT_EQ(Stored()[0].anchors[1], PixelToAnchor(view->MainPane(), third));
    EXPECT_EQ(Stored()[0].anchors[0], placed.anchors[0]);
    EXPECT_TRUE(view->OnKey(Control('Z')));
    EXPECT_EQ(Stored()[0], placed);
    EXPECT_TRUE(view->OnKey(Control('Y')));
    EXPECT_EQ(Stored()[0].anchors[1], PixelToAnchor(view->MainPane(), third));
    // Undo in the middle of a placement takes the placement back, not the line before it.
    view->OnCommand(cmd::kDrawRect);
    Click(At(130, 100.0f));
    EXPECT_TRUE(view->OnCommand(cmd::kDrawUndo));
    EXPECT_EQ(Stored().size(), 1u);
    EXPECT_EQ(services.lineCommits.size(), 2u);
    EXPECT_TRUE(view->OnCommand(cmd::kDrawUndo));
    EXPECT_TRUE(view->OnCommand(cmd::kDrawUndo));
    EXPECT_TRUE(Stored().empty());
    EXPECT_FALSE(view->StateOf(cmd::kDrawUndo)->enabled);
    EXPECT_TRUE(view->StateOf(cmd::kDrawRedo)->enabled);
    PaintOn();
    EXPECT_TRUE(LinesIn(Chart(), kMagenta).empty());
    EXPECT_TRUE(LinesIn(Chart(), kYellow).empty()) << "the undone line is gone from the chart";
}

TEST_F(KLineDrawing, ALineIsMovedWhileTheButtonIsHeldAndPutDownWhereverItGoesUp) {
    view->OnCommand(cmd::kDrawSegment);
    Click(At(60, 99.0f));
    Click(At(120, 104.0f));
    Click({700, 50});  // elsewhere: deselected
    PaintOn();
    EXPECT_EQ(LinesIn(Chart(), kYellow).size(), 1u);
    const Point middle = At(90, 101.5f);
    view->OnMouseDown(Mouse(middle.x, middle.y, MouseButton::Left));
    MoveTo({middle.x + 75, middle.y}, true);                        // ten bars on (75 / 7.4)
    view->OnMouseUp(Mouse(middle.x + 75, 500, MouseButton::Left));  // released over a lower pane
    ASSERT_EQ(services.lineCommits.size(), 2u);
    EXPECT_EQ(Stored()[0].anchors[0].index, 70);
    EXPECT_EQ(Stored()[0].anchors[1].index, 130);
    MoveTo({100, 100});
    EXPECT_EQ(Stored()[0].anchors[0].index, 70) << "not stuck to the pointer";
}

TEST_F(KLineDrawing, EscapeTakesBackTheToolBeforeItLeavesTheChart) {
    view->OnCommand(cmd::kDrawGold);
    Click(At(60, 99.0f));
    EXPECT_TRUE(view->OnKey(Key(ViewKey::Escape)));
    EXPECT_TRUE(services.switches.empty()) << "the chart stays";
    EXPECT_TRUE(Stored().empty());
    view->OnCommand(cmd::kDrawGold);
    EXPECT_TRUE(view->OnKey(Key(ViewKey::Escape)));
    EXPECT_TRUE(services.switches.empty());
    view->OnKey(Key(ViewKey::Escape));
    EXPECT_EQ(services.switches, (std::vector<std::pair<int, int>>{{kViewQuoteList, 0}}));
}

TEST_F(KLineDrawing, EveryKindIsPlacedAndKeptWithTheGoodsThroughAReload) {
    const int tools[] = {cmd::kDrawSegment, cmd::kDrawLine,   cmd::kDrawParallel, cmd::kDrawRect,
                         cmd::kDrawWave,    cmd::kDrawPeriod, cmd::kDrawGold};
    int bar = 55;
    for (int tool : tools) {
        view->OnCommand(tool);
        Click(At(bar, 99.0f));
        Click(At(bar + 8, 103.0f));
        if (tool == cmd::kDrawParallel) Click(At(bar + 4, 97.0f));
        bar += 12;
    }
    std::vector<std::string> kinds;
    for (const CMyLine& line : Stored()) kinds.push_back(line.kind);
    EXPECT_EQ(kinds, (std::vector<std::string>{"segment", "line", "para", "rect", "wave", "period", "gold"}));
    EXPECT_EQ(Stored()[2].anchors.size(), 3u);
    EXPECT_EQ(services.lineCommits.size(), 7u);

    view->OnNotify(WM_NET_LINE, 0);  // a live reload of the goods keeps its lines
    view->OnCommand(cmd::kWeek);
    PaintOn();
    EXPECT_FALSE(Chart().TextsEqual("61.8%").empty()) << "the golden section's levels";
    EXPECT_FALSE(Chart().TextsEqual("87.5%").empty()) << "the wave's levels";
}

TEST_F(KLineDrawing, ExportsTakeEveryBarOfTheDisplayedSeries) {
    ASSERT_TRUE(view->CanExport(ExportKind::Csv));
    const std::string csv = view->Export(ExportKind::Csv)->content;
    EXPECT_EQ(csv.substr(0, csv.find("\r\n", csv.find("\r\n") + 2) + 2),
              "日期,开盘价,收盘价,最高,最低,成交量,净持仓量,购销总量\r\n"
              "2007-01-01,100.00,98.00,101.00,97.00,100,1000,2000\r\n");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 151) << "all 150 bars, not the 100 on show";
    EXPECT_EQ(view->Export(ExportKind::Csv)->request.defaultName, services.mainList[0].name);

    view->OnCommand(cmd::kWeek);  // week bars carry their last day's date
    const std::string week = view->Export(ExportKind::Text)->content;
    EXPECT_EQ(week.substr(week.find("\r\n") + 2, 11), "2007-01-07\t");
    EXPECT_EQ(view->Export(ExportKind::Text)->request.defaultName, services.mainList[0].name + ".txt");
    view->OnCommand(cmd::kMonth);  // month bars their first day's
    const std::string month = view->Export(ExportKind::Csv)->content;
    EXPECT_EQ(month.substr(month.find("\r\n") + 2, 11), "2007-01-01,");
    EXPECT_EQ(std::count(month.begin(), month.end(), '\n'), static_cast<long>(view->Series().size()) + 1);

    view->OnCommand(cmd::kChartOX);
    PaintOn();  // the columns are built once the view is laid out
    const std::string ox = view->Export(ExportKind::Csv)->content;
    ASSERT_FALSE(view->Series().empty());
    EXPECT_EQ(std::count(ox.begin(), ox.end(), '\n'), static_cast<long>(view->Series().size()) + 1)
        << "one row per OX column";
    EXPECT_NE(ox.find("," + std::string(view->Series()[0][kBarOpen]) + ","), std::string::npos);
    EXPECT_EQ(view->PictureExport()->defaultName, services.mainList[0].name + ".bmp");
}

}  // namespace
}  // namespace qelt
