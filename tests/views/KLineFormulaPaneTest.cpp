// The user's formulas in the K-line view's panes: chosen from the pane menu, drawn by the
// built-in panes' rules (title and items, lines, sticks by sign, volume sticks as candles,
// NODRAW outputs in the title only), kept in winfile.ini by id, a deleted formula's pane, the
// parameter values set on a title double-click, an edit in the library shown at the next
// paint, week and month bars, reloads that change some bars, the read-out.
#include <gtest/gtest.h>

#include <algorithm>

#include "chart/KLineStyle.h"
#include "common/Commands.h"
#include "common/Files.h"
#include "common/Messages.h"
#include "data/settings/KLineSettingsFiles.h"
#include "indicators/PaneScale.h"
#include "support/KLineTestSupport.h"
#include "views/kline/FormulaPane.h"
#include "views/kline/FormulaPanes.h"
#include "views/kline/KLineMenu.h"

namespace qelt {
namespace {

using test::KLineFixture;

// Three windows in 1000 x 600: the lower panes span rows 360..470 and 470..580, bars 7.4
// pixels wide, the value axis column from x 740.
constexpr Rect kPane1{0, 360, 800, 470};
constexpr Rect kPane2{0, 470, 800, 580};

const char* const kSticks = "D:C-O,COLORSTICK; VV:V/100,VOLSTICK; S:(C-O)/4,STICK,COLOR00FF00;";
const char* const kLines = "M:MA(C,N); HIDE:C*10,NODRAW; R:C,COLORRED,LINETHICK2,DOTLINE; C,COLOR000000;";

class KLineFormulaPane : public ::testing::Test, public KLineFixture {
  protected:
    int Add(const std::string& name, const std::string& text, std::vector<FormulaParameter> parameters = {}) {
        const FormulaChange change =
            services.MutableFormulas().Add(StoredFormula{0, name, "", std::move(parameters), text});
        EXPECT_TRUE(change.applied) << change.message;
        return change.id;
    }
    /// The view opened at a start over the lower panes `ids`, as winfile.ini left them.
    void OpenWith(const std::vector<int>& ids) {
        ASSERT_TRUE(WriteWinfile(dir.Path(), ids));
        services.RestartSettings();
        Open();
    }
    static bool Inside(const Rect& pane, Point p) {
        return p.y >= pane.top && p.y <= pane.bottom && p.x < 800;
    }
    /// Drawing records of `op` that lie in `pane`.
    std::vector<DrawRecord> In(const Rect& pane, DrawOp op) const {
        std::vector<DrawRecord> found;
        for (const DrawRecord& r : canvas.Of(op)) {
            const Point at = op == DrawOp::Rectangle ? Point{r.rect.left, r.rect.top} : r.points.at(0);
            if (Inside(pane, at)) found.push_back(r);
        }
        return found;
    }
    /// The text drawn at `at` that starts with `prefix`; empty when there is none.
    std::vector<DrawRecord> TextsAt(Point at, const std::string& prefix) const {
        std::vector<DrawRecord> found;
        for (const DrawRecord& r : canvas.Of(DrawOp::Text))
            if (r.points[0] == at && r.text.rfind(prefix, 0) == 0) found.push_back(r);
        return found;
    }
    std::string Close(int bar) const {
        return std::string(view->Series()[static_cast<std::size_t>(bar)][kBarClose]);
    }
    double CloseValue(int bar) const { return LeadingDouble(Close(bar)); }
};

TEST_F(KLineFormulaPane, TheMenuListsTheFormulasAndPutsTheChosenOneInThePaneUnderTheClick) {
    const int id = Add("我的&指标", "C;");
    Open();
    Paint();
    host.menuAnswer = CommandOfFormulaPlace(3);  // after the three examples
    view->OnContextMenu({300, 400});
    const MenuEntry& group = host.menus.back().entries.at(9);
    EXPECT_EQ(group.text, "自编指标");
    EXPECT_TRUE(group.enabled);
    std::vector<std::string> names;
    for (const MenuEntry& entry : group.children) names.push_back(entry.text);
    EXPECT_EQ(names, (std::vector<std::string>{"价格振荡", "通道突破", "量比", "我的&指标"}));
    EXPECT_EQ(view->PaneIndicator(1), id);
    EXPECT_EQ(ReadWholeFile(dir.File("winfile.ini")).value(), "1003|21|") << "kept like a built-in's code";
    Paint();
    EXPECT_EQ(TextsAt({5, 363}, "我的&指标").size(), 1u);

    host.menuAnswer = 0;
    view->OnContextMenu({300, 100});
    EXPECT_FALSE(host.menus.back().entries.at(9).enabled) << "not in the main pane";
    // A stale entry past the list does nothing.
    ASSERT_TRUE(services.MutableFormulas().Remove(id).applied);
    EXPECT_FALSE(view->StateOf(CommandOfFormulaPlace(3))->enabled);
    view->OnContextMenu({300, 400});
    EXPECT_TRUE(view->OnCommand(CommandOfFormulaPlace(3)));
    EXPECT_EQ(view->PaneIndicator(1), id);
}

TEST_F(KLineFormulaPane, SticksTakeTheirColourFromTheSignAndVolumeSticksFromTheCandle) {
    const int id = Add("柱", kSticks);
    OpenWith({id, 21});
    Paint();
    const int f = view->Window().lastVisible - view->Window().visibleCount + 1;
    const float w = view->MainPane().barWidth;
    int rising = 0, falling = 0, green = 0;
    std::vector<int> zeroRows;
    for (const DrawRecord& r : In(kPane1, DrawOp::Line)) {
        if (r.points[0].x != r.points[1].x || r.points[0].x >= 740) continue;  // sticks are vertical
        EXPECT_TRUE(r.clip.has_value()) << "kept inside the pane";
        if (r.pen.colour == kRisingBar) ++rising;
        if (r.pen.colour == kFallingBar) ++falling;
        if (r.pen.colour == Rgb(0, 255, 0)) ++green;
        if (r.pen.colour == kRisingBar || r.pen.colour == kFallingBar) zeroRows.push_back(r.points[0].y);
    }
    int up = 0;
    for (int bar = f; bar < f + 100; ++bar)
        up += LeadingDouble(view->Series()[static_cast<std::size_t>(bar)][kBarClose]) >=
              LeadingDouble(view->Series()[static_cast<std::size_t>(bar)][kBarOpen]);
    EXPECT_EQ(rising, up) << "C-O at or above 0";
    EXPECT_EQ(falling, 100 - up);
    EXPECT_EQ(green, 100) << "STICK in its own colour";
    ASSERT_FALSE(zeroRows.empty());
    EXPECT_TRUE(std::all_of(zeroRows.begin(), zeroRows.end(), [&](int y) { return y == zeroRows[0]; }))
        << "every stick starts at 0";
    EXPECT_GT(zeroRows[0], kPane1.top + 20);
    EXPECT_LT(zeroRows[0], kPane1.bottom) << "0 is inside the range";

    const std::vector<DrawRecord> bars = In(kPane1, DrawOp::Rectangle);
    ASSERT_EQ(bars.size(), 100u);
    for (int k = 0; k < 100; ++k) {
        const DrawRecord& r = bars[static_cast<std::size_t>(k)];
        const CBarRow& row = view->Series()[static_cast<std::size_t>(f + k)];
        const bool fallingBar = LeadingFloat(row[kBarClose]) < LeadingFloat(row[kBarOpen]);
        EXPECT_EQ(r.rect.left, TruncatePixel(static_cast<float>(k) * w));
        EXPECT_EQ(r.rect.bottom, zeroRows[0]) << "from 0 up";
        EXPECT_EQ(r.pen.colour, fallingBar ? kFallingBar : kRisingBar);
        EXPECT_EQ(r.brush.colour, fallingBar ? kFallingBar : DisplayScheme::Screen().background);
    }
}

TEST_F(KLineFormulaPane, LinesAndTheTitleFollowTheAttributesAndNoDrawOutputsStayOutOfTheRange) {
    const int id = Add("均线", kLines, {{"N", 5, 2, 50}});
    OpenWith({1, id});
    const RecordingCanvas& c = Paint();
    const DisplayScheme screen = DisplayScheme::Screen();
    ASSERT_EQ(TextsAt({5, 473}, "均线(5)").size(), 1u);
    EXPECT_EQ(TextsAt({5, 473}, "均线(5)")[0].colour, screen.title);
    // No cursor yet: the items show the last bar; each in its output's colour from x 120 on.
    const int last = static_cast<int>(view->Series().size()) - 1;
    double ma = 0;
    for (int bar = last - 4; bar <= last; ++bar) ma += CloseValue(bar);
    const std::vector<std::pair<std::string, Colour>> items = {
        {"M:" + FormatFixed2(ma / 5), screen.line[0]},
        {"HIDE:" + FormatFixed2(CloseValue(last) * 10), screen.line[1]},
        {"R:" + FormatFixed2(CloseValue(last)), Rgb(255, 0, 0)},
        {"OUT1:" + FormatFixed2(CloseValue(last)), screen.line[0]},  // black would not show on black
    };
    int x = 40;
    for (const auto& [text, colour] : items) {
        const std::vector<DrawRecord> found = canvas.TextsEqual(text);
        ASSERT_EQ(found.size(), 1u) << text;
        EXPECT_EQ(found[0].colour, colour) << text;
        EXPECT_EQ(found[0].points[0].y, 473);
        // 80 pixels apart, or further where the one before is wider.
        EXPECT_GE(found[0].points[0].x, x + 80) << text;
        x = found[0].points[0].x;
    }
    EXPECT_EQ(canvas.TextsEqual(items[0].first)[0].points[0].x, 120);

    std::vector<Colour> lineColours;
    for (const DrawRecord& r : In(kPane2, DrawOp::Polyline)) {
        lineColours.push_back(r.pen.colour);
        if (r.pen.colour == Rgb(255, 0, 0)) {
            EXPECT_EQ(r.pen.width, 2);
            EXPECT_EQ(r.pen.style, PenStyle::Dot);
            EXPECT_EQ(r.points.size(), 100u) << "one stroke through every visible bar";
            EXPECT_EQ(r.points[0].x, static_cast<int>(view->MainPane().barWidth / 2));
        }
    }
    std::sort(lineColours.begin(), lineColours.end());
    std::vector<Colour> expected{screen.line[0], screen.line[0], Rgb(255, 0, 0)};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(lineColours, expected) << "M, R and OUT1; HIDE is not drawn";
    // The axis ranges the drawn closes (about 100), not HIDE's ten times as much: five levels
    // of one rounded step.
    std::vector<double> labels;
    for (const DrawRecord& r : c.Of(DrawOp::Text))
        if (r.colour == kAxisLabel && Inside(kPane2, r.points[0]) && r.align.h == HAlign::Right)
            labels.push_back(LeadingDouble(r.text));
    ASSERT_GE(labels.size(), 3u);
    for (double label : labels) EXPECT_LT(label, 200.0);
    std::sort(labels.begin(), labels.end());
    EXPECT_DOUBLE_EQ(labels[1] - labels[0], labels[2] - labels[1]);
}

TEST_F(KLineFormulaPane, TheCursorBarsValuesAndTheReadOutFollowTheMouse) {
    const int id = Add("收盘", "C;");
    OpenWith({1, id});
    Paint();
    view->OnMouseMove(Mouse(300, 520));  // the cursor bar under the mouse
    const RecordingCanvas& c = Paint();
    const int cursor = view->Window().cursor;
    ASSERT_GE(cursor, 0);
    EXPECT_EQ(TextsAt({120, 473}, "OUT1:").at(0).text, "OUT1:" + FormatFixed2(CloseValue(cursor)));
    bool readout = false;
    for (const DrawRecord& r : c.Of(DrawOp::Text))
        readout |= r.bkMode == BkMode::Opaque && r.bkColour == kBlue && r.points[0] == Point{751, 510};
    EXPECT_TRUE(readout) << "the value at the mouse's height";
}

TEST_F(KLineFormulaPane, ADeletedFormulasPaneShowsItsFrameAndTheNoticeAndKeepsItsPlace) {
    const int id = Add("收盘", "C;");
    OpenWith({1, id});
    Paint();
    ASSERT_TRUE(services.MutableFormulas().Remove(id).saved);
    const RecordingCanvas& c = Paint();
    ASSERT_EQ(TextsAt({5, 473}, std::string(kFormulaDeleted)).size(), 1u);
    EXPECT_TRUE(In(kPane2, DrawOp::Polyline).empty());
    for (const DrawRecord& r : c.Of(DrawOp::Text))
        EXPECT_FALSE(Inside(kPane2, r.points[0]) && r.points[0].y < 580 && r.text != kFormulaDeleted)
            << r.text;
    bool separator = false;
    for (const DrawRecord& r : c.Of(DrawOp::Line)) separator |= r.points[0] == Point{740, 470};
    EXPECT_TRUE(separator) << "the frame stays";
    view->OnDoubleClick(Mouse(100, 475));
    EXPECT_TRUE(host.formulaDialogs.empty()) << "no values to set";
    EXPECT_FALSE(view->CursorMode());

    view->OnCommand(cmd::kWindows3);  // a layout writes winfile.ini again
    EXPECT_EQ(ReadWholeFile(dir.File("winfile.ini")).value(), "1|" + FormatInt(id) + "|")
        << "the user's layout is not replaced";

    // Hostile ids: beyond any formula's, beyond an int, negative.
    OpenWith({2147483647, 0, -7});
    EXPECT_EQ(view->WindowCount(), 4);
    ASSERT_TRUE(WriteFileAtomic(dir.File("winfile.ini"), "99999999999|3|-2147483649|"));
    services.RestartSettings();
    Open();
    EXPECT_EQ(view->PaneIndicator(1), 2147483647);
    EXPECT_EQ(view->PaneIndicator(3), -2147483647 - 1);
    Paint();
    EXPECT_EQ(canvas.TextsEqual(std::string(kFormulaDeleted)).size(), 1u);
}

TEST_F(KLineFormulaPane, ValuesSetOnTheTitleHoldForThePaneAndComeBackAfterARestart) {
    const int id = Add("均线", "M:MA(C,N-5);", {{"N", 10, 1, 50}});
    OpenWith({1, id});
    Paint();
    host.formulaDialogEdit = [&] { services.SetFormulaValues(id, {8}); };
    view->OnDoubleClick(Mouse(100, 475));
    EXPECT_EQ(host.formulaDialogs, (std::vector<int>{id}));
    EXPECT_EQ(ReadWholeFile(dir.File("formulaparam.ini")).value(), FormatInt(id) + "=N:8\n");
    Paint();
    EXPECT_EQ(TextsAt({5, 473}, "均线(8)").size(), 1u);
    const int last = static_cast<int>(view->Series().size()) - 1;
    const double ma3 = (CloseValue(last) + CloseValue(last - 1) + CloseValue(last - 2)) / 3;
    EXPECT_EQ(TextsAt({120, 473}, "M:").at(0).text, "M:" + FormatFixed2(ma3));

    // Values that put a constant argument out of range: the title and the fault below it.
    services.SetFormulaValues(id, {3});
    Paint();
    EXPECT_EQ(TextsAt({5, 473}, "均线(3)").size(), 1u);
    ASSERT_EQ(TextsAt({5, 493}, "1:").size(), 1u);
    EXPECT_TRUE(In(kPane2, DrawOp::Polyline).empty());

    services.SetFormulaValues(id, {8});
    // The next start: the application reads formula.txt and formulaparam.ini again.
    test::FakeViewServices again;
    again.dir = dir.Path();
    again.mainList = services.mainList;
    again.selection = services.selection;
    CQeltKLineView restarted(again);
    restarted.Attach(host);
    restarted.OnInitialUpdate();
    canvas.Clear();
    restarted.Paint(canvas, client, DisplayScheme::Screen());
    EXPECT_EQ(TextsAt({5, 473}, "均线(8)").size(), 1u);
}

TEST_F(KLineFormulaPane, AnEditInTheLibraryOrOfTheValuesShowsAtTheNextPaint) {
    const int id = Add("线", "A:C;", {{"N", 2, 1, 9}});
    OpenWith({1, id});
    Paint();
    view->OnMouseMove(Mouse(300, 200));
    Paint();  // the chart is kept from here on
    view->OnMouseMove(Mouse(310, 200));
    Paint();
    EXPECT_TRUE(In(kPane2, DrawOp::Polyline).empty()) << "only the cursor layer was drawn";

    StoredFormula edited = *services.Formulas().Find(id);
    edited.text = "B:C*N,COLORRED;";
    ASSERT_TRUE(services.MutableFormulas().Replace(id, edited).saved);
    Paint();
    ASSERT_EQ(In(kPane2, DrawOp::Polyline).size(), 1u) << "the chart was drawn again";
    EXPECT_EQ(In(kPane2, DrawOp::Polyline)[0].pen.colour, Rgb(255, 0, 0));
    const int cursor = view->Window().cursor;  // the bar under the mouse
    EXPECT_EQ(TextsAt({120, 473}, "B:").at(0).text, "B:" + FormatFixed2(CloseValue(cursor) * 2));

    view->OnMouseMove(Mouse(320, 200));
    Paint();
    services.SetFormulaValues(id, {3});
    Paint();
    EXPECT_EQ(In(kPane2, DrawOp::Polyline).size(), 1u) << "new values draw the chart again";
    EXPECT_EQ(TextsAt({120, 473}, "B:").at(0).text,
              "B:" + FormatFixed2(CloseValue(view->Window().cursor) * 3));
}

TEST_F(KLineFormulaPane, WeekAndMonthPanesComputeOverTheBarsOfThePeriod) {
    const int id = Add("累计", "S:SUM(C,0); N:COUNT(1,0);");
    OpenWith({id, 21});
    for (int command : {cmd::kWeek, cmd::kMonth, cmd::kDay}) {
        view->OnCommand(command);
        Paint();
        // Up to the cursor bar, as the built-in panes show it (the bar before the window
        // until the user moves the cursor).
        const int n = static_cast<int>(view->Series().size());
        const int cursor = view->Window().cursor;
        ASSERT_TRUE(cursor >= 0 && cursor < n);
        double sum = 0;
        for (int bar = 0; bar <= cursor; ++bar) sum += CloseValue(bar);
        EXPECT_EQ(TextsAt({120, 363}, "S:").at(0).text, "S:" + FormatFixed2(sum)) << command;
        EXPECT_EQ(TextsAt({200, 363}, "N:").at(0).text, "N:" + FormatFixed2(cursor + 1)) << command;
        // The last visible bar's point is the last bar's total: the line is the period's.
        view->OnMouseMove(Mouse(view->MainPane().BarCentreX(n - 1), 400));
        Paint();
        sum = 0;
        for (int bar = 0; bar < n; ++bar) sum += CloseValue(bar);
        EXPECT_EQ(TextsAt({120, 363}, "S:").at(0).text, "S:" + FormatFixed2(sum)) << command;
        EXPECT_EQ(TextsAt({200, 363}, "N:").at(0).text, "N:" + FormatFixed2(n)) << command;
    }
}

TEST_F(KLineFormulaPane, AReloadReadsAgainEveryBarItChanged) {
    const int id = Add("累计", "S:SUM(C,0);");
    OpenWith({id, 21});
    auto expectSum = [&](const char* what) {
        Paint();
        view->OnMouseMove(
            Mouse(view->MainPane().BarCentreX(static_cast<int>(view->Series().size()) - 1), 400));
        Paint();  // the newest bar under the mouse
        double sum = 0;
        for (int bar = 0; bar < static_cast<int>(view->Series().size()); ++bar) sum += CloseValue(bar);
        EXPECT_EQ(TextsAt({120, 363}, "S:").at(0).text, "S:" + FormatFixed2(sum)) << what;
    };
    expectSum("at opening");
    // Today's quote moves the last bar's close.
    services.mainList[0].price = "150.00";
    services.mainList[0].newest_price = "150.00";
    services.mainList[0].trades.push_back({"0", "150.00", "0", "5", "20070625", "1", "1", "t1"});
    view->OnNotify(WM_NET_REAL, 0);
    ASSERT_EQ(Close(static_cast<int>(view->Series().size()) - 1), "150.00");
    expectSum("after a live quote");
    // The server sends the series again with an older bar corrected.
    services.mainList[0].series[0].Set(kBarClose, "50.00");
    view->OnNotify(WM_NET_LINE, 0);
    ASSERT_EQ(Close(0), "50.00");
    expectSum("after a corrected first bar");
}

/// A sum of `terms` deviations over windows of 2 to 10 bars: 17 of cost per term and bar.
std::string Deviations(int terms) {
    std::string text = "A:0";
    for (int k = 0; k < terms; ++k) text += "+AVEDEV(C," + std::to_string(2 + k % 9) + ")";
    return text + "; B:C;";
}

/// Output 0 of `text` over `bars` at the last bar, as the title shows it.
std::string LastValue(const std::string& text, const BarSeries& bars) {
    FormulaCompileResult compiled = CompileFormula(text);
    FormulaRun run;
    EXPECT_TRUE(compiled.formula && run.Run(*compiled.formula, bars));
    return "A:" + FormatFixed2(run.ValueAt(0, static_cast<int>(bars.size()) - 1).value_or(0));
}

TEST_F(KLineFormulaPane, AHeavyFormulaIsComputedAwayFromThePaintAndTakenWhenItsResultIsPosted) {
    // 600 averages of deviations over 150 bars cost more than a paint may spend.
    const std::string text = Deviations(600);
    const int id = Add("重", text);
    OpenWith({1, id});
    Paint();
    EXPECT_EQ(TextsAt({5, 473}, "重").size(), 1u) << "the title at once";
    EXPECT_EQ(TextsAt({5, 493}, std::string(kFormulaComputing)).size(), 1u);
    EXPECT_TRUE(TextsAt({120, 473}, "A:").empty());
    ASSERT_TRUE(services.viewMessages.WaitForCount(WM_FORMULA_READY, 1));
    Paint();
    EXPECT_EQ(TextsAt({5, 493}, std::string(kFormulaComputing)).size(), 1u)
        << "the result is taken when the view gets the notification, not before";
    const int invalidations = host.invalidations;
    view->OnNotify(WM_FORMULA_READY, 0);
    EXPECT_GT(host.invalidations, invalidations);
    Paint();
    EXPECT_TRUE(TextsAt({5, 493}, std::string(kFormulaComputing)).empty());
    EXPECT_EQ(TextsAt({120, 473}, "A:").at(0).text, LastValue(text, view->Series()));
    EXPECT_EQ(In(kPane2, DrawOp::Polyline).size(), 2u);

    // A live quote: the changed bar alone, computed at the paint, nothing posted.
    services.mainList[0].price = "150.00";
    services.mainList[0].newest_price = "150.00";
    services.mainList[0].trades.push_back({"0", "150.00", "0", "5", "20070625", "1", "1", "t1"});
    view->OnNotify(WM_NET_REAL, 0);
    Paint();
    EXPECT_EQ(TextsAt({120, 473}, "A:").at(0).text, LastValue(text, view->Series()));
    EXPECT_EQ(services.viewMessages.Count(WM_FORMULA_READY), 1u);

    // An edit while the view is closed under a computation: the worker stops, nothing waits.
    StoredFormula edited = *services.Formulas().Find(id);
    edited.text = Deviations(601);
    ASSERT_TRUE(services.MutableFormulas().Replace(id, edited).saved);
    Paint();
    EXPECT_EQ(TextsAt({5, 493}, std::string(kFormulaComputing)).size(), 1u)
        << "other values: not the old ones";
    view.reset();
}

TEST(KLineFormulaPaneLimit, AFormulaBeyondTheCostLimitIsStoppedWithAMessageInItsPane) {
    test::KLineFixture f(30000);
    const std::string text = Deviations(5400);
    const FormulaChange added = f.services.MutableFormulas().Add(StoredFormula{0, "过重", "", {}, text});
    ASSERT_TRUE(added.applied) << added.message;
    ASSERT_TRUE(WriteWinfile(f.dir.Path(), {1, added.id}));
    f.Open();
    FormulaCompileResult compiled = CompileFormula(text);
    ASSERT_GT(FormulaRun().CostOf(*compiled.formula, static_cast<int>(f.view->Series().size())),
              kMaxFormulaPaneCost);
    f.Paint();
    bool stopped = false;
    for (const DrawRecord& r : f.canvas.Of(DrawOp::Text))
        stopped = stopped || (r.points[0] == Point{5, 493} && r.text == "公式计算量过大，已停止");
    EXPECT_TRUE(stopped) << "at once: nothing is computed";
    EXPECT_EQ(f.services.viewMessages.Count(WM_FORMULA_READY), 0u);
}

}  // namespace
}  // namespace qelt
