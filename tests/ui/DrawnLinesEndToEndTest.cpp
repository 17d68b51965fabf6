// Drawn lines against the demo server, end to end: a line placed with the mouse in one
// process that is then killed outright is there when the client starts again, and the
// frame's 撤销 follows what can be undone.
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>

#include "LoginDeadline.h"
#include "TestApplication.h"
#include "common/Commands.h"
#include "common/Files.h"
#include "common/Gbk.h"
#include "common/ServerList.h"
#include "data/settings/MyLineFile.h"
#include "data/settings/RememberedLogin.h"
#include "support/DemoServerProcess.h"
#include "support/TempDir.h"
#include "ui/CMainFrame.h"
#include "ui/CQeltApp.h"
#include "views/CQeltKLineView.h"
#include "views/ViewKinds.h"
#include "views/kline/DrawnLinesLayer.h"

namespace qelt {
namespace {

using namespace std::chrono_literals;
using test::App;
using test::SpinUntil;

constexpr const char* kChildHome = "QELT_DRAWN_LINES_HOME";

void Send(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

void Click(QWidget* widget, QPoint at) {
    Send(widget, QEvent::MouseMove, at, Qt::NoButton);
    Send(widget, QEvent::MouseButtonPress, at, Qt::LeftButton);
    Send(widget, QEvent::MouseButtonRelease, at, Qt::NoButton);
    widget->grab();  // paints, as the screen would between the clicks
}

AppOptions OptionsFor(const std::string& home) {
    AppOptions o;
    o.programDirectory = home;
    o.autoLogin = true;
    o.sendPause = 2ms;
    return o;
}

/// The market notice box of the start-up is acknowledged as soon as it shows.
class NoticeCloser {
  public:
    NoticeCloser() {
        QObject::connect(&m_timer, &QTimer::timeout, [] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == "noticeDialog" && w->isVisible()) static_cast<QDialog*>(w)->accept();
        });
        m_timer.start(20);
    }

  private:
    QTimer m_timer;
};

/// Enter on the board: the chart of its current contract, with its bars on the screen.
CQeltKLineView* OpenChart(CQeltApp& app) {
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(app.HostWidget(), &enter);
    if (!SpinUntil([&] { return app.Context().ActiveKind() == kViewKLine; }, 5s)) return nullptr;
    auto* chart = dynamic_cast<CQeltKLineView*>(app.Context().ActiveView());
    if (!chart || !SpinUntil([&] { return chart->Series().size() > 20; }, 10s)) return nullptr;
    app.HostWidget()->grab();
    return chart->MainPane().Valid() ? chart : nullptr;
}

/// A segment across the main pane, placed with two clicks.
void PlaceSegment(CQeltApp& app, const CQeltKLineView& chart, int offset) {
    app.Context().RunCommand(cmd::kDrawSegment);
    const Rect pane = chart.MainPane().pane;
    Click(app.HostWidget(), QPoint(pane.left + 100 + offset, pane.top + 80));
    Click(app.HostWidget(), QPoint(chart.MainPane().axisX - 120, pane.bottom - 60 - offset));
}

std::size_t LinesOnShow(const CQeltKLineView& chart) {
    const auto* layer = dynamic_cast<const DrawnLinesLayer*>(chart.Layer());
    return layer ? layer->Tools().Editor().Lines().size() : 0;
}

/// Runs in a process of its own, started by the test below: places a line on the chart of
/// the board's first contract, says so with the file "placed", and waits to be killed.
TEST(DrawnLinesChild, DISABLED_PlacesALineAndWaitsToBeKilled) {
    const char* home = std::getenv(kChildHome);
    ASSERT_NE(home, nullptr);
    App();
    NoticeCloser notices;
    test::LoginDeadline deadline;
    CQeltApp app(OptionsFor(home));
    ASSERT_TRUE(app.InitInstance());
    CQeltKLineView* chart = OpenChart(app);
    ASSERT_NE(chart, nullptr);
    PlaceSegment(app, *chart, 0);
    ASSERT_EQ(app.Context().CurrentGoods().lines.size(), 1u);
    ASSERT_TRUE(WriteFileAtomic(std::string(home) + "placed", "1"));
    for (;;) QApplication::processEvents(QEventLoop::AllEvents, 50);
}

class DrawnLinesEndToEnd : public ::testing::Test {
  protected:
    DrawnLinesEndToEnd() : server(QELT_SERVER_PATH, serverData.Path()) {
        App();
        WriteServerList(home.Path(), {{"demo", "127.0.0.1", std::to_string(server.Port())}});
        WriteRememberedLogin(home.Path(), {"demo", "demo"});
    }
    test::TempDir home, serverData;
    test::DemoServerProcess server;
};

TEST_F(DrawnLinesEndToEnd, ALinePlacedIsThereAfterTheProcessIsKilledAndUndoFollowsTheFrame) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlives a test its runner killed
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::setenv(kChildHome, home.Path().c_str(), 1);
        ::execl("/proc/self/exe", "qelt_app_e2e_tests", "--gtest_also_run_disabled_tests",
                "--gtest_filter=DrawnLinesChild.DISABLED_PlacesALineAndWaitsToBeKilled",
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    bool exited = false;
    for (int i = 0; i < 1200 && !FileExists(home.File("placed")); ++i) {
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            exited = true;
            break;
        }
        std::this_thread::sleep_for(50ms);
    }
    if (!exited) {
        ::kill(pid, SIGKILL);  // no exit handler, no last save: only what was written already
        ::waitpid(pid, &status, 0);
    }
    ASSERT_TRUE(FileExists(home.File("placed"))) << "the child did not place its line";
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

    const MyLineBook book = MyLineBook::Parse(GbkToUtf8(ReadWholeFile(home.File("myline.txt")).value_or("")));
    ASSERT_EQ(book.Keys().size(), 1u);
    const LineKey key = book.Keys()[0];
    const std::vector<CMyLine> placed = book.LinesOf(key);
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_EQ(placed[0].kind, "segment");

    // The next start: the goods has its line, and the chart shows it.
    NoticeCloser notices;
    test::LoginDeadline deadline;
    CQeltApp app(OptionsFor(home.Path()));
    ASSERT_TRUE(app.InitInstance());
    std::vector<CMyLine> stored;
    ASSERT_TRUE(
        app.Store().EditListedGoods(key.tag, key.goods, [&](CQeltGoods& goods) { stored = goods.lines; }));
    EXPECT_EQ(stored, placed);
    CQeltKLineView* chart = OpenChart(app);
    ASSERT_NE(chart, nullptr);
    ASSERT_EQ(chart->Goods().goods_no, key.goods.goodsNo);
    EXPECT_EQ(LinesOnShow(*chart), 1u);

    // 撤销 is greyed until this run has something to undo; then it takes the new line back.
    QAction* undo = app.Frame()->Action(cmd::kDrawUndo);
    ASSERT_NE(undo, nullptr);
    app.Frame()->UpdateCommandStates();
    EXPECT_FALSE(undo->isEnabled()) << "the line of the earlier run is not this run's edit";
    PlaceSegment(app, *chart, 40);
    EXPECT_EQ(LinesOnShow(*chart), 2u);
    app.Frame()->UpdateCommandStates();
    ASSERT_TRUE(undo->isEnabled());
    undo->trigger();
    EXPECT_EQ(LinesOnShow(*chart), 1u);
    EXPECT_EQ(book.Format(), GbkToUtf8(ReadWholeFile(home.File("myline.txt")).value_or("")))
        << "the file is back as the killed process left it";
    app.Frame()->UpdateCommandStates();
    EXPECT_TRUE(app.Frame()->Action(cmd::kDrawRedo)->isEnabled());
    app.Frame()->close();
}

}  // namespace
}  // namespace qelt
