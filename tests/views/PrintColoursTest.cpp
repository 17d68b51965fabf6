// Every view that prints, printed onto a recording canvas the way the printer gets it
// (PrintOnPaper): every line, text and mark shows on white paper with a contrast of at least
// 3:1 (WCAG), whatever colour the view drew it in: the screen's yellow of the drawn lines,
// the light cyan of MA30, the quote panel's pale labels, the users' formula colours. A fill in
// the screen's black background would blacken the sheet.
#include <gtest/gtest.h>

#include <string>

#include "chart/KLineStyle.h"
#include "chart/MyLineDrawing.h"
#include "common/Commands.h"
#include "data/settings/KLineSettingsFiles.h"
#include "gfx/PaperInk.h"
#include "gfx/RecordingCanvas.h"
#include "support/FakeViewServices.h"
#include "support/KLineTestSupport.h"
#include "support/TempDir.h"
#include "support/TradeRows.h"
#include "views/CQeltMutiView.h"
#include "views/CQeltRealView.h"
#include "views/CQeltTradListView.h"
#include "views/QuoteListView.h"
#include "views/kline/TradeMarks.h"
#include "views/system/EquityCurvePainter.h"
#include "views/system/HeatMapPainter.h"

namespace qelt {
namespace {

constexpr int kPrintToday = 20240110;
const DisplayScheme kPaper = DisplayScheme::Print();
constexpr Colour kSheet = Rgb(255, 255, 255);

/// A bitmap whose recording outlives it.
class KeptBitmap : public MemoryBitmap {
  public:
    explicit KeptBitmap(std::shared_ptr<RecordingCanvas> canvas) : m_canvas(std::move(canvas)) {}
    int Width() const override { return m_canvas->Width(); }
    int Height() const override { return m_canvas->Height(); }
    Canvas& GetCanvas() override { return *m_canvas; }
    bool SaveBmp(const std::string&) const override { return false; }

  private:
    std::shared_ptr<RecordingCanvas> m_canvas;
};

/// A recording canvas that keeps what was drawn on the bitmaps it handed out (the
/// multi-goods view paints its cells into bitmaps it drops after the copy).
class Sheet : public RecordingCanvas {
  public:
    Sheet() : RecordingCanvas(1000, 600) {}
    std::unique_ptr<MemoryBitmap> CreateBitmap(int width, int height) override {
        bitmaps.push_back(std::make_shared<RecordingCanvas>(width, height));
        return std::make_unique<KeptBitmap>(bitmaps.back());
    }
    std::vector<std::shared_ptr<RecordingCanvas>> bitmaps;
};

std::string Describe(const DrawRecord& r) {
    return "op " + std::to_string(static_cast<int>(r.op)) + " text '" + r.text + "' at " +
           (r.points.empty() ? std::string("-")
                             : std::to_string(r.points[0].x) + "," + std::to_string(r.points[0].y));
}

/// A mark's colour against what it is drawn on.
void ExpectContrast(Colour mark, Colour under, const std::string& view, const DrawRecord& r) {
    EXPECT_GE(ContrastRatio(mark, under), kPaperContrast)
        << view << ": colour " << std::hex << mark << " on " << under << std::dec << ", " << Describe(r);
}

/// What the printed marks are: the strokes and texts of the recording. Every stroke and
/// every filled shape shows on the sheet; a text shows on the sheet, or on its own opaque
/// background, which shows on the sheet unless it is the sheet's white; fills are the
/// sheet's white or show on it, and never the screen's black background. Returns how many
/// strokes and texts were measured.
std::size_t ExpectShowsOnPaper(const RecordingCanvas& c, const std::string& view) {
    std::size_t marks = 0;
    for (const DrawRecord& r : c.Records()) {
        switch (r.op) {
            case DrawOp::Line:
            case DrawOp::Polyline:
            case DrawOp::Rectangle:
            case DrawOp::Ellipse:
            case DrawOp::Polygon:
                if (r.pen.style != PenStyle::Null) {
                    ++marks;
                    ExpectContrast(r.pen.colour, kSheet, view, r);
                }
                if (r.op != DrawOp::Line && r.op != DrawOp::Polyline && !r.brush.null &&
                    r.brush.colour != kSheet)
                    ExpectContrast(r.brush.colour, kSheet, view, r);
                break;
            case DrawOp::Text: {
                ++marks;
                const bool opaque = r.bkMode == BkMode::Opaque;
                ExpectContrast(r.colour, opaque ? r.bkColour : kSheet, view, r);
                if (opaque && r.bkColour != kSheet) ExpectContrast(r.bkColour, kSheet, view, r);
                break;
            }
            case DrawOp::FillRect:
            case DrawOp::FillRegion:
                EXPECT_NE(r.colour, DisplayScheme::Screen().background) << view << ": " << Describe(r);
                if (r.colour != kSheet) ExpectContrast(r.colour, kSheet, view, r);
                break;
            case DrawOp::Bitmap:
                break;
        }
    }
    return marks;
}

TEST(PrintColours, TheKLineViewDrawsEveryPaneAndItsMainChartInThePapersColours) {
    // Seven lower panes, three times over: all 21 indicators.
    const std::vector<std::vector<int>> layouts = {
        {1, 2, 3, 4, 5, 21, 22}, {23, 24, 25, 26, 27, 41, 42}, {43, 44, 45, 46, 47, 48, 49}};
    for (const std::vector<int>& ids : layouts) {
        test::KLineFixture k;
        ASSERT_TRUE(WriteWinfile(k.dir.Path(), ids));
        k.services.mainList[0].listTag = kTagContract;  // the cover-mode button too
        k.Open();
        k.view->OnKey(k.Key(ViewKey::Left));  // the cursor bar and its values
        k.Paint();
        ASSERT_EQ(k.view->WindowCount(), 8);
        Sheet paper;
        PrintOnPaper(*k.view, paper, k.client, kPaper);
        EXPECT_GT(ExpectShowsOnPaper(paper, "K-line " + std::to_string(ids[0])), 100u);
    }
}

/// Strokes drawn in `colour`.
std::size_t StrokesIn(const RecordingCanvas& c, Colour colour) {
    std::size_t n = 0;
    for (const DrawRecord& r : c.Records())
        n += (r.op == DrawOp::Line || r.op == DrawOp::Polyline) && r.pen.colour == colour;
    return n;
}

TEST(PrintColours, DrawnLinesAveragesAndTheQuotePanelPrintDarkEnoughInEveryChartType) {
    test::KLineFixture k;
    // One line of every kind, over the visible bars.
    for (std::string_view kind :
         {kLineSegment, kLineStraight, kLineParallel, kLineRect, kLineWave, kLinePeriod, kLineGold}) {
        CMyLine line = CMyLine::Make(kind, 6, {70, 100.0f});
        line.anchors[1] = {120, 106.0f};
        if (line.anchors.size() > 2) line.anchors[2] = {90, 99.0f};
        k.services.mainList[0].lines.push_back(line);
    }
    k.Open();
    k.view->OnKey(k.Key(ViewKey::Left));
    for (int type : {cmd::kChartCandles, cmd::kChartAmerican, cmd::kChartOX}) {
        k.view->OnCommand(type);
        k.Paint();
        Sheet paper;
        PrintOnPaper(*k.view, paper, k.client, kPaper);
        const std::string view = "K-line type " + std::to_string(type);
        EXPECT_GT(ExpectShowsOnPaper(paper, view), 100u) << view;
        EXPECT_GT(StrokesIn(paper, InkOnPaper(kLineTextColour)), 20u)
            << view << ": the drawn lines print, in the darker ink of their yellow";
        EXPECT_FALSE(paper.TextsEqual("50.0%").empty()) << view << ": the golden-section levels too";
        EXPECT_FALSE(paper.TextsEqual("成交量").empty()) << view << ": the quote panel";
        if (type != cmd::kChartOX) {
            bool ma30 = false;
            for (const DrawRecord& r : paper.Of(DrawOp::Text))
                if (r.text.rfind("MA30:", 0) == 0) ma30 = r.colour == InkOnPaper(kPaper.line[3]);
            EXPECT_TRUE(ma30) << view << ": MA30 in a darker cyan than the scheme's";
        }
    }
    // The delivery-month list's close line.
    k.services.codes[3] = "0003";
    k.services.selection.category = 3;
    k.view->OnCommand(cmd::kChartCandles);
    k.Paint();
    Sheet paper;
    PrintOnPaper(*k.view, paper, k.client, kPaper);
    ExpectShowsOnPaper(paper, "K-line close line");
}

TEST(PrintColours, TheTradeListShowsOnPaper) {
    test::FakeViewServices services;
    services.mainList = {test::MakeGoods("0101", "20240625", "12.00", "11.00", 0)};
    for (int i = 0; i < 30; ++i)
        services.mainList[0].trades.push_back(
            test::Trade(i, kPrintToday, 90000 + i).Section(i, 10 + i % 5).Volume(10 * i).Pure(1000 + i));
    services.selection.goods = 0;
    test::FakeViewHost host;
    CQeltTradListView view(services);
    view.Attach(host);
    view.OnInitialUpdate();
    Sheet paper;
    PrintOnPaper(view, paper, {1000, 600}, kPaper);
    EXPECT_GT(ExpectShowsOnPaper(paper, "trades"), 30u);
}

TEST(PrintColours, TheUsersFormulasPrintInThePapersColoursAndAWhiteLineStillShows) {
    test::KLineFixture k;
    FormulaLibrary& library = k.services.MutableFormulas();
    const std::vector<std::string> texts = {
        "A:C,COLORWHITE; B:MA(C,5); D:C*2,NODRAW;",
        "D:C-O,COLORSTICK; S:(C-O)/2,STICK,LINETHICK3; VS:V/100,VOLSTICK,DOTLINE;",
        "MA(C,3); MA(C,6); MA(C,9); MA(C,12); MA(C,15), COLORYELLOW;",
    };
    std::vector<int> ids;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const FormulaChange added = library.Add({0, "公式" + std::to_string(i), "", {}, texts[i]});
        ASSERT_TRUE(added.applied) << added.message;
        ids.push_back(added.id);
    }
    ids.push_back(ids.back() + 1);  // a deleted one
    ASSERT_TRUE(WriteWinfile(k.dir.Path(), ids));
    k.Open();
    k.view->OnKey(k.Key(ViewKey::Left));
    k.Paint();
    Sheet paper;
    PrintOnPaper(*k.view, paper, k.client, kPaper);
    EXPECT_GT(ExpectShowsOnPaper(paper, "formula panes"), 300u);
    EXPECT_EQ(paper.TextsEqual("公式已删除").size(), 1u);
    // COLORWHITE on white paper: drawn in the paper's line colour 1, as its title item.
    const Rect first = k.view->Panes().at(1);
    bool black = false;
    for (const DrawRecord& r : paper.Of(DrawOp::Polyline))
        black |= r.points[0].y > first.top && r.points[0].y < first.bottom && r.pen.colour == kPaper.line[0];
    EXPECT_TRUE(black);
    for (const DrawRecord& r : paper.Of(DrawOp::Text))
        if (r.text.rfind("A:", 0) == 0) {
            EXPECT_EQ(r.colour, kPaper.line[0]);
        }
    // The screen keeps white for it.
    k.view->InvalidateChart();
    const RecordingCanvas& screen = k.Paint();
    bool white = false;
    for (const DrawRecord& r : screen.Of(DrawOp::Polyline)) white |= r.pen.colour == Rgb(255, 255, 255);
    EXPECT_TRUE(white);
}

TEST(PrintColours, TheBoardShowsItsPlaceholdersOnPaper) {
    test::FakeViewServices services;
    CQeltGoods stopped = test::MakeGoods("0101", "20070325", "1523.00", "1500.00", 0);
    stopped.state = "-1";
    services.goods[0] = {stopped, test::MakeGoods("0101", "20070425", "1490.00", "1500.00", 1),
                         test::MakeGoods("0101", "20070525", "1500.00", "1500.00", 2)};
    services.selection.category = 0;
    QuoteListView board(services);
    board.OnInitialUpdate();
    board.OnSize(1000, 500);
    Sheet paper;
    PrintOnPaper(board, paper, {1000, 500}, kPaper);
    ExpectShowsOnPaper(paper, "board");
    ASSERT_FALSE(paper.TextsEqual("--  ").empty());
    EXPECT_EQ(paper.TextsEqual("--  ")[0].colour, kPaper.line[0]);
}

class PrintedIntraday : public ::testing::Test {
  protected:
    PrintedIntraday() {
        services.dir = dir.Path();
        services.mainList = {test::MakeGoods("0101", "20240625", "12.00", "11.00", 0),
                             test::MakeGoods("0131", "20240625", "15.00", "15.00", 1)};
        services.mainList[0].trades = {
            test::Trade(1, kPrintToday, 90200).Section(0, 11.5).Compare(11).Volume(20).DynVolume(0),
            test::Trade(2, kPrintToday, 90300).Section(0, 11.5).Newest(11.8).DynVolume(4).Dynamic(),
            test::Trade(3, kPrintToday, 90400)
                .Section(1, 11.5)
                .Compare(11.5)
                .Volume(50)
                .DynVolume(4)
                .Pure(310),
        };
        services.mainList[1].trades = {test::Flagged(1, kPrintToday, 90500, 14.5, 10),
                                       test::Flagged(2, kPrintToday, 93000, 15, 30)};
        services.tradeList = services.mainList[0].trades;
        services.flagged = {"0131"};
    }
    void Print(int goods, int mode) {
        services.selection.goods = goods;
        CQeltRealView view(
            services,
            [] {
                return ChinaTime{kPrintToday, 1030};
            },
            mode);
        view.Attach(host);
        view.OnInitialUpdate();
        view.OnDoubleClick(test::KLineFixture::Mouse(300, 100, MouseButton::Left));  // the cursor on
        Sheet paper;
        PrintOnPaper(view, paper, {1000, 600}, kPaper);
        EXPECT_GT(ExpectShowsOnPaper(paper, "intraday " + std::to_string(goods) + "/" + std::to_string(mode)),
                  10u);
    }

    test::TempDir dir;
    test::FakeViewServices services;
    test::FakeViewHost host;
};

TEST_F(PrintedIntraday, SectionAndFlaggedChartsAndTheHistoryReviewShowOnPaper) {
    Print(0, CQeltRealView::kNormal);
    Print(1, CQeltRealView::kNormal);
    Print(0, CQeltRealView::kHistoryReview);
}

TEST_F(PrintedIntraday, TheMultiGoodsCellsShowOnPaper) {
    for (int i = 2; i < 4; ++i) {
        services.mainList.push_back(test::MakeGoods("013" + FormatInt(i), "20240625", "15.00", "14.00", i));
        services.mainList.back().trades = services.mainList[1].trades;
        services.flagged.push_back(services.mainList.back().goods_no);
    }
    CQeltMutiView view(services, [] { return ChinaTime{kPrintToday, 1030}; });
    host.client = {1000, 600};
    view.Attach(host);
    view.OnInitialUpdate();
    Sheet paper;
    PrintOnPaper(view, paper, {1000, 600}, kPaper);
    ExpectShowsOnPaper(paper, "multi-goods");
    ASSERT_EQ(paper.bitmaps.size(), 4u);
    for (const auto& cell : paper.bitmaps) EXPECT_GT(ExpectShowsOnPaper(*cell, "multi-goods cell"), 10u);
}

TEST(PrintColours, TradeMarksTheEquityCurveAndTheHeatMapPrintReadably) {
    test::KLineFixture k;
    auto marks = std::make_shared<TradeMarks>();
    marks->goods = k.services.mainList[0].Key();
    auto date = [&](int bar) {
        return LeadingInt(k.services.mainList[0].series[static_cast<std::size_t>(bar)][kBarDate]);
    };
    marks->trades = {{TradeSide::Long, 100, date(100), 101, 110, date(110), 104, 3},
                     {TradeSide::Short, 120, date(120), 106, 130, date(130), 99, 7}};
    k.services.tradeMarks = marks;
    k.Open();
    k.Paint();
    Sheet chart;
    PrintOnPaper(*k.view, chart, k.client, kPaper);
    std::size_t marked = 0;
    for (const DrawRecord& r : chart.Of(DrawOp::Polygon))
        marked += r.brush.colour == InkOnPaper(kLongMarkColour) ||
                  r.brush.colour == InkOnPaper(kShortMarkColour) ||
                  r.brush.colour == InkOnPaper(kExitMarkColour);
    EXPECT_EQ(marked, 4u) << "two arrows and two exits, in paper inks";
    EXPECT_GT(ExpectShowsOnPaper(chart, "K-line with trades"), 100u);

    EquityCurve curve;
    curve.capital = 100;
    curve.equity = {100, 120, 90, 130};
    curve.drawdown = {0, 0, 30, 0};
    curve.dates = {20260101, 20260102, 20260103, 20260104};
    Sheet equity;
    PaperCanvas equityInks(equity);
    PaintEquityCurve(equityInks, {600, 400}, curve, kPaper);
    EXPECT_GT(ExpectShowsOnPaper(equity, "equity curve"), 5u);

    HeatMap map;
    map.rowName = "A";
    map.columnName = "B";
    map.rowValues = {1, 2};
    map.columnValues = {1, 2, 3};
    map.cells = {1, -3, 0.1, std::nullopt, 3, -0.2};
    map.selected = 2;
    Sheet heat;
    PaperCanvas heatInks(heat);
    PaintHeatMap(heatInks, {500, 300}, map, kPaper);
    EXPECT_GT(ExpectShowsOnPaper(heat, "heat map"), 5u);
}

}  // namespace
}  // namespace qelt
