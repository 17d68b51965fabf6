// The intraday chart and the multi-goods view in the generic host window: the record tip is a
// floating window over the view (over the cell, in the multi-goods view). The trade list in its
// window, whose columns scroll sideways. Set QELT_REALTIME_PNG
// to a directory to look at the views with eight days of trades.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "TestApplication.h"
#include "support/FakeViewServices.h"
#include "support/TempDir.h"
#include "support/TradeRows.h"
#include "ui/ViewHostWidget.h"
#include "ui/views/CQeltTradListWindow.h"
#include "ui/widgets/CXScrollBar.h"
#include "views/CQeltMutiView.h"
#include "views/CQeltRealView.h"
#include "views/CQeltTradListView.h"

namespace qelt {
namespace {

using test::App;

constexpr int kToday = 20240110;

/// Eight days of a flagged contract's trades, one every 20 seconds of the sessions, and four
/// contracts for the multi-goods view.
void FillServices(test::FakeViewServices& services) {
    for (int g = 0; g < 4; ++g) {
        CQeltGoods goods = test::MakeGoods("013" + FormatInt(g), "20240625", "15.00", "14.00", g);
        goods.name = "厂丝-2406" + FormatInt(25 + g);
        long volume = 0;
        int id = 0;
        for (int day = 0; day < 8; ++day) {
            double price = 14 + 0.3 * g + 0.1 * day;
            volume = 0;
            for (int second = 0; second < 4 * 3600; second += 20) {
                const int minutes = second / 60 + (second < 7200 ? 9 * 60 : 13 * 60 + 30 - 120);
                const int time = minutes / 60 * 10000 + minutes % 60 * 100 + second % 60;
                price += ((id * 7919 + g * 31) % 11 - 5) * 0.004;
                volume += 1 + id % 9;
                goods.trades.push_back(test::Flagged(id++, kToday - 7 + day, time, price, volume));
            }
        }
        services.mainList.push_back(goods);
        services.flagged.push_back(goods.goods_no);
    }
    services.selection.goods = 0;
}

void Save(ViewHostWidget& host, const char* name) {
    if (const char* dir = std::getenv("QELT_REALTIME_PNG"))
        host.grab().save(QString::fromLocal8Bit(dir) + "/" + name);
}

TEST(RealtimeViews, TheRecordTipFloatsOverTheChart) {
    App();
    test::FakeViewServices services;
    FillServices(services);
    CQeltRealView view(services, [] { return ChinaTime{kToday, 1600}; });
    ViewHostWidget host(view, services);
    host.resize(1100, 700);
    view.OnInitialUpdate();
    host.show();
    view.SetDays(8);
    QTest::mouseDClick(&host, Qt::LeftButton, Qt::NoModifier, QPoint(500, 300));
    auto* tip = host.findChild<QWidget*>("overlay1023");
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(tip->isVisible());
    EXPECT_EQ(tip->geometry(), QRect(0, 30, kRecordTipSize.cx, kRecordTipSize.cy));
    Save(host, "intraday-8days.png");
    view.SetDays(1);
    Save(host, "intraday-1day.png");
}

TEST(RealtimeViews, ACellsTipFloatsOverThatCell) {
    App();
    test::FakeViewServices services;
    FillServices(services);
    test::TempDir dir;
    services.dir = dir.Path();
    CQeltMutiView view(services, [] { return ChinaTime{kToday, 1600}; });
    ViewHostWidget host(view, services);
    host.resize(1000, 600);
    view.OnInitialUpdate();
    host.show();
    QTest::mouseDClick(&host, Qt::LeftButton, Qt::NoModifier, QPoint(700, 450));
    auto* tip = host.findChild<QWidget*>("overlay41023");
    ASSERT_NE(tip, nullptr) << "the bottom-right cell's tip";
    EXPECT_EQ(tip->geometry().topLeft(), QPoint(501, 330));
    EXPECT_TRUE(view.Cell(0).CursorOn()) << "the other cells share the cursor";
    Save(host, "multigoods-cursor.png");
}

TEST(RealtimeViews, TheTradeListScrollsItsColumnsByTheBarAndTheArrowKeys) {
    App();
    test::FakeViewServices services;
    FillServices(services);
    CQeltTradListView view(services);
    CQeltTradListWindow window(view, services);
    window.resize(1024, 640);
    view.OnInitialUpdate();
    window.show();
    window.ViewReady();
    CXScrollBar* bar = window.HorizontalBar();
    ASSERT_TRUE(bar->isVisible()) << "sixteen columns do not fit 1024 pixels";
    EXPECT_EQ(bar->geometry(), QRect(0, 620, 1024, 20));
    EXPECT_EQ(bar->Bar().Length(), 4) << "as far as the last column";
    Save(window, "trades-left.png");

    QTest::keyClick(&window, Qt::Key_Right);
    QTest::keyClick(&window, Qt::Key_Right);
    EXPECT_EQ(view.ColumnOffset(), 2);
    EXPECT_EQ(bar->Position(), 2) << "the bar follows the keys";
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(1024 - 10, 10));  // the right arrow
    EXPECT_EQ(view.ColumnOffset(), 3);
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(1024 - 10, 10));
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(1024 - 10, 10));
    EXPECT_EQ(view.ColumnOffset(), 4);
    Save(window, "trades-right.png");

    window.resize(1300, 640);
    QApplication::processEvents();
    window.Invalidate();
    EXPECT_FALSE(bar->isVisible()) << "every column fits: no bar";
}

}  // namespace
}  // namespace qelt
