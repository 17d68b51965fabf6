// 条件选股 against the demo server, end to end: a trader opens 工具 → 条件选股, screens every
// contract with an example formula over the bars the start-up brought, brings up the first
// goods' chart with Enter and adds every goods found to 自选.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <chrono>

#include "TestApplication.h"
#include "common/Commands.h"
#include "common/ServerList.h"
#include "data/Categories.h"
#include "data/settings/RememberedLogin.h"
#include "support/DemoServerProcess.h"
#include "support/TempDir.h"
#include "ui/CMainFrame.h"
#include "ui/CQeltApp.h"
#include "ui/dialogs/ScreeningWindow.h"
#include "views/CQeltKLineView.h"
#include "views/ViewKinds.h"

namespace qelt {
namespace {

using namespace std::chrono_literals;
using test::App;
using test::SpinUntil;

TEST(ScreeningEndToEnd, ScreenEveryContractOpenTheFirstGoodsChartAndAddAllToSelfSelected) {
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
    int contracts = 0;
    for (const GoodsSummary& summary : app.Context().MainSummaries())
        contracts += std::find(kIndexNames.begin(), kIndexNames.end(), summary.due_date) == kIndexNames.end();
    ASSERT_GT(contracts, 0);

    app.Frame()->UpdateCommandStates();
    QAction* open = app.Frame()->Action(cmd::kScreening);
    ASSERT_TRUE(open && open->isEnabled());
    open->trigger();
    ScreeningWindow* window = app.ScreeningWin();
    ASSERT_TRUE(window && window->isVisible());
    auto* formula = window->findChild<QComboBox*>("formula");
    formula->setCurrentIndex(formula->findText("量比"));
    ASSERT_GE(formula->currentIndex(), 0);

    auto* start = window->findChild<QPushButton*>("start");
    start->setFocus(Qt::TabFocusReason);
    QTest::keyClick(start, Qt::Key_Space);
    ASSERT_TRUE(SpinUntil([&] { return !window->Model().Running() && window->Table().Held(); }, 30s));
    const std::string summary = window->Table().Summary();
    EXPECT_EQ(summary.rfind("共 " + std::to_string(contracts) + " 个品种", 0), 0u) << summary;
    ASSERT_GT(window->Table().RowCount(), 0) << summary;

    // Enter on the first row: the main window shows that goods' chart.
    auto* rows = window->findChild<QTableWidget*>("rows");
    rows->setFocus();
    rows->setCurrentCell(0, 0);
    const GoodsKey first = window->Table().GoodsOf(0)->key;
    QTest::keyClick(rows, Qt::Key_Return);
    ASSERT_TRUE(SpinUntil([&] { return app.Context().ActiveKind() == kViewKLine; }, 5s));
    auto* chart = dynamic_cast<CQeltKLineView*>(app.Context().ActiveView());
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->Goods().Key(), first);

    auto* addAll = window->findChild<QPushButton*>("addAllSelfSelected");
    addAll->setFocus(Qt::TabFocusReason);
    QTest::keyClick(addAll, Qt::Key_Space);
    const std::vector<SelfSelectedEntry> mine = app.Settings().ReadSelfSelected();
    EXPECT_EQ(static_cast<int>(mine.size()), window->Table().RowCount());
    for (int row = 0; row < window->Table().RowCount(); ++row)
        EXPECT_NE(std::find(mine.begin(), mine.end(),
                            SelfSelectedEntry{window->Table().GoodsOf(row)->key, std::string(kAllGoodsCode)}),
                  mine.end());
    EXPECT_EQ(window->findChild<QLabel*>("status")->text().toStdString(),
              "已添加到自选：" + std::to_string(window->Table().RowCount()) + " 个品种");
    app.Frame()->close();
}

}  // namespace
}  // namespace qelt
