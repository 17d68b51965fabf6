// 交易评测 against the demo server, end to end and from the keyboard: a trader opens a
// contract's chart, opens 工具 → 交易评测, optimises the example moving-average cross over its
// two periods, takes a cell of the heat map, sees the trades on the chart, sends a trade to
// the chart's cursor, and takes the marks off with 工具 → 取消交易标记.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <chrono>

#include "TestApplication.h"
#include "common/Commands.h"
#include "common/ServerList.h"
#include "data/settings/RememberedLogin.h"
#include "support/DemoServerProcess.h"
#include "support/TempDir.h"
#include "ui/CMainFrame.h"
#include "ui/CQeltApp.h"
#include "ui/dialogs/SystemTestWindow.h"
#include "ui/widgets/PaintedChart.h"
#include "views/CQeltKLineView.h"
#include "views/ViewKinds.h"
#include "views/kline/TradeMarks.h"

namespace qelt {
namespace {

using namespace std::chrono_literals;
using test::App;
using test::SpinUntil;

template <class T>
T* Child(QWidget& parent, const char* name) {
    T* child = parent.findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
}

/// A button reached from the keyboard as Tab reaches it, and Space: the click comes at once,
/// whichever window the notice of the start-up left active.
bool Press(QWidget& window, const char* button) {
    auto* pushed = Child<QPushButton>(window, button);
    if (!pushed || !pushed->isEnabled()) return false;
    bool clicked = false;
    const QMetaObject::Connection connection =
        QObject::connect(pushed, &QPushButton::clicked, [&clicked] { clicked = true; });
    pushed->setFocus(Qt::TabFocusReason);
    QTest::keyClick(pushed, Qt::Key_Space);
    QObject::disconnect(connection);
    return clicked;
}

/// The page `page` of the window, with the arrow keys on its tabs.
void ShowPage(QWidget& window, int page) {
    auto* tabs = window.findChild<QTabBar*>();
    ASSERT_NE(tabs, nullptr);
    tabs->setFocus(Qt::TabFocusReason);
    while (tabs->currentIndex() < page) QTest::keyClick(tabs, Qt::Key_Right);
    while (tabs->currentIndex() > page) QTest::keyClick(tabs, Qt::Key_Left);
}

void Type(QLineEdit* edit, const char* text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromUtf8(text));
}

TEST(SystemTestEndToEnd, OptimiseTheExampleCrossTakeACellAndSeeItsTradesOnTheChart) {
    App();
    test::TempDir home, serverData;
    test::DemoServerProcess server(QELT_SERVER_PATH, serverData.Path());
    WriteServerList(home.Path(), {{"demo", "127.0.0.1", std::to_string(server.Port())}});
    WriteRememberedLogin(home.Path(), {"demo", "demo"});
    QTimer notices;  // the market notice of the start-up is acknowledged as soon as it shows
    QObject::connect(&notices, &QTimer::timeout, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "noticeDialog" && w->isVisible()) static_cast<QDialog*>(w)->accept();
    });
    notices.start(20);
    AppOptions options;
    options.programDirectory = home.Path();
    options.autoLogin = true;
    options.sendPause = 2ms;
    CQeltApp app(options);
    ASSERT_TRUE(app.InitInstance());

    // The board's second row (the first is an index), Enter: its chart with its bars.
    QTest::keyClick(app.HostWidget(), Qt::Key_Down);
    QTest::keyClick(app.HostWidget(), Qt::Key_Return);
    ASSERT_TRUE(SpinUntil([&] { return app.Context().ActiveKind() == kViewKLine; }, 5s));
    auto* chart = dynamic_cast<CQeltKLineView*>(app.Context().ActiveView());
    ASSERT_TRUE(chart && SpinUntil([&] { return chart->Series().size() > 100; }, 20s));
    const GoodsKey goods = chart->Goods().Key();

    // 工具 → 交易评测: a new formula file holds the example systems, the cross first.
    app.Frame()->UpdateCommandStates();
    QAction* open = app.Frame()->Action(cmd::kSystemTest);
    ASSERT_TRUE(open && open->isEnabled());
    open->trigger();
    SystemTestWindow* window = app.SystemWindow();
    ASSERT_TRUE(window && window->isVisible());
    EXPECT_EQ(Child<QComboBox>(*window, "formula")->currentText(), "均线交叉系统");

    ShowPage(*window, 2);
    Type(Child<QLineEdit>(*window, "optFrom0"), "3");
    Type(Child<QLineEdit>(*window, "optTo0"), "8");
    Type(Child<QLineEdit>(*window, "optFrom1"), "10");
    Type(Child<QLineEdit>(*window, "optTo1"), "30");
    Type(Child<QLineEdit>(*window, "optStep1"), "5");
    ASSERT_TRUE(Press(*window, "optimise"));
    ASSERT_TRUE(SpinUntil([&] { return window->Table().RowCount() == 6 * 5; }, 30s));

    // A cell of the heat map, Enter: its values tested.
    auto* heat = Child<PaintedChart>(*window, "heatMap");
    heat->setFocus();
    QTest::keyClick(heat, Qt::Key_Home);
    QTest::keyClick(heat, Qt::Key_Down);
    QTest::keyClick(heat, Qt::Key_Return);
    ASSERT_TRUE(SpinUntil([&] { return window->Result().has_value(); }, 30s));
    EXPECT_EQ(window->Result()->goods, goods);
    ASSERT_FALSE(window->Result()->result.trades.empty());

    // 在图上显示: the chart of the contract tested marks the trades.
    ASSERT_TRUE(Press(*window, "showOnChart"));
    chart = dynamic_cast<CQeltKLineView*>(app.Context().ActiveView());
    ASSERT_NE(chart, nullptr);
    ASSERT_TRUE(chart->ShownTradeMarks());
    EXPECT_EQ(chart->ShownTradeMarks()->trades, window->Result()->result.trades);

    // A trade, Enter: the chart's cursor on its entry bar.
    ShowPage(*window, 1);
    auto* trades = Child<QTableWidget>(*window, "trades");
    trades->setFocus();
    QTest::keyClick(trades, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(trades, Qt::Key_Return);
    const SystemTrade& last = window->Result()->result.trades.back();
    EXPECT_TRUE(chart->CursorMode());
    EXPECT_EQ(chart->Window().cursor, MarkBar(chart->Series(), last.entryBar, last.entryDate));

    // 工具 → 取消交易标记.
    app.Frame()->UpdateCommandStates();
    QAction* off = app.Frame()->Action(cmd::kTradeMarksOff);
    ASSERT_TRUE(off && off->isEnabled());
    off->trigger();
    EXPECT_FALSE(chart->ShownTradeMarks());
    app.Frame()->UpdateCommandStates();
    EXPECT_FALSE(off->isEnabled());
    app.Frame()->close();
}

}  // namespace
}  // namespace qelt
