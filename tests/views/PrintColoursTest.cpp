// Every view that prints, printed onto a recording canvas: whatever it draws on paper shows.
// A pen or a text colour taken from the screen's colours instead of the paper's (line colour
// 1 is white on the screen) vanishes on white paper; a fill in the screen's black background
// blackens it.
#include <gtest/gtest.h>

#include <string>

#include "data/settings/KLineSettingsFiles.h"
#include "gfx/RecordingCanvas.h"
#include "support/FakeViewServices.h"
#include "support/KLineTestSupport.h"
#include "support/TempDir.h"
#include "support/TradeRows.h"
#include "views/CQeltMutiView.h"
#include "views/CQeltRealView.h"
#include "views/QuoteListView.h"

namespace qelt {
namespace {

constexpr int kPrintToday = 20240110;
const DisplayScheme kPaper = DisplayScheme::Print();

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
class PaperCanvas : public RecordingCanvas {
  public:
    PaperCanvas() : RecordingCanvas(1000, 600) {}
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

/// Strokes and texts in any colour but the paper's; fills in any colour but the screen's
/// background. Returns how many strokes were checked.
std::size_t ExpectShowsOnPaper(const RecordingCanvas& c, const std::string& view) {
    std::size_t strokes = 0;
    for (const DrawRecord& r : c.Records()) {
        switch (r.op) {
            case DrawOp::Line:
            case DrawOp::Polyline:
            case DrawOp::Rectangle:
            case DrawOp::Ellipse:
            case DrawOp::Polygon:
                if (r.pen.style == PenStyle::Null) break;
                ++strokes;
                EXPECT_NE(r.pen.colour, kPaper.background) << view << ": " << Describe(r);
                break;
            case DrawOp::Text: {
                const Colour under = r.bkMode == BkMode::Opaque ? r.bkColour : kPaper.background;
                EXPECT_NE(r.colour, under) << view << ": " << Describe(r);
                break;
            }
            case DrawOp::FillRect:
            case DrawOp::FillRegion:
                EXPECT_NE(r.colour, DisplayScheme::Screen().background) << view << ": " << Describe(r);
                break;
            case DrawOp::Bitmap:
                break;
        }
    }
    return strokes;
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
        PaperCanvas paper;
        k.view->PaintForPrint(paper, k.client, kPaper);
        EXPECT_GT(ExpectShowsOnPaper(paper, "K-line " + std::to_string(ids[0])), 100u);
    }
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
    PaperCanvas paper;
    k.view->PaintForPrint(paper, k.client, kPaper);
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
    PaperCanvas paper;
    board.PaintForPrint(paper, {1000, 500}, kPaper);
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
        PaperCanvas paper;
        view.PaintForPrint(paper, {1000, 600}, kPaper);
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
    PaperCanvas paper;
    view.PaintForPrint(paper, {1000, 600}, kPaper);
    ExpectShowsOnPaper(paper, "multi-goods");
    ASSERT_EQ(paper.bitmaps.size(), 4u);
    for (const auto& cell : paper.bitmaps) EXPECT_GT(ExpectShowsOnPaper(*cell, "multi-goods cell"), 10u);
}

}  // namespace
}  // namespace qelt
