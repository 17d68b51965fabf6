// The K-line view in the generic host window and the Qt canvas it depends on: text bounds
// the crosshair wipes, lines and dashes at one and two device pixels per view pixel, the
// crosshair over the kept chart leaving nothing behind, the tips as child windows; a formula
// chosen from the pane menu and its values set in the parameter dialog from the keyboard.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <cstdlib>

#include "TestApplication.h"
#include "common/Commands.h"
#include "common/Files.h"
#include "common/Numbers.h"
#include "support/KLineTestSupport.h"
#include "ui/OverlayWidget.h"
#include "ui/QtCanvas.h"
#include "ui/ViewHostWidget.h"
#include "views/kline/BarTips.h"
#include "views/kline/TrackingCanvas.h"

namespace qelt {
namespace {

using test::App;

/// Device pixels of `image` that are not black.
std::vector<QPoint> Lit(const QImage& image) {
    std::vector<QPoint> lit;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != QColor(0, 0, 0)) lit.emplace_back(x, y);
    return lit;
}

TEST(KLineCanvas, TrackedTextBoundsHoldEveryPixelQtDraws) {
    App();
    const std::vector<std::string> texts = {"MA10:12345.67", "VOLUME:123456",  "2026/12/08/二", "←1234.56",
                                            "1234.56→",      "OX格值:10000元", "MACD(12,26,9)", "WWMM%%"};
    const std::vector<Font> fonts = {Font{"宋体", 12, 400}, Font{"宋体", 16, 400}, Font{"Arial", 14, 400},
                                     Font{"宋体", 14, 700}};
    for (qreal ratio : {1.0, 2.0}) {
        for (const Font& font : fonts) {
            for (HAlign h : {HAlign::Left, HAlign::Right}) {
                for (const std::string& text : texts) {
                    QtBitmap bitmap(400, 60, ratio);
                    Canvas& canvas = bitmap.GetCanvas();
                    canvas.FillRect({0, 0, 400, 60}, 0);
                    canvas.SelectFont(font);
                    canvas.SetTextAlign({h, VAlign::Top});
                    canvas.SetBkMode(BkMode::Transparent);
                    canvas.SetTextColour(0xFFFFFF);
                    canvas.TextOut(200, 20, text);
                    const Rect bounds = TrackingCanvas::TextBounds(200, 20, text, font, {h, VAlign::Top});
                    for (const QPoint& p : Lit(bitmap.Image())) {
                        ASSERT_TRUE(bounds.Contains(
                            {static_cast<int>(p.x() / ratio), static_cast<int>(p.y() / ratio)}))
                            << text << " in " << font.face << " " << font.height << " at ratio " << ratio
                            << ": " << p.x() << "," << p.y();
                    }
                }
            }
        }
    }
}

TEST(KLineCanvas, OnePixelLinesAndDashesCoverWholeDevicePixels) {
    App();
    for (qreal ratio : {1.0, 2.0}) {
        const int r = static_cast<int>(ratio);
        QtBitmap bitmap(40, 20, ratio);
        Canvas& canvas = bitmap.GetCanvas();
        canvas.FillRect({0, 0, 40, 20}, 0);
        canvas.SelectPen(Pen{PenStyle::User, 1, 0x0000FF, {1, 5}, true});
        canvas.MoveTo(3, 4);
        canvas.LineTo(30, 4);  // dashes at 3, 9, 15, 21, 27
        canvas.SelectPen(Pen::Solid(1, 0x00FF00));
        canvas.MoveTo(5, 10);
        canvas.LineTo(5, 15);  // rows 10 .. 14
        canvas.MoveTo(2, 17);
        canvas.LineTo(30, 19);  // slanted: as thick as the ratio
        const QImage& image = bitmap.Image();
        for (int x = 0; x < 40; ++x) {
            const bool dash = x >= 3 && x < 30 && (x - 3) % 6 == 0;
            for (int dy = 0; dy < r; ++dy)
                for (int dx = 0; dx < r; ++dx)
                    EXPECT_EQ(image.pixelColor(x * r + dx, 4 * r + dy),
                              dash ? QColor(255, 0, 0) : QColor(0, 0, 0))
                        << "ratio " << ratio << " x " << x;
        }
        EXPECT_EQ(image.pixelColor(5 * r, 14 * r + r - 1), QColor(0, 255, 0));
        EXPECT_EQ(image.pixelColor(5 * r, 15 * r), QColor(0, 0, 0)) << "the end point is left out";
        EXPECT_EQ(image.pixelColor(5 * r + r - 1, 10 * r), QColor(0, 255, 0)) << "a whole view pixel wide";
        int thickness = 0;
        for (int y = 16 * r; y < 20 * r; ++y) thickness += image.pixelColor(15 * r, y) == QColor(0, 255, 0);
        EXPECT_EQ(thickness, r) << "ratio " << ratio;
    }
}

TEST(KLineCanvas, APolylineThroughManyPointsOfOneColumnDrawsWhatQtWould) {
    App();
    std::vector<Point> points;
    for (int i = 0; i < 300; ++i) points.push_back({i / 7, 30 + (i * 37) % 23 - (i % 5)});
    QtBitmap ours(60, 60);
    ours.GetCanvas().FillRect({0, 0, 60, 60}, 0);
    ours.GetCanvas().SelectPen(Pen::Solid(1, 0xFFFFFF));
    ours.GetCanvas().Polyline(points);
    QImage theirs(60, 60, QImage::Format_RGB32);
    theirs.fill(Qt::black);
    QPainter painter(&theirs);
    painter.setPen(QPen(Qt::white, 1));
    QPolygon polygon;
    for (const Point& p : points) polygon << QPoint(p.x, p.y);
    painter.drawPolyline(polygon);
    painter.end();
    EXPECT_EQ(ours.Image(), theirs);
}

class KLineWindow : public ::testing::Test, public test::KLineFixture {
  protected:
    KLineWindow() {
        App();
        Open();
        host = std::make_unique<ViewHostWidget>(*view, services);
        host->resize(1000, 600);
        host->show();
        host->ViewReady();
        QApplication::processEvents();
    }
    ~KLineWindow() override { host.reset(); }
    QImage Grab() { return host->grab().toImage(); }
    void Move(QPoint at) {
        QMouseEvent move(QEvent::MouseMove, at, host->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(host.get(), &move);
    }
    std::unique_ptr<ViewHostWidget> host;
};

TEST_F(KLineWindow, TheCrosshairMovesOverTheKeptChartWithoutATrace) {
    QTest::keyClick(host.get(), Qt::Key_Left);  // cursor mode on
    const QImage before = Grab();
    Move({300, 200});
    Grab();
    Move({500, 420});
    const QImage after = Grab();
    // Force the whole chart to be drawn afresh at the same place: it must equal what the
    // moves left on the screen.
    view->InvalidateChart();
    const QImage fresh = Grab();
    EXPECT_EQ(after, fresh) << "nothing of an earlier crosshair or label stays";
    EXPECT_NE(before, after);
    EXPECT_EQ(after.pixelColor(500, 100), QColor(255, 255, 255)) << "the crosshair's vertical line";
    // Set QELT_KLINE_PNG to look at the view.
    if (const char* png = std::getenv("QELT_KLINE_PNG")) after.save(QString::fromLocal8Bit(png));
}

TEST_F(KLineWindow, ThePrintedPageHasThePrintColoursAndTheScreenKeepsItsOwn) {
    QTest::keyClick(host.get(), Qt::Key_Left);
    const QImage screen = Grab();
    QtBitmap page(1000, 600);
    view->PaintForPrint(page.GetCanvas(), {1000, 600}, DisplayScheme::Print());
    EXPECT_EQ(page.Image().pixelColor(3, 200), QColor(255, 255, 255)) << "white paper";
    EXPECT_EQ(screen.pixelColor(3, 200), QColor(0, 0, 0));
    EXPECT_EQ(Grab(), screen) << "printing leaves the screen's chart as it was";
    // Set QELT_KLINE_PRINT_PNG to look at the page.
    if (const char* png = std::getenv("QELT_KLINE_PRINT_PNG")) page.Image().save(QString::fromLocal8Bit(png));
}

TEST_F(KLineWindow, TheDataTipIsAChildWindowBesideTheChart) {
    QTest::keyClick(host.get(), Qt::Key_Left);
    Grab();
    auto* tip = host->findChild<OverlayWidget*>(QString("overlay%1").arg(kDataTipOverlay));
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(tip->isVisible());
    EXPECT_EQ(tip->geometry().size(), QSize(85, 400));
    EXPECT_EQ(tip->geometry().top(), 30) << "beside the chart, clear of the pane titles";
    QTest::keyClick(host.get(), Qt::Key_Escape);
    EXPECT_EQ(services.switches.back(), (std::pair<int, int>{1, 0}));
}

TEST_F(KLineWindow, SixDigitPricesStayInsideTheDataTipsFrame) {
    // The contract quoted near 166,000: every price 166,000 more.
    CQeltGoods& goods = services.mainList[0];
    for (CBarRow& bar : goods.series)
        for (BarField field : {kBarOpen, kBarClose, kBarHigh, kBarLow, kBarAvg})
            bar.Set(field, FormatFixed2(166000 + LeadingDouble(bar[field])));
    for (std::string* field : {&goods.price, &goods.newest_price, &goods.highest_price, &goods.lowest_price})
        *field = FormatFixed2(166000 + LeadingDouble(*field));
    view->OnCommand(cmd::kDay);
    QTest::keyClick(host.get(), Qt::Key_Left);
    Grab();
    auto* tip = host->findChild<OverlayWidget*>(QString("overlay%1").arg(kDataTipOverlay));
    ASSERT_NE(tip, nullptr);
    const QImage image = tip->grab().toImage();
    const int w = image.width(), h = image.height();
    ASSERT_GE(w, 85);
    // Nothing of a text reaches the red frame 2 pixels in from the right, or beyond it.
    for (int y = 1; y < h - 2; ++y) {
        ASSERT_EQ(image.pixelColor(w - 2, y), QColor(255, 0, 0)) << "the frame at row " << y;
        ASSERT_EQ(image.pixelColor(w - 1, y), QColor(0x1E, 0x1E, 0x1E)) << "outside the frame at row " << y;
    }
}

TEST_F(KLineWindow, TheBarTipFollowsThePointerUntilTheUserDragsItAway) {
    // The tip of a bar body under the pointer, the crosshair off.
    auto bodyOf = [this](int bar) {
        const MainPaneGeometry& g = view->MainPane();
        const CBarRow& row = view->Series()[static_cast<std::size_t>(bar)];
        return QPoint(
            g.BarCentreX(bar),
            (g.PriceToY(LeadingDouble(row[kBarOpen])) + g.PriceToY(LeadingDouble(row[kBarClose]))) / 2);
    };
    auto tip = [this] { return host->findChild<OverlayWidget*>(QString("overlay%1").arg(kBarTipOverlay)); };
    const QPoint first = bodyOf(120);
    Move(first);
    Grab();
    ASSERT_NE(tip(), nullptr);
    ASSERT_TRUE(tip()->isVisible());
    EXPECT_EQ(tip()->pos(), first + QPoint(0, 18));
    const QPoint second = bodyOf(140);
    Move(second);
    Grab();
    EXPECT_EQ(tip()->pos(), second + QPoint(0, 18)) << "it moves with the pointer to the next bar";

    // Dragged by its caption, it stays where it was put while the pointer visits other bars.
    const QPoint press(10, 5);
    QTest::mousePress(tip(), Qt::LeftButton, Qt::NoModifier, press);
    QMouseEvent drag(QEvent::MouseMove, press + QPoint(-200, -100),
                     tip()->mapToGlobal(press + QPoint(-200, -100)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(tip(), &drag);
    QTest::mouseRelease(tip(), Qt::LeftButton, Qt::NoModifier, press + QPoint(-200, -100));
    const QPoint dropped = tip()->pos();
    EXPECT_EQ(dropped, second + QPoint(-200, -82));
    Move(bodyOf(130));
    Grab();
    EXPECT_EQ(tip()->pos(), dropped);

    // Hidden by the crosshair and shown again, it follows the pointer once more.
    QTest::keyClick(host.get(), Qt::Key_Left);
    Grab();
    EXPECT_FALSE(tip()->isVisible());
    // A double click in the first lower pane, below its title strip: the crosshair goes off.
    const QPoint pane(400, 420);
    QMouseEvent twice(QEvent::MouseButtonDblClick, pane, host->mapToGlobal(pane), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(host.get(), &twice);
    Grab();
    const QPoint third = bodyOf(110);
    Move(third);
    Grab();
    ASSERT_FALSE(view->CursorMode());
    EXPECT_TRUE(tip()->isVisible());
    EXPECT_EQ(tip()->pos(), third + QPoint(0, 18));
}

/// The host with the user's answers: the menu entry chosen by its text in a sub-menu.
class ScriptedHost : public ViewHostWidget {
  public:
    using ViewHostWidget::ViewHostWidget;
    QString group, entry;
    QStringList listed;

  protected:
    QAction* ExecMenu(QMenu& menu, const QPoint&) override {
        for (QAction* action : menu.actions()) {
            if (!action->menu() || action->text() != group) continue;
            for (QAction* item : action->menu()->actions()) {
                listed.push_back(item->text());
                if (item->text() == entry && item->isEnabled()) return item;
            }
        }
        return nullptr;
    }
};

TEST(KLineFormulaWindow, AFormulaChosenFromTheMenuTakesItsValuesFromTheDialogAndKeepsThem) {
    App();
    test::KLineFixture k;
    const FormulaChange added =
        k.services.MutableFormulas().Add({0, "A&B", "", {{"N", 5, 1, 50}}, "M:MA(C,N);"});
    ASSERT_TRUE(added.applied);
    k.Open();
    ScriptedHost host(*k.view, k.services);
    host.resize(1000, 600);
    host.show();
    host.ViewReady();
    QApplication::processEvents();

    // The right button in the second pane; "&" in a name is no shortcut.
    host.group = QStringLiteral("自编指标");
    host.entry = QStringLiteral("A&&B");
    QTest::mouseClick(&host, Qt::RightButton, Qt::NoModifier, {300, 500});
    EXPECT_EQ(host.listed.size(), 4) << "the three examples and the new one";
    ASSERT_EQ(k.view->PaneIndicator(2), added.id);
    EXPECT_EQ(ReadWholeFile(k.dir.File("winfile.ini")).value(), "1|" + FormatInt(added.id) + "|");

    // A double click on its title opens the values; typed over and confirmed with Enter.
    bool seen = false;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        seen = true;
        auto* field = dialog->findChild<QLineEdit*>("value0");
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->selectedText(), "5") << "ready to be typed over";
        QTest::keyClicks(field, "12");
        QTest::keyClick(field, Qt::Key_Return);
    });
    QTest::mouseDClick(&host, Qt::LeftButton, Qt::NoModifier, {100, 475});
    EXPECT_TRUE(seen);
    EXPECT_EQ(k.services.FormulaValues(added.id), (std::vector<double>{12}));
    EXPECT_EQ(ReadWholeFile(k.dir.File("formulaparam.ini")).value(), FormatInt(added.id) + "=N:12\n");
    host.grab();  // draws with the new values without a fault
}

}  // namespace
}  // namespace qelt
