#include <gtest/gtest.h>

#include <QApplication>

#include "TestApplication.h"
#include "ui/CMainFrame.h"
#include "ui/QtCanvas.h"

namespace qelt {
namespace {

using test::App;

TEST(QtCanvas, RectanglesExcludeTheirRightAndBottomEdges) {
    App();
    QtBitmap bitmap(20, 20);
    Canvas& c = bitmap.GetCanvas();
    c.FillRect({0, 0, 20, 20}, 0x000000);
    c.SelectPen(Pen::Solid(1, 0x0000FF));
    c.SelectBrush(Brush::Solid(0x00FF00));
    c.Rectangle({2, 2, 10, 10});
    c.FillRect({12, 12, 15, 15}, 0xFF0000);
    const QImage& img = bitmap.Image();
    EXPECT_EQ(img.pixelColor(2, 2), QColor(255, 0, 0)) << "outline starts at left/top";
    EXPECT_EQ(img.pixelColor(9, 9), QColor(255, 0, 0)) << "outline ends at right-1/bottom-1";
    EXPECT_EQ(img.pixelColor(10, 10), QColor(0, 0, 0)) << "right/bottom edge excluded";
    EXPECT_EQ(img.pixelColor(5, 5), QColor(0, 255, 0)) << "brush fill inside";
    EXPECT_EQ(img.pixelColor(14, 14), QColor(0, 0, 255));
    EXPECT_EQ(img.pixelColor(15, 15), QColor(0, 0, 0));
}

TEST(QtCanvas, LinesLeaveOutTheirEndPoint) {
    App();
    QtBitmap bitmap(20, 20);
    Canvas& c = bitmap.GetCanvas();
    c.FillRect({0, 0, 20, 20}, 0x000000);
    c.SelectPen(Pen::Solid(1, 0xFFFFFF));
    c.MoveTo(2, 5);
    c.LineTo(8, 5);
    const QImage& img = bitmap.Image();
    EXPECT_EQ(img.pixelColor(2, 5), QColor(255, 255, 255));
    EXPECT_EQ(img.pixelColor(7, 5), QColor(255, 255, 255));
    EXPECT_EQ(img.pixelColor(8, 5), QColor(0, 0, 0));
}

TEST(MainFrame, TitleShowsVersionAndOfflineMark) {
    App();
    EXPECT_EQ(CMainFrame::TitleFor(true).toStdString(), "Qelt行情分析系统 1.96");
    EXPECT_EQ(CMainFrame::TitleFor(false).toStdString(), "Qelt行情分析系统 1.96 [脱机]");
    CMainFrame w({});
    EXPECT_EQ(w.minimumSize(), QSize(600, 450));
}

}  // namespace
}  // namespace qelt
