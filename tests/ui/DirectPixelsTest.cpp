// The Qt canvas writes one-pixel solid lines and fills straight into its image: here every
// such drawing is compared pixel by pixel with the same drawing through the painter alone, at
// one, two and three device pixels per view pixel, clipped and not: random and adversarial
// polylines, lines, rectangles and fills, pens the painter must keep, and a whole K-line chart.
#include <gtest/gtest.h>

#include <QPainter>
#include <functional>
#include <random>
#include <sstream>

#include "PixelComparison.h"
#include "TestApplication.h"
#include "common/Commands.h"
#include "support/KLineTestSupport.h"
#include "ui/QtCanvas.h"

namespace qelt {
namespace {

using test::App;

constexpr Size kSmall{48, 40};

using test::FirstDifference;

/// The drawing through the direct writes, or through the painter alone.
QImage Draw(Size size, qreal ratio, bool direct, const std::function<void(Canvas&)>& draw) {
    return test::DrawOnBitmap(size, ratio, direct, 1, 0x000000, draw);
}

std::string Describe(const std::vector<Point>& points) {
    std::ostringstream out;
    for (const Point& p : points) out << " (" << p.x << "," << p.y << ")";
    return out.str();
}

/// Random polylines of the shapes charts make and of the shapes that test the joins: long
/// charts of one or two points per column, steep and flat runs, tiny zigzags, repeated points,
/// runs in one column, and points anywhere on the surface.
std::vector<Point> RandomPolyline(std::mt19937& random, int family) {
    const auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    std::vector<Point> points;
    Point at{below(kSmall.cx), below(kSmall.cy)};
    const int count = family < 2 ? 20 + below(80) : 2 + below(10);
    for (int i = 0; i < count; ++i) {
        points.push_back(at);
        switch (family) {
            case 0:
                at = {at.x + (below(5) ? 1 : 0), at.y + below(9) - 4};
                break;
            case 1:
                at = {at.x + below(2), at.y + below(3) - 1};
                break;
            case 2:
                at = {at.x + below(3) - 1, below(kSmall.cy)};
                break;
            case 3:
                at = {below(kSmall.cx), at.y + below(3) - 1};
                break;
            case 4:
                at = {at.x + below(5) - 2, at.y + below(5) - 2};
                break;
            case 5:
                at = below(4) ? at : Point{at.x + below(3) - 1, at.y + below(3) - 1};
                break;
            case 6:
                at = {at.x, below(kSmall.cy)};
                break;
            default:
                at = {below(kSmall.cx), below(kSmall.cy)};
                break;
        }
        at = {std::clamp(at.x, 0, kSmall.cx - 1), std::clamp(at.y, 0, kSmall.cy - 1)};
    }
    return points;
}

const Rect kClip{7, 5, 33, 29};

TEST(DirectPixels, TheCanvasOfAnImageWritesDirectlyAtWholeRatiosOnly) {
    App();
    for (qreal ratio : {1.0, 2.0, 3.0}) {
        QtBitmap bitmap(20, 20, ratio);
        EXPECT_TRUE(bitmap.GetCanvas().WritesPixelsDirectly()) << ratio;
        bitmap.GetCanvas().SetClip({2, 2, 9, 9});
        EXPECT_TRUE(bitmap.GetCanvas().WritesPixelsDirectly()) << ratio;
        bitmap.GetCanvas().SetDirectPixels(false);
        EXPECT_FALSE(bitmap.GetCanvas().WritesPixelsDirectly()) << ratio;
    }
    for (qreal ratio : {1.5, 4.0}) {
        QtBitmap bitmap(20, 20, ratio);
        EXPECT_FALSE(bitmap.GetCanvas().WritesPixelsDirectly()) << ratio;
    }
    // A canvas over a painter of its own (a printer's, a widget's) knows no image to write.
    QImage image(20, 20, QImage::Format_RGB32);
    QPainter painter(&image);
    QtCanvas canvas(painter);
    EXPECT_FALSE(canvas.WritesPixelsDirectly());
}

TEST(DirectPixels, PolylinesMatchThePainterPixelForPixel) {
    App();
    std::mt19937 random(11);
    for (qreal ratio : {1.0, 2.0, 3.0}) {
        for (int trial = 0; trial < 1200; ++trial) {
            const std::vector<Point> points = RandomPolyline(random, trial % 8);
            const bool clipped = trial % 3 == 0;
            const auto draw = [&](Canvas& c) {
                if (clipped) c.SetClip(kClip);
                c.SelectPen(Pen::Solid(trial % 5 == 0 ? 0 : 1, 0x3399FF));
                c.Polyline(points);
            };
            const std::string difference =
                FirstDifference(Draw(kSmall, ratio, true, draw), Draw(kSmall, ratio, false, draw));
            ASSERT_EQ(difference, "")
                << "ratio " << ratio << (clipped ? " clipped" : "") << ":" << Describe(points);
        }
    }
}

/// Lines of a long chart: hundreds of bars a little under a pixel apart, values that mostly
/// wander a row or two from bar to bar and now and then jump (a gap, a spike), so that runs of
/// short steps and long segments follow one another in every order.
TEST(DirectPixels, LongChartLinesMatchThePainter) {
    App();
    constexpr Size kWide{420, 120};
    std::mt19937 random(23);
    for (qreal ratio : {1.0, 2.0, 3.0}) {
        for (int trial = 0; trial < 24; ++trial) {
            std::vector<Point> points;
            double y = 60.0;
            for (int bar = 0; bar < 500; ++bar) {
                // One bar in twenty jumps up to 40 rows, three stay flat, the rest move up to 3.
                const unsigned kind = random() % 20;
                const int step = kind == 0  ? static_cast<int>(random() % 81) - 40
                                 : kind < 4 ? 0
                                            : static_cast<int>(random() % 7) - 3;
                y = std::clamp(y + step, 2.0, 117.0);
                points.push_back({static_cast<int>(0.41 + bar * 0.82), static_cast<int>(y)});
            }
            const int clip = trial % 3;
            const auto draw = [&](Canvas& c) {
                // No clip, one along the line's extremes (as a pane's range), one across it.
                if (clip == 1) c.SetClip({0, 2, kWide.cx, 118});
                if (clip == 2) c.SetClip({100, 30, 300, 90});
                c.SelectPen(Pen::Solid(1, 0x33CC66));
                c.Polyline(points);
            };
            ASSERT_EQ(FirstDifference(Draw(kWide, ratio, true, draw), Draw(kWide, ratio, false, draw)), "")
                << "ratio " << ratio << " clip " << clip << ":" << Describe(points);
        }
    }
}

TEST(DirectPixels, AdversarialPolylinesAndPensMatchThePainter) {
    App();
    const std::vector<std::vector<Point>> shapes = {
        {{0, 0}, {47, 39}},                           // corner to corner, on the surface's edges
        {{47, 0}, {0, 39}, {47, 39}, {0, 0}},         // closed
        {{5, 5}},                                     // one point
        {{5, 5}, {5, 5}},                             // two equal points
        {{5, 5}, {5, 5}, {9, 5}, {9, 5}},             // zero-length segments at both ends
        {{10, 30}, {10, 2}, {10, 30}, {10, 3}},       // straight back and forth in one column
        {{2, 20}, {40, 20}, {3, 20}},                 // along a row and back
        {{3, 3}, {30, 30}, {30, 29}},                 // ends one pixel up
        {{3, 3}, {30, 30}, {29, 30}},                 // ends one pixel left
        {{3, 3}, {30, 30}, {30, 28}},                 // ends two pixels up
        {{30, 30}, {30, 28}, {3, 3}},                 // starts two pixels up
        {{-5, 10}, {20, 10}, {20, 60}},               // leaves the surface
        {{0, 39}, {1, 0}, {2, 39}, {3, 0}, {4, 39}},  // steep zigzag
        {{0, 20}, {47, 21}, {0, 22}, {47, 23}},       // flat zigzag
        {{6, 4}, {7, 4}, {7, 5}, {8, 5}, {8, 6}},     // staircase
    };
    const std::vector<Pen> pens = {Pen::Solid(1, 0xFFFFFF),
                                   Pen{PenStyle::Solid, 1, 0xFFFFFF, {}, true},  // flat ends
                                   Pen::Solid(2, 0xFFFFFF),
                                   Pen{PenStyle::Dash, 1, 0xFFFFFF, {}, false},
                                   Pen{PenStyle::Dot, 1, 0xFFFFFF, {}, false},
                                   Pen{PenStyle::User, 1, 0xFFFFFF, {1, 5}, true},
                                   Pen{PenStyle::Null, 1, 0xFFFFFF, {}, false}};
    for (qreal ratio : {1.0, 2.0, 3.0})
        for (const auto& points : shapes)
            for (std::size_t pen = 0; pen < pens.size(); ++pen)
                for (int clip = 0; clip < 3; ++clip) {
                    // No clip, a clip, and one inside out (which the painter turns the right way round).
                    const auto draw = [&](Canvas& c) {
                        if (clip == 1) c.SetClip(kClip);
                        if (clip == 2) c.SetClip({30, 30, 10, 10});
                        c.SelectPen(pens[pen]);
                        c.Polyline(points);
                    };
                    EXPECT_EQ(
                        FirstDifference(Draw(kSmall, ratio, true, draw), Draw(kSmall, ratio, false, draw)),
                        "")
                        << "ratio " << ratio << " pen " << pen << " clip " << clip << ":" << Describe(points);
                }
}

TEST(DirectPixels, LinesRectanglesAndFillsMatchThePainter) {
    App();
    std::mt19937 random(17);
    const auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (qreal ratio : {1.0, 2.0, 3.0}) {
        for (int trial = 0; trial < 600; ++trial) {
            // Lines of every slope, short ones (whose end point pulled back meets the start)
            // and axis-aligned ones both ways; rectangles down to one pixel and inside out.
            const Point from{below(kSmall.cx), below(kSmall.cy)};
            const Point to = trial % 4 == 0   ? Point{from.x + below(5) - 2, from.y + below(5) - 2}
                             : trial % 4 == 1 ? Point{from.x, below(kSmall.cy)}
                             : trial % 4 == 2 ? Point{below(kSmall.cx), from.y}
                                              : Point{below(kSmall.cx), below(kSmall.cy)};
            const Rect box{below(kSmall.cx), below(kSmall.cy), below(kSmall.cx + 4) - 2,
                           below(kSmall.cy + 4) - 2};
            const bool clipped = trial % 3 == 0;
            const auto draw = [&](Canvas& c) {
                if (clipped) c.SetClip(kClip);
                c.SelectPen(Pen::Solid(1, 0x00FF00));
                c.MoveTo(from.x, from.y);
                c.LineTo(to.x, to.y);
                c.SelectPen(Pen::Solid(1, 0x0000FF));
                c.SelectBrush(trial % 2 ? Brush::Hollow() : Brush::Solid(0xFF8000));
                c.Rectangle(box);
                c.FillRect({box.left + 3, box.top - 2, box.right + 1, box.bottom + 5}, 0x808080);
            };
            ASSERT_EQ(FirstDifference(Draw(kSmall, ratio, true, draw), Draw(kSmall, ratio, false, draw)), "")
                << "ratio " << ratio << (clipped ? " clipped" : "") << ": line (" << from.x << "," << from.y
                << ")-(" << to.x << "," << to.y << ") box " << box.left << "," << box.top << "," << box.right
                << "," << box.bottom;
        }
    }
}

TEST(DirectPixels, DashedGridLinesMatchThePainterTexture) {
    App();
    // The grids' dotted lines: patterns of odd counts and lengths below one, lines drawn either
    // way along a row or a column, starting anywhere in the pattern, clipped or not.
    const std::vector<std::vector<int>> patterns = {{1, 1}, {1, 3}, {3, 2, 1}, {0, 2}, {4, -1}, {2}};
    std::mt19937 random(29);
    const auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (qreal ratio : {1.0, 2.0, 3.0})
        for (const auto& pattern : patterns)
            for (int trial = 0; trial < 40; ++trial) {
                const Point from{below(kSmall.cx + 6) - 3, below(kSmall.cy + 6) - 3};
                const Point to = trial % 2 ? Point{below(kSmall.cx + 6) - 3, from.y}
                                           : Point{from.x, below(kSmall.cy + 6) - 3};
                const bool clipped = trial % 3 == 0;
                const auto draw = [&](Canvas& c) {
                    if (clipped) c.SetClip(kClip);
                    c.SelectPen(Pen{PenStyle::User, 1, 0x30C0FF, pattern, true});
                    c.MoveTo(from.x, from.y);
                    c.LineTo(to.x, to.y);
                };
                ASSERT_EQ(FirstDifference(Draw(kSmall, ratio, true, draw), Draw(kSmall, ratio, false, draw)),
                          "")
                    << "ratio " << ratio << " pattern of " << pattern.size() << " (" << pattern[0]
                    << "…) from (" << from.x << "," << from.y << ") to (" << to.x << "," << to.y << ")"
                    << (clipped ? " clipped" : "");
            }
}

/// The fixture's contract with `count` day bars of a random walk: prices that swing over the
/// pane so that the lines of 2,000 bars are steep, turn often and share pixel columns.
class DirectPixelsChart : public test::KLineFixture {
  public:
    explicit DirectPixelsChart(int count) : KLineFixture(count) {
        std::mt19937 random(23);
        double price = 3000;
        for (CBarRow& bar : services.mainList[0].series) {
            const double open = price, close = std::max(100.0, price + static_cast<int>(random() % 61) - 30);
            price = close;
            bar.Set(kBarOpen, FormatFixed2(open));
            bar.Set(kBarClose, FormatFixed2(close));
            bar.Set(kBarHigh, FormatFixed2(std::max(open, close) + static_cast<int>(random() % 16)));
            bar.Set(kBarLow, FormatFixed2(std::min(open, close) - static_cast<int>(random() % 16)));
            bar.Set(kBarNum, FormatInt(static_cast<int>(random() % 20000)));
        }
        client = {1000, 600};
    }
    /// The chart of `visible` bars under the pointer, in `windows` (a command) drawn as
    /// `chartType` (a command), its background laid in bands or wholly first.
    QImage Paint(int visible, qreal ratio, bool direct, int windows = cmd::kWindows8,
                 int chartType = cmd::kChartCandles, bool inBands = true) {
        Open();
        view->SetBackgroundInBands(inBands);
        view->OnCommand(windows);
        view->OnCommand(chartType);
        QtBitmap bitmap(client.cx, client.cy, ratio);
        QtCanvas& canvas = bitmap.GetCanvas();
        canvas.SetDirectPixels(direct);
        // Not the background's colour: a row the chart leaves unlaid shows.
        canvas.FillRect({0, 0, client.cx, client.cy}, 0x00FF00);
        view->Paint(canvas, client, DisplayScheme::Screen());
        const int n = static_cast<int>(services.mainList[0].series.size());
        view->ShowBars(visible, n - 1);
        view->OnMouseMove(Mouse(500, 200));
        canvas.FillRect({0, 0, client.cx, client.cy}, 0x00FF00);
        view->Paint(canvas, client, DisplayScheme::Screen());
        return bitmap.Image();
    }
};

TEST(DirectPixels, AKLineChartOfThousandsOfBarsPaintsTheSamePixels) {
    App();
    DirectPixelsChart chart(2400);
    for (qreal ratio : {1.0, 2.0})
        for (int visible : {100, 2000}) {
            const QImage direct = chart.Paint(visible, ratio, true),
                         painter = chart.Paint(visible, ratio, false);
            EXPECT_EQ(FirstDifference(direct, painter), "") << visible << " bars at ratio " << ratio;
        }
}

/// The chart lays its background band by band as its drawing goes down the surface: every
/// layout, chart type and density gives the picture of the background laid wholly first
/// (a label drawn below the rows laid would be wiped by the next band). The bitmaps start
/// green, so that a row left unlaid shows.
TEST(DirectPixels, TheChartLaidInBandsIsTheChartOnItsWholeBackground) {
    App();
    DirectPixelsChart chart(2400);
    for (qreal ratio : {1.0, 1.25, 1.75, 2.0})
        for (int windows : {cmd::kWindows1, cmd::kWindows3, cmd::kWindows8})
            for (int type : {cmd::kChartCandles, cmd::kChartAmerican, cmd::kChartOX})
                for (int visible : {100, 2000}) {
                    const QImage bands = chart.Paint(visible, ratio, true, windows, type, true),
                                 whole = chart.Paint(visible, ratio, true, windows, type, false);
                    EXPECT_EQ(FirstDifference(bands, whole), "")
                        << visible << " bars at ratio " << ratio << ", windows " << windows << ", type "
                        << type;
                }
    // The painter alone, too.
    EXPECT_EQ(FirstDifference(chart.Paint(2000, 2.0, false, cmd::kWindows8, cmd::kChartCandles, true),
                              chart.Paint(2000, 2.0, false, cmd::kWindows8, cmd::kChartCandles, false)),
              "");
}

/// A bitmap dropped while another core still fills its rows waits for them first (they would
/// be written into memory given back: the test crashes), and a canvas with a clip or without
/// direct writes fills nothing ahead.
TEST(DirectPixels, RowsFilledAheadAreTheImagesOwnUntilTheyAreDone) {
    App();
    for (int round = 0; round < 20; ++round) {
        QtBitmap bitmap(1920, 1080, 2.0);
        ASSERT_TRUE(bitmap.GetCanvas().FillRowsAhead(round * 50, 0x102030));
    }
    QtBitmap bitmap(200, 100, 2.0);
    QtCanvas& canvas = bitmap.GetCanvas();
    ASSERT_TRUE(canvas.FillRowsAhead(40, 0x102030));
    canvas.AwaitRows(100);
    EXPECT_EQ(bitmap.Image().pixel(0, 79), 0xFF000000u) << "above the rows handed over";
    EXPECT_EQ(bitmap.Image().pixel(399, 80), ToQColor(0x102030).rgb());
    EXPECT_EQ(bitmap.Image().pixel(0, 199), ToQColor(0x102030).rgb());
    canvas.SetClip({0, 0, 10, 10});
    EXPECT_FALSE(canvas.FillRowsAhead(0, 0x405060));
    canvas.ClearClip();
    canvas.SetDirectPixels(false);
    EXPECT_FALSE(canvas.FillRowsAhead(0, 0x405060));
}

}  // namespace
}  // namespace qelt
