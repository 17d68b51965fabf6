// The user's formulas over the K-line main chart (主图公式): the menu's check entries and
// 删除主图公式, the choice kept in mainformula.ini for the next start, the outputs drawn in the
// price scale without widening it, their items after the moving averages' labels opening the
// values on a double click, and what is no longer drawn (a formula switched to 副图, deleted,
// or a point-and-figure chart).
#include <gtest/gtest.h>

#include <algorithm>

#include "common/Commands.h"
#include "common/Files.h"
#include "data/settings/KLineSettingsFiles.h"
#include "support/KLineTestSupport.h"
#include "views/kline/KLineMenu.h"

namespace qelt {
namespace {

using test::KLineFixture;

constexpr std::size_t kMainFormulaAverageLines = 5;

class KLineMainFormula : public ::testing::Test, public KLineFixture {
  protected:
    KLineMainFormula() { client = {1400, 600}; }  // room in the title row after the averages
    int Add(const std::string& name, const std::string& text, bool mainChart) {
        StoredFormula formula{0, name, "", {}, text};
        formula.mainChart = mainChart;
        const FormulaChange change = services.MutableFormulas().Add(formula);
        EXPECT_TRUE(change.applied) << change.message;
        return change.id;
    }
    /// The 主图公式 group of the last menu; null when it has none.
    const MenuEntry* Group() const {
        for (const MenuEntry& entry : host.menus.back().entries)
            if (entry.text == "主图公式") return &entry;
        return nullptr;
    }
    std::string MainFormulasFile() const {
        return ReadWholeFile(dir.File("mainformula.ini")).value_or("<none>");
    }
    /// The polylines drawn clipped to the main chart (the bars' pane left of the price axis)
    /// after the moving averages'.
    std::vector<DrawRecord> MainChartLines() const {
        const MainPaneGeometry& g = view->MainPane();
        const Rect chart{g.pane.left, g.pane.top, g.axisX, g.pane.bottom + 1};
        std::vector<DrawRecord> found;
        for (const DrawRecord& r : canvas.Of(DrawOp::Polyline))
            if (r.clip == chart) found.push_back(r);
        const bool averages = view->Window().chartType != kChartOX;
        const std::size_t drop = std::min(found.size(), averages ? kMainFormulaAverageLines : 0);
        found.erase(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(drop));
        return found;
    }
    std::vector<DrawRecord> TextsStarting(const std::string& prefix) const {
        std::vector<DrawRecord> found;
        for (const DrawRecord& r : canvas.Of(DrawOp::Text))
            if (r.text.rfind(prefix, 0) == 0) found.push_back(r);
        return found;
    }
};

TEST_F(KLineMainFormula, TheMainChartMenuChecksTheMainChartFormulasAndKeepsTheChoice) {
    const int a = Add("上轨", "UP:C*1.01;", true);
    Add("副图的", "C;", false);
    const int c = Add("下轨", "DN:C*0.99;", true);
    Open();
    Paint();
    host.menuAnswer = 0;
    view->OnContextMenu({300, 100});
    ASSERT_NE(Group(), nullptr);
    EXPECT_EQ(host.menus.back().entries.at(10).text, "主图公式") << "after 自编指标";
    std::vector<std::string> texts;
    for (const MenuEntry& entry : Group()->children) texts.push_back(entry.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"上轨", "下轨", "", "删除主图公式"})) << "主图 formulas only";
    EXPECT_TRUE(Group()->children[0].checkable);
    EXPECT_FALSE(Group()->children[0].checked);
    EXPECT_FALSE(Group()->children[3].enabled) << "nothing to remove yet";
    view->OnContextMenu({300, 400});
    EXPECT_EQ(Group(), nullptr) << "a lower pane's menu has no 主图公式";

    // Both at once: entries by their place in the library's list (the examples come first).
    const int placeA = 3, placeC = 5;
    host.menuAnswer = CommandOfMainFormulaPlace(placeA);
    view->OnContextMenu({300, 100});
    host.menuAnswer = CommandOfMainFormulaPlace(placeC);
    view->OnContextMenu({300, 100});
    EXPECT_EQ(view->MainChartFormulas(), (std::vector<int>{a, c}));
    EXPECT_EQ(MainFormulasFile(), FormatInt(a) + "|" + FormatInt(c) + "|");
    host.menuAnswer = 0;
    view->OnContextMenu({300, 100});
    EXPECT_TRUE(Group()->children[0].checked);
    EXPECT_TRUE(Group()->children[1].checked);
    EXPECT_TRUE(Group()->children[3].enabled);
    EXPECT_TRUE(view->StateOf(CommandOfMainFormulaPlace(placeA))->checked);
    EXPECT_FALSE(view->StateOf(CommandOfMainFormulaPlace(4))->enabled) << "a 副图 formula";
    EXPECT_TRUE(view->OnCommand(CommandOfMainFormulaPlace(4)));
    EXPECT_EQ(view->MainChartFormulas().size(), 2u) << "a 副图 formula does not go on";

    // The next start finds them on the chart.
    services.RestartSettings();
    Open();
    EXPECT_EQ(view->MainChartFormulas(), (std::vector<int>{a, c}));
    // A second click takes one off; 删除主图公式 takes all off.
    EXPECT_TRUE(view->OnCommand(CommandOfMainFormulaPlace(placeA)));
    EXPECT_EQ(view->MainChartFormulas(), (std::vector<int>{c}));
    host.menuAnswer = cmd::kMainFormulasOff;
    view->OnContextMenu({300, 100});
    EXPECT_TRUE(view->MainChartFormulas().empty());
    EXPECT_EQ(MainFormulasFile(), "");
    EXPECT_FALSE(view->StateOf(cmd::kMainFormulasOff)->enabled);
}

TEST(MainFormulasFile, TakesFormulaIdsOnceEachAndNothingElse) {
    EXPECT_EQ(ParseMainFormulas("1005|12|1005|abc|1007|"), (std::vector<int>{1005, 1007}));
    EXPECT_EQ(ParseMainFormulas("1005|1006"), (std::vector<int>{1005})) << "a piece without | ends it";
    EXPECT_TRUE(ParseMainFormulas("").empty());
    std::string many;
    for (int id = 1000; id < 1100; ++id) many += FormatInt(id) + "|";
    EXPECT_EQ(ParseMainFormulas(many).size(), kMaxMainFormulas);
    EXPECT_EQ(ParseMainFormulas(FormatMainFormulas({1001, 1002})), (std::vector<int>{1001, 1002}));
}

TEST_F(KLineMainFormula, OutputsFollowThePriceScaleWithoutWideningItAndTheirItemsFollowTheAverages) {
    const int id = Add("通道", "UP:C*1.5,COLORRED; MID:C; DN:C*0.5,LINETHICK2;", true);
    Open();
    Paint();
    const PriceScale before = view->MainPane().scale;
    EXPECT_TRUE(MainChartLines().empty());
    view->OnCommand(CommandOfMainFormulaPlace(3));
    Paint();
    const PriceScale after = view->MainPane().scale;
    EXPECT_EQ(after.axisMin, before.axisMin) << "the bars' range stands";
    EXPECT_EQ(after.axisMax, before.axisMax);
    const std::vector<DrawRecord> lines = MainChartLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].pen.colour, Rgb(255, 0, 0));
    EXPECT_EQ(lines[2].pen.width, 2);
    const MainPaneGeometry& g = view->MainPane();
    const int last = g.lastVisible;
    const double close =
        LeadingDouble(std::string(view->Series()[static_cast<std::size_t>(last)][kBarClose]));
    EXPECT_EQ(lines[1].points.back(), (Point{g.BarCentreX(last), g.PriceToY(close)})) << "MID on the closes";
    EXPECT_LT(lines[0].points.back().y, g.pane.top) << "UP runs above the chart, clipped";
    EXPECT_EQ(lines[1].points.size(), static_cast<std::size_t>(g.visibleCount));

    // The items after the averages' labels, in the outputs' colours, at the last bar.
    const std::vector<DrawRecord> up = TextsStarting("UP:"), mid = TextsStarting("MID:");
    ASSERT_EQ(up.size(), 1u);
    ASSERT_EQ(mid.size(), 1u);
    EXPECT_EQ(up[0].points[0], (Point{730, 3}));
    EXPECT_EQ(up[0].colour, Rgb(255, 0, 0));
    EXPECT_EQ(up[0].text, "UP:" + FormatFixed2(close * 1.5));
    EXPECT_EQ(mid[0].points[0].x, 810);
    EXPECT_EQ(TextsStarting("DN:").size(), 1u);

    // A double click on them opens the formula's values.
    view->OnDoubleClick(Mouse(735, 6));
    EXPECT_EQ(host.formulaDialogs, (std::vector<int>{id}));

    // Printed: the same lines in the paper's colours where the formula gave none.
    canvas.Clear();
    view->PaintForPrint(canvas, client, DisplayScheme::Print());
    const std::vector<DrawRecord> printed = MainChartLines();
    ASSERT_EQ(printed.size(), 3u);
    EXPECT_EQ(printed[1].pen.colour, DisplayScheme::Print().line[1]) << "the second output's slot";
    EXPECT_EQ(TextsStarting("UP:").size(), 1u);
}

TEST_F(KLineMainFormula, AFormulaWithoutRoomAfterTheAveragesTakesARowOfItsOwnUnderThem) {
    client = {1000, 600};  // the title row ends a little after the averages' labels
    const int id = Add("通道", "UP:C*1.5; MID:C; DN:C*0.5;", true);
    Open();
    view->OnCommand(CommandOfMainFormulaPlace(3));
    Paint();
    const std::vector<DrawRecord> up = TextsStarting("UP:"), dn = TextsStarting("DN:");
    ASSERT_EQ(up.size(), 1u) << "not left out for want of room";
    ASSERT_EQ(dn.size(), 1u) << "every item on the one row it moved to";
    EXPECT_EQ(up[0].points[0].x, view->MainPane().pane.left + 5);
    EXPECT_GT(up[0].points[0].y, 3) << "under the row of the averages";
    EXPECT_EQ(dn[0].points[0].y, up[0].points[0].y);
    // A double click there opens the formula; one on the averages' labels above does not.
    view->OnDoubleClick(Mouse(up[0].points[0].x + 3, up[0].points[0].y + 3));
    EXPECT_EQ(host.formulaDialogs, (std::vector<int>{id}));
}

TEST_F(KLineMainFormula, AFormulaSwitchedToAPaneDeletedOrUnderPointAndFigureIsNotDrawn) {
    const int id = Add("中线", "MID:C; ENTERLONG:C>O;", true);  // a signal is never a line
    Open();
    view->OnCommand(CommandOfMainFormulaPlace(3));
    Paint();
    EXPECT_EQ(MainChartLines().size(), 1u);
    view->OnCommand(cmd::kChartOX);
    Paint();
    EXPECT_TRUE(MainChartLines().empty()) << "not over OX columns";
    EXPECT_TRUE(TextsStarting("MID:").empty());
    view->OnCommand(cmd::kChartAmerican);
    Paint();
    EXPECT_EQ(MainChartLines().size(), 1u) << "over the American line";

    StoredFormula pane = *services.Formulas().Find(id);
    pane.mainChart = false;
    ASSERT_TRUE(services.MutableFormulas().Replace(id, pane).applied);
    Paint();
    EXPECT_TRUE(MainChartLines().empty()) << "switched to 副图";
    EXPECT_TRUE(TextsStarting("MID:").empty());
    pane.mainChart = true;
    ASSERT_TRUE(services.MutableFormulas().Replace(id, pane).applied);
    Paint();
    EXPECT_EQ(MainChartLines().size(), 1u);
    ASSERT_TRUE(services.MutableFormulas().Remove(id).applied);
    Paint();
    EXPECT_TRUE(MainChartLines().empty()) << "deleted";
    view->OnDoubleClick(Mouse(735, 6));
    EXPECT_TRUE(host.formulaDialogs.empty());
}

}  // namespace
}  // namespace qelt
