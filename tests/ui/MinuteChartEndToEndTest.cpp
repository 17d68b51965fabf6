// Minute bars against the demo server, end to end: a continuously traded contract's chart
// switched to 5 minutes from the keyboard fills in 60 past days with the progress in the
// status bar, and the next start, offline, finds them all in the history database.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QTimer>
#include <chrono>
#include <set>

#include "TestApplication.h"
#include "chart/MinuteBars.h"
#include "common/Numbers.h"
#include "common/ServerList.h"
#include "data/settings/RememberedLogin.h"
#include "support/DemoServerProcess.h"
#include "support/TempDir.h"
#include "ui/CMainFrame.h"
#include "ui/CQeltApp.h"
#include "views/CQeltKLineView.h"
#include "views/ViewKinds.h"

namespace qelt {
namespace {

using namespace std::chrono_literals;
using test::App;
using test::SpinUntil;

void PressF8(QWidget* widget) {
    while (widget->focusProxy()) widget = widget->focusProxy();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F8, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_F8, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

std::size_t DaysOf(const BarSeries& bars) {
    std::set<std::int64_t> dates;
    for (const CBarRow& bar : bars) dates.insert(bar.Date());
    return dates.size();
}

/// The chart of the main record at `index` (F3's jump), once it shows bars.
CQeltKLineView* ChartOf(CQeltApp& app, int index) {
    app.Context().JumpToGoods(index);
    if (!SpinUntil([&] { return app.Context().ActiveKind() == kViewKLine; }, 5s)) return nullptr;
    auto* chart = dynamic_cast<CQeltKLineView*>(app.Context().ActiveView());
    if (!chart || !SpinUntil([&] { return !chart->Series().empty(); }, 10s)) return nullptr;
    app.HostWidget()->grab();
    return chart;
}

class MinuteChartEndToEnd : public ::testing::Test {
  protected:
    MinuteChartEndToEnd() : server(QELT_SERVER_PATH, serverData.Path(), true) {
        App();
        WriteServerList(home.Path(), {{"demo", "127.0.0.1", std::to_string(server.Port())}});
        WriteRememberedLogin(home.Path(), {"demo", "demo"});
        QObject::connect(&noticeCloser, &QTimer::timeout, [] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == "noticeDialog" && w->isVisible()) static_cast<QDialog*>(w)->accept();
        });
        noticeCloser.start(20);
    }
    AppOptions Options() {
        AppOptions o;
        o.programDirectory = home.Path();
        o.autoLogin = true;
        o.sendPause = 2ms;
        return o;
    }
    QTimer noticeCloser;
    test::TempDir home, serverData;
    test::DemoServerProcess server;
};

TEST_F(MinuteChartEndToEnd, FiveMinutesFromTheKeyboardFillSixtyDaysThatStayOffline) {
    ASSERT_TRUE(server.Running());
    int index = -1;
    GoodsKey contract;
    {
        CQeltApp app(Options());
        ASSERT_TRUE(app.InitInstance());
        const std::vector<CQeltGoods> board = app.Store().MainList();
        for (std::size_t i = 0; i < board.size() && index < 0; ++i)
            if (board[i].goods_no == "0131" && LeadingInt(board[i].state) > 0 && board[i].flagged) {
                index = static_cast<int>(i);
                contract = board[i].Key();
            }
        ASSERT_GE(index, 0) << "a trading 厂丝 contract";
        CQeltKLineView* chart = ChartOf(app, index);
        ASSERT_NE(chart, nullptr);
        ASSERT_TRUE(SpinUntil([&] { return chart->Series().size() > 60; }, 10s));
        for (int i = 0; i < 4; ++i) PressF8(app.HostWidget());  // 周, 月, 1分钟, 5分钟
        ASSERT_EQ(chart->ShownPeriod(), kPeriodMinute5);
        EXPECT_TRUE(SpinUntil(
            [&] { return app.Frame()->StatusText().startsWith(QString::fromUtf8("下载分钟线")); }, 10s))
            << app.Frame()->StatusText().toStdString();
        ASSERT_TRUE(SpinUntil([&] { return DaysOf(chart->Series()) >= 61; }, 60s)) << DaysOf(chart->Series());
        EXPECT_TRUE(SpinUntil(
            [&] { return app.Frame()->StatusText() == QString::fromUtf8("分钟线历史下载完毕：60 天"); }, 10s))
            << app.Frame()->StatusText().toStdString();
        for (const CBarRow& bar : chart->Series()) ASSERT_GE(SlotOfTime(bar.Time(), 5), 0) << bar.Time();
        app.ExitInstance();
        app.Frame()->close();
    }
    server.Kill();
    AppOptions o = Options();
    o.autoLogin = false;
    o.offline = true;
    CQeltApp offline(o);
    ASSERT_TRUE(offline.InitInstance());
    ASSERT_FALSE(offline.CurrentSession().IsOnline());
    const std::vector<CQeltGoods> board = offline.Store().MainList();
    ASSERT_LT(static_cast<std::size_t>(index), board.size());
    ASSERT_EQ(board[static_cast<std::size_t>(index)].Key(), contract);
    CQeltKLineView* chart = ChartOf(offline, index);
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->ShownPeriod(), kPeriodMinute5) << "the period the user left";
    EXPECT_GE(DaysOf(chart->Series()), 60u) << "the kept days, offline";
    offline.Frame()->close();
}

}  // namespace
}  // namespace qelt
