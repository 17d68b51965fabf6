// The generic host window with a view of its own: printing in the print colours, a sharp
// buffer at a device pixel ratio of 2, input reaching the view, and the keyboard focus that
// every view gets after a switch in the real application.
#include <gtest/gtest.h>

#include <QPrinter>
#include <QTest>

#include "OfflineOptions.h"
#include "TestApplication.h"
#include "common/Files.h"
#include "gfx/PaperCanvas.h"
#include "support/FakeViewServices.h"
#include "support/TempDir.h"
#include "ui/CMainFrame.h"
#include "ui/CQeltApp.h"
#include "ui/QtCanvas.h"
#include "ui/ViewHostWidget.h"
#include "views/ViewKinds.h"

namespace qelt {
namespace {

using test::App;
using test::OfflineOptions;

/// Paints its background in the scheme it is given and records what reaches it.
class ProbeView : public View {
  public:
    void Paint(Canvas& canvas, Size client, const DisplayScheme& scheme) override {
        paintedBackground = scheme.background;
        canvas.FillRect({0, 0, client.cx, client.cy}, scheme.background);
        canvas.SelectPen(Pen::Solid(1, Rgb(255, 0, 0)));
        canvas.MoveTo(10, 20);
        canvas.LineTo(60, 20);
    }
    bool CanPrint() const override { return true; }
    void PaintForPrint(Canvas& canvas, Size client, const DisplayScheme& scheme) override {
        printedBackground = scheme.background;
        printedInInks = dynamic_cast<PaperCanvas*>(&canvas) != nullptr;
        Paint(canvas, client, scheme);
    }
    bool OnKey(const KeyInput& key) override {
        keys.push_back(key.key);
        return true;
    }
    void OnWheel(bool towardsUser, Point) override { wheel.push_back(towardsUser); }
    std::optional<Colour> paintedBackground;
    std::optional<Colour> printedBackground;
    bool printedInInks = false;  ///< through the canvas that keeps every colour visible on paper
    std::vector<ViewKey> keys;
    std::vector<bool> wheel;
};

TEST(ViewHost, PrintsInThePrintColoursAndPaintsTheWindowInTheScreens) {
    App();
    test::TempDir dir;
    test::FakeViewServices services;
    ProbeView view;
    ViewHostWidget host(view, services);
    host.resize(300, 200);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir.File("view.pdf")));
    host.PrintTo(printer);
    EXPECT_EQ(view.printedBackground, DisplayScheme::Print().background);
    EXPECT_TRUE(view.printedInInks) << "the printer and the preview get inks that show on white";
    EXPECT_TRUE(FileExists(dir.File("view.pdf")));
    host.grab();
    EXPECT_EQ(view.paintedBackground, DisplayScheme::Screen().background);
}

TEST(ViewHost, KeysAndWheelNotchesReachTheView) {
    App();
    test::FakeViewServices services;
    ProbeView view;
    ViewHostWidget host(view, services);
    host.resize(300, 200);
    host.show();
    QTest::keyClick(&host, Qt::Key_7);
    QTest::keyClick(&host, Qt::Key_Backspace);
    EXPECT_EQ(view.keys, (std::vector<ViewKey>{ViewKey::Digit, ViewKey::Backspace}));
    QWheelEvent wheel(QPointF(10, 10), host.mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, -240),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&host, &wheel);
    EXPECT_EQ(view.wheel, (std::vector<bool>{true, true})) << "two notches towards the user";
}

/// The red line at y = 20 covers exactly `ratio` rows of device pixels, nothing blurred.
void ExpectSharpLine(const QImage& image, qreal ratio) {
    int redRows = 0;
    for (int y = 0; y < image.height(); ++y) {
        const QColor c = image.pixelColor(qRound(30 * ratio), y);
        if (c == QColor(255, 0, 0))
            ++redRows;
        else
            EXPECT_EQ(c, QColor(0, 0, 0)) << "row " << y;
    }
    EXPECT_EQ(redRows, qRound(ratio));
}

TEST(ViewHost, TheBufferHoldsDevicePixelsSoOnePixelLinesStaySharp) {
    App();
    test::FakeViewServices services;
    ProbeView view;
    ViewHostWidget host(view, services);
    host.resize(100, 50);
    host.show();
    const qreal ratio = host.devicePixelRatioF();
    const QImage image = host.grab().toImage();
    EXPECT_EQ(image.width(), qRound(100 * ratio));
    ExpectSharpLine(image, ratio);

    // As on a screen of twice the density (QT_SCALE_FACTOR=2).
    QtBitmap dense(100, 50, 2.0);
    view.Paint(dense.GetCanvas(), {100, 50}, DisplayScheme::Screen());
    EXPECT_EQ(dense.Image().width(), 200);
    ExpectSharpLine(dense.Image(), 2.0);
}

TEST(AppViews, EveryViewHasTheKeyboardFocusAfterASwitch) {
    App();
    test::TempDir home;
    const AppOptions options = OfflineOptions(home);
    CQeltApp app(options);
    ASSERT_TRUE(app.InitInstance());
    auto focused = [&] {
        QWidget* focus = app.Frame()->focusWidget();
        return focus && app.HostWidget() &&
               (focus == app.HostWidget() || app.HostWidget()->isAncestorOf(focus));
    };
    EXPECT_TRUE(focused()) << "the board at start";
    app.Context().SwitchView(kViewWeb);
    EXPECT_TRUE(focused()) << "the information view";
    app.Context().OnSwitchViewMessage(kViewQuoteList, 0);  // coming back, as 报价分析 does
    EXPECT_TRUE(focused()) << "the board rebuilt";
    app.Context().OnFunctionKey(2);  // F2 posts the switch
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(focused()) << "the board after F2";
    app.Frame()->close();
}

}  // namespace
}  // namespace qelt
