// Drawn lines in the K-line view's host window: the mouse and keys as Qt delivers them, the
// line being placed drawn over the kept chart without leaving a trace, every kind on the
// screen, and the picture export as a bitmap file.
#include <gtest/gtest.h>

#include <QTest>
#include <cstdlib>

#include "TestApplication.h"
#include "chart/LineAnchors.h"
#include "common/Commands.h"
#include "common/Files.h"
#include "support/KLineTestSupport.h"
#include "support/TempDir.h"
#include "ui/ViewHostWidget.h"

namespace qelt {
namespace {

using test::App;

class PathDialog : public SaveFileDialog {
  public:
    explicit PathDialog(std::string path) : m_path(std::move(path)) {}
    std::optional<std::string> AskSavePath(const SaveRequest& request) override {
        asked = request;
        return m_path;
    }
    SaveRequest asked;

  private:
    std::string m_path;
};

std::uint32_t Le32(const std::string& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return v;
}

class KLineDrawingWindow : public ::testing::Test, public test::KLineFixture {
  protected:
    KLineDrawingWindow() {
        App();
        Open();
        host = std::make_unique<ViewHostWidget>(*view, services);
        host->resize(1000, 600);
        host->show();
        host->ViewReady();
        QApplication::processEvents();
        Grab();
    }
    ~KLineDrawingWindow() override { host.reset(); }
    QImage Grab() { return host->grab().toImage(); }
    QPoint At(int bar, float price) const {
        const Point p = AnchorToPixel(view->MainPane(), {bar, price});
        return {p.x, p.y};
    }
    void Move(QPoint at) { QTest::mouseMove(host.get(), at); }
    void Click(QPoint at) {
        Move(at);
        QTest::mouseClick(host.get(), Qt::LeftButton, Qt::NoModifier, at);
        Grab();
    }
    /// Pixels of `colour` inside the main pane.
    int Count(const QImage& image, QColor colour) const {
        const Rect pane = view->MainPane().PlotClip();
        int n = 0;
        for (int y = pane.top; y < pane.bottom; ++y)
            for (int x = pane.left; x < pane.right; ++x) n += image.pixelColor(x, y) == colour;
        return n;
    }
    /// Of 20 points spread along the segment from `a` to `b` (ends left out), how many are
    /// `colour` (the moving averages share the lines' colours, but not their course).
    static int AlongIs(const QImage& image, QPoint a, QPoint b, QColor colour) {
        int n = 0;
        for (int i = 1; i <= 20; ++i) {
            const QPoint p(a.x() + (b.x() - a.x()) * i / 21, a.y() + (b.y() - a.y()) * i / 21);
            // A slanted line's pixel may sit a row off the exact point, and its ends may sit a
            // row off the clicks (a price read from a row maps back to the row or the one above).
            bool near = false;
            for (int dy = -2; dy <= 2; ++dy) near = near || image.pixelColor(p.x(), p.y() + dy) == colour;
            n += near;
        }
        return n;
    }
    std::unique_ptr<ViewHostWidget> host;
};

TEST_F(KLineDrawingWindow, ALineBeingPlacedLeavesNoTraceAndCtrlZTakesThePlacedOneBack) {
    host->setFocus();
    const QColor magenta(255, 0, 255), yellow(255, 255, 0);
    const QPoint from = At(60, 99.0f), early = At(90, 108.0f), to = At(120, 101.0f);
    view->OnCommand(cmd::kDrawSegment);
    Click(from);
    Move(early);
    EXPECT_GE(AlongIs(Grab(), from, early, magenta), 18) << "the line being placed, in magenta";
    Move(to);
    const QImage after = Grab();
    EXPECT_LE(AlongIs(after, from, early, magenta), 2) << "it left its earlier place";
    EXPECT_GE(AlongIs(after, from, to, magenta), 18);
    view->InvalidateChart();
    EXPECT_EQ(after, Grab()) << "what the moves left on the screen is the chart drawn afresh";

    Click(to);
    ASSERT_EQ(services.mainList[0].lines.size(), 1u);
    Click(At(140, 108.0f));  // elsewhere: deselected, at rest in yellow with the chart
    EXPECT_GE(AlongIs(Grab(), from, to, yellow), 18);
    QTest::keyClick(host.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(services.mainList[0].lines.empty());
    EXPECT_LE(AlongIs(Grab(), from, to, yellow), 2) << "undone: gone from the kept chart too";
    QTest::keyClick(host.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(services.mainList[0].lines.size(), 1u);
    EXPECT_GE(AlongIs(Grab(), from, to, yellow), 18);
    QTest::keyClick(host.get(), Qt::Key_Escape);
    EXPECT_EQ(services.switches.size(), 1u) << "nothing to take back: Escape leaves the chart";
}

TEST_F(KLineDrawingWindow, EveryKindOnTheChart) {
    const int tools[] = {cmd::kDrawSegment, cmd::kDrawLine,   cmd::kDrawParallel, cmd::kDrawRect,
                         cmd::kDrawWave,    cmd::kDrawPeriod, cmd::kDrawGold};
    const float prices[][3] = {{98.5f, 106.0f, 0}, {97.5f, 99.5f, 0},  {104.0f, 107.0f, 101.0f},
                               {99.0f, 103.0f, 0}, {97.0f, 106.5f, 0}, {100.0f, 100.0f, 0},
                               {107.5f, 102.5f, 0}};
    const int bars[][3] = {{55, 80, 0},   {52, 95, 0},   {60, 75, 62}, {85, 100, 0},
                           {105, 118, 0}, {120, 126, 0}, {128, 142, 0}};
    const QImage before = Grab();
    for (int k = 0; k < 7; ++k) {
        view->OnCommand(tools[k]);
        Click(At(bars[k][0], prices[k][0]));
        Click(At(bars[k][1], prices[k][1]));
        if (tools[k] == cmd::kDrawParallel) Click(At(bars[k][2], prices[k][2]));
    }
    ASSERT_EQ(services.mainList[0].lines.size(), 7u);
    const QImage picture = Grab();
    EXPECT_GT(Count(picture, QColor(255, 255, 0)) - Count(before, QColor(255, 255, 0)), 2000)
        << "six lines at rest in yellow";
    EXPECT_GT(Count(picture, QColor(255, 0, 255)) - Count(before, QColor(255, 0, 255)), 400)
        << "the golden section, selected, with its levels";
    // Set QELT_DRAWING_PNG to look at the seven kinds (and QT_SCALE_FACTOR=2 for a dense screen).
    if (const char* png = std::getenv("QELT_DRAWING_PNG")) picture.save(QString::fromLocal8Bit(png));
}

TEST_F(KLineDrawingWindow, ThePictureExportIsTheChartAsABitmapFile) {
    view->OnCommand(cmd::kDrawWave);
    Click(At(60, 99.0f));
    Click(At(100, 106.0f));
    test::TempDir dir;
    PathDialog dialog(dir.File("chart.bmp"));
    host->SetSaveDialog(&dialog);
    host->ExportPicture();
    host->SetSaveDialog(nullptr);
    EXPECT_EQ(dialog.asked.defaultName, services.mainList[0].name + ".bmp");
    EXPECT_EQ(dialog.asked.filter, "位图文件(*.bmp)|*.bmp");

    const std::string bytes = ReadWholeFile(dir.File("chart.bmp")).value_or("");
    const std::uint32_t rowBytes = 1000 * 3;  // 24 bits, already a multiple of 4
    ASSERT_EQ(bytes.size(), 54 + rowBytes * 600);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(Le32(bytes, 2), bytes.size()) << "file size";
    EXPECT_EQ(Le32(bytes, 10), 54u) << "pixels right after the two headers, no colour table";
    EXPECT_EQ(Le32(bytes, 14), 40u);
    EXPECT_EQ(Le32(bytes, 18), 1000u);
    EXPECT_EQ(Le32(bytes, 22), 600u) << "bottom-up rows";
    EXPECT_EQ(Le32(bytes, 34), rowBytes * 600) << "image size";
    const QImage file(QString::fromStdString(dir.File("chart.bmp")));
    EXPECT_EQ(file.convertToFormat(QImage::Format_RGB32), Grab().convertToFormat(QImage::Format_RGB32))
        << "the file holds what the window shows, the lines included";
}

}  // namespace
}  // namespace qelt
