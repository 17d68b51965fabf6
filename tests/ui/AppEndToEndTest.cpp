// The client against the demo server over loopback, headless: login and synchronisation,
// a rejected password, a lost connection, the board saved at exit.
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTimer>
#include <csignal>
#include <thread>

#include "LoginDeadline.h"
#include "OfflineOptions.h"
#include "TestApplication.h"
#include "app/AlarmRules.h"
#include "app/Session.h"
#include "app/ViewKindTable.h"
#include "common/Commands.h"
#include "common/DiagnosticLog.h"
#include "common/Files.h"
#include "common/Messages.h"
#include "common/Numbers.h"
#include "common/ServerList.h"
#include "data/history/HistoryDatabase.h"
#include "data/settings/AlarmFile.h"
#include "data/settings/MultiGoodsFile.h"
#include "data/settings/RememberedLogin.h"
#include "net/Requests.h"
#include "support/BlackHole.h"
#include "support/DemoServerProcess.h"
#include "support/LoopbackServer.h"
#include "support/RecordingRelay.h"
#include "support/TempDir.h"
#include "ui/CMainFrame.h"
#include "ui/CQeltApp.h"
#include "ui/CQeltHtml.h"
#include "ui/CQeltLogin.h"
#include "ui/QtPoster.h"
#include "ui/ViewHostWidget.h"
#include "ui/dialogs/CQeltAlarmDlg.h"
#include "ui/views/CQeltTradListWindow.h"
#include "ui/web/WebPane.h"
#include "views/CQeltKLineView.h"
#include "views/CQeltMutiView.h"
#include "views/CQeltRealView.h"
#include "views/CQeltTradListView.h"
#include "views/ViewKinds.h"

#ifdef QELT_WEBENGINE
#include <QWebEnginePage>
#include <QWebEngineView>
#endif
#include <sstream>

namespace qelt {
namespace {

using namespace std::chrono_literals;

using test::App;
using test::LoginDeadline;
using test::OfflineOptions;
using test::SpinUntil;

/// Connects to the login dialog as soon as it is shown and records its status texts.
class LoginWatcher : public QObject {
  public:
    LoginWatcher() {
        auto* timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<CQeltLogin*>(w);
                if (!dialog || dialog == m_dialog) continue;
                m_dialog = dialog;
                connect(dialog, &CQeltLogin::StatusChanged, this,
                        [this](const QString& text) { statuses.push_back(text.toStdString()); });
                if (onDialog) onDialog(dialog);
            }
        });
        timer->start(0);
    }
    std::vector<std::string> statuses;
    std::function<void(CQeltLogin*)> onDialog;

  private:
    CQeltLogin* m_dialog = nullptr;
};

/// Ends a child program started by a test: `signal` first, then SIGKILL if it has not ended
/// within `grace`; its wait status, or -1 when it had to be killed. The destructor of a guard
/// does the same with SIGKILL, so a failed assertion never leaves a program running that
/// holds the test runner's output open.
int EndChild(pid_t pid, int signal, std::chrono::seconds grace = 30s) {
    ::kill(pid, signal);
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + grace;
    while (std::chrono::steady_clock::now() < deadline) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) return status;
        if (done < 0) return -1;
        std::this_thread::sleep_for(20ms);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return -1;
}

struct ChildGuard {
    pid_t pid;
    ~ChildGuard() {
        if (pid > 0 && ::waitpid(pid, nullptr, WNOHANG) == 0) EndChild(pid, SIGKILL, 5s);
    }
};

class AppEndToEnd : public ::testing::Test {
  protected:
    AppEndToEnd() : server(QELT_SERVER_PATH, serverData.Path(), true) {
        App();
        WriteServerList(home.Path(), {{"demo", "127.0.0.1", std::to_string(server.Port())}});
        // The server's notice opens the modal "市场公告" box after start-up: acknowledge it.
        QObject::connect(&noticeCloser, &QTimer::timeout, [this] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == "noticeDialog" && w->isVisible()) {
                    noticeShown = true;
                    static_cast<QDialog*>(w)->accept();
                }
        });
        noticeCloser.start(20);
    }
    ~AppEndToEnd() override {
        EXPECT_FALSE(deadline.Expired()) << "the login did not end within its deadline";
    }
    QTimer noticeCloser;
    bool noticeShown = false;
    LoginDeadline deadline;
    AppOptions Options() {
        AppOptions o;
        o.programDirectory = home.Path();
        o.autoLogin = true;
        o.sendPause = 2ms;
        return o;
    }
    test::TempDir home, serverData;
    test::DemoServerProcess server;
};

bool InOrder(const std::vector<std::string>& seen, const std::vector<std::string>& wanted) {
    size_t at = 0;
    for (const auto& s : seen)
        if (at < wanted.size() && s == wanted[at]) ++at;
    return at == wanted.size();
}

TEST_F(AppEndToEnd, LoginWalksTheSynchronisationToTheBoard) {
    ASSERT_TRUE(server.Running());
    WriteRememberedLogin(home.Path(), {"demo", "demo"});
    LoginWatcher watcher;
    CQeltApp app(Options());
    ASSERT_TRUE(app.InitInstance());
    // ("验证身份..." comes before the watcher can connect to the dialog.)
    EXPECT_TRUE(
        InOrder(watcher.statuses,
                {"验证身份...登陆成功", "初始化商品分类...完成", "初始化商品列表...", "初始化商品列表...完成",
                 "同步行情数据...", "同步行情数据...完成", "同步交易信息...80%", "同步交易信息...完成"}))
        << ::testing::PrintToString(watcher.statuses);
    EXPECT_TRUE(app.CurrentSession().IsOnline());
    EXPECT_GT(app.Store().MainCount(), 10u);
    ASSERT_NE(app.Frame(), nullptr);
    EXPECT_EQ(app.Frame()->windowTitle().toStdString(), "Qelt行情分析系统 1.96");
    ASSERT_TRUE(
        SpinUntil([&] { return !app.Frame()->IndexPaneText(0).endsWith(QString::fromUtf8("：")); }, 5s));
    EXPECT_EQ(ReadRememberedLogin(home.Path()).value(), (RememberedLogin{"demo", "demo"}));
    EXPECT_TRUE(SpinUntil([&] { return noticeShown; }, 5s)) << "the server's notice is shown after start-up";

    // The information view shows the operator's news listing served by the demo server.
    app.Context().SwitchView(5);
    auto* web = qobject_cast<CQeltHtml*>(app.Frame()->View());
    ASSERT_NE(web, nullptr);
    EXPECT_TRUE(web->Url().endsWith("/web/TempleteList.aspx?id=73"));
    EXPECT_TRUE(SpinUntil([&] { return web->ShownText().contains(QString::fromUtf8("今日要闻")); }, 5s))
        << web->ShownText().toStdString();
    EXPECT_TRUE(app.Socket().Standing().empty()) << "the web view polls the alarm queries alone";
    EXPECT_TRUE(app.Socket().IsPolling());
    app.Context().SwitchView(1);
    app.Context().SwitchView(1);  // F2 on the board: the new board polls, the old one stopped before it
    EXPECT_TRUE(app.Socket().IsPolling());

    // The board goes to the local database at exit, once.
    app.ExitInstance();
    HistoryDatabase db(home.Path());
    EXPECT_EQ(db.Query("select count(*) from qeltlist").at(0).at(0), std::to_string(app.Store().MainCount()));
    EXPECT_FALSE(db.Query("select count(*) from category").at(0).at(0) == "0");
    if (app.Frame()) app.Frame()->close();
}

/// Saves the view on show into $QELT_REALTIME_PNG (a directory) when it is set, to look at.
void SaveView(CQeltApp& app, const char* name) {
    const char* dir = std::getenv("QELT_REALTIME_PNG");
    if (dir == nullptr || app.HostWidget() == nullptr) return;
    app.HostWidget()->grab().save(QString::fromLocal8Bit(dir) + "/" + name);
}

/// The first trading main record of goods `goodsNo`.
std::optional<GoodsSummary> TradingGoods(CQeltApp& app, const std::string& goodsNo) {
    for (const GoodsSummary& g : app.Store().Summaries(GoodsList::Main))
        if (g.goods_no == goodsNo && LeadingInt(g.state) > 0) return g;
    return std::nullopt;
}

TEST_F(AppEndToEnd, TheIntradayTradeAndMultiGoodsViewsFollowTheSimulatedSession) {
    WriteRememberedLogin(home.Path(), {"demo", "demo"});
    CQeltApp app(Options());
    ASSERT_TRUE(app.InitInstance());
    app.Frame()->resize(1280, 800);
    const std::optional<GoodsSummary> flagged = TradingGoods(app, "0131");
    ASSERT_TRUE(flagged);
    const std::vector<std::string> codes = app.Store().CategoryCodes();
    app.Context().Selection().category =
        static_cast<int>(std::find(codes.begin(), codes.end(), "0131") - codes.begin());
    app.Context().SelectGoods(flagged->position);

    // 即时分析 on a contract traded continuously: its trades arrive while it is on show.
    app.Context().RunCommand(cmd::kIntraday);
    auto* chart = dynamic_cast<CQeltRealView*>(app.Context().ActiveView());
    ASSERT_NE(chart, nullptr);
    EXPECT_TRUE(chart->Flagged());
    EXPECT_EQ(app.Socket().Standing(),
              (std::vector<std::string>{"list:", "real::0131:" + flagged->due_date + ":1:"}));
    const std::size_t held = chart->TradesHeld();
    EXPECT_TRUE(SpinUntil([&] { return chart->TradesHeld() > held; }, 60s)) << "no new trade in a minute";
    EXPECT_FALSE(chart->Series().Empty());
    SaveView(app, "intraday-flagged.png");

    // F1: the trade list of the same contract, following the newest.
    app.Context().OnFunctionKey(1);
    ASSERT_TRUE(SpinUntil(
        [&] { return dynamic_cast<CQeltTradListView*>(app.Context().ActiveView()) != nullptr; }, 5s));
    auto* list = dynamic_cast<CQeltTradListView*>(app.Context().ActiveView());
    EXPECT_GE(list->Rows().size(), held);
    EXPECT_EQ(app.Socket().Standing(), (std::vector<std::string>{"real::0131:" + flagged->due_date + ":1:"}));
    app.HostWidget()->repaint();
    EXPECT_TRUE(list->Following());
    EXPECT_NE(dynamic_cast<CQeltTradListWindow*>(app.HostWidget()), nullptr)
        << "the trade list's window, with its column scroll bar";
    SaveView(app, "tradelist.png");

    // A goods traded in sections, and its history review from a past day's trades.
    const std::optional<GoodsSummary> sections = TradingGoods(app, "0112");
    ASSERT_TRUE(sections);
    app.Context().Selection().category =
        static_cast<int>(std::find(codes.begin(), codes.end(), "0112") - codes.begin());
    app.Context().SelectGoods(sections->position);
    app.Context().SwitchView(kViewIntraday);
    chart = dynamic_cast<CQeltRealView*>(app.Context().ActiveView());
    ASSERT_NE(chart, nullptr);
    EXPECT_FALSE(chart->Flagged());
    SaveView(app, "intraday-sections.png");
    const CQeltGoods goods = app.Context().CurrentGoods();
    ASSERT_GE(goods.series.size(), 2u);
    const std::string pastDay(goods.series[goods.series.size() - 2][0]);
    app.Context().Send(RealHistoryRequest("0112", pastDay, goods.Key()));
    ASSERT_TRUE(SpinUntil([&] { return !app.Store().TradeList().empty(); }, 10s));
    app.Context().OnSwitchViewMessage(kViewIntraday, CQeltRealView::kHistoryReview);
    chart = dynamic_cast<CQeltRealView*>(app.Context().ActiveView());
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->Mode(), CQeltRealView::kHistoryReview);
    EXPECT_FALSE(chart->SectionRows().empty());
    EXPECT_EQ(chart->SectionRows().front().date, LeadingInt(pastDay));
    SaveView(app, "history-review.png");

    // 多股同列: four cells, one subscription each.
    app.Context().RunCommand(cmd::kMultiGoods);
    auto* multi = dynamic_cast<CQeltMutiView*>(app.Context().ActiveView());
    ASSERT_NE(multi, nullptr);
    EXPECT_EQ(app.Socket().Standing(), *multi->StandingRequests());
    EXPECT_EQ(app.Socket().Standing().size(), 4u);
    // 更换商品 in every cell: four trading contracts, their day's trades at once, remembered.
    const std::vector<std::string> numbers{"0131", "0112", "0121", "0145"};
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const std::optional<GoodsSummary> goods = TradingGoods(app, numbers[i]);
        ASSERT_TRUE(goods) << numbers[i];
        multi->ChangeGoods(i, goods->Key());
        EXPECT_GT(multi->Cell(i).TradesHeld(), 0u) << numbers[i];
    }
    EXPECT_EQ(app.Socket().Standing().front(), "real::0131:" + flagged->due_date + ":1:");
    EXPECT_EQ(ReadMultiGoodsChoices(home.Path())[3].goodsNo, "0145");
    SaveView(app, "multigoods.png");
    app.Frame()->close();
}

TEST_F(AppEndToEnd, WrongPasswordShowsTheVerdictAndAllowsARetry) {
    WriteRememberedLogin(home.Path(), {"demo", "wrong"});
    LoginWatcher watcher;
    bool buttonEnabledAgain = false;
    QString focused;  // the dialog is gone when the test reads it: its name, not the widget
    bool wholeTextSelected = false;
    watcher.onDialog = [&](CQeltLogin* dialog) {
        auto* timer = new QTimer(dialog);
        QObject::connect(timer, &QTimer::timeout, dialog, [&, dialog] {
            auto* status = dialog->findChild<QLabel*>("status");
            if (status && status->text() == QString::fromUtf8("验证身份...密码错误")) {
                auto* login = dialog->findChild<QPushButton*>("login");
                if (!login->isEnabled()) return;  // enabled again after the 200 ms pause
                buttonEnabledAgain = true;
                QWidget* keys = dialog->focusWidget();
                if (keys) focused = keys->objectName();
                if (auto* edit = qobject_cast<QLineEdit*>(keys))
                    wholeTextSelected =
                        !edit->text().isEmpty() && edit->selectionLength() == edit->text().size();
                dialog->reject();
            }
        });
        timer->start(10);
    };
    CQeltApp app(Options());
    EXPECT_FALSE(app.InitInstance()) << "cancelling the dialog ends the application";
    EXPECT_TRUE(buttonEnabledAgain);
    EXPECT_EQ(focused, "password") << "the keyboard is back on the field at fault";
    EXPECT_TRUE(wholeTextSelected) << "its text selected, to be typed over";
    EXPECT_EQ(ReadRememberedLogin(home.Path()).value(), (RememberedLogin{"demo", "wrong"}))
        << "sys.ini untouched";
}

/// Saves the main window into $QELT_RECONNECT_PNG (a directory) when it is set, to look at.
void SaveFrame(CQeltApp& app, const char* name) {
    const char* dir = std::getenv("QELT_RECONNECT_PNG");
    if (dir == nullptr || app.Frame() == nullptr) return;
    app.Frame()->grab().save(QString::fromLocal8Bit(dir) + "/" + name);
}

/// The server goes away while the board polls, and comes back: three quick attempts, then
/// offline with one message while the attempts go on in the background (the status bar
/// counts them, the board's prices are grey); once the server answers, the client is live
/// again without the user doing anything.
TEST_F(AppEndToEnd, ALostServerIsTriedAgainUntilItComesBack) {
    WriteRememberedLogin(home.Path(), {"demo", "demo"});
    CQeltApp app(Options());
    ASSERT_TRUE(app.InitInstance());
    const int port = server.Port();
    server.Kill();
    ASSERT_TRUE(SpinUntil([&] { return !app.CurrentSession().IsOnline(); }, 30s));
    EXPECT_TRUE(app.Frame()->windowTitle().endsWith(QString::fromUtf8(" [脱机]")));
    bool told = false;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
            told = told || box->text() == QString::fromUtf8("和服务器断开了连接！");
    EXPECT_TRUE(told);
    EXPECT_TRUE(app.Frame()->StatusText().startsWith(QString::fromUtf8("连接已断开，正在重试…（第 ")))
        << app.Frame()->StatusText().toStdString();
    EXPECT_TRUE(app.Context().QuotesStale()) << "the board's prices show grey";
    EXPECT_TRUE(app.Context().StateOfCommand(cmd::kDisconnect).enabled) << "断开行情主站 ends the attempts";
    SaveFrame(app, "retrying.png");
    // Offline, switching views changes no standing request.
    const auto standing = app.Socket().Standing();
    app.Context().SwitchView(1);
    EXPECT_EQ(app.Socket().Standing(), standing);

    test::DemoServerProcess back(QELT_SERVER_PATH, serverData.Path(), false,
                                 {"--port", std::to_string(port)});
    ASSERT_TRUE(SpinUntil([&] { return app.CurrentSession().IsOnline(); }, 90s)) << "the server answered";
    EXPECT_FALSE(app.Frame()->windowTitle().endsWith(QString::fromUtf8(" [脱机]")));
    EXPECT_EQ(app.Frame()->StatusText(), QString::fromUtf8("就绪"));
    EXPECT_FALSE(app.Context().QuotesStale());
    EXPECT_TRUE(app.Socket().IsPolling());
    EXPECT_EQ(app.Socket().Standing(), std::vector<std::string>{"list:"});
    SaveFrame(app, "reconnected.png");
    app.Frame()->close();
}

TEST_F(AppEndToEnd, ServerDisconnectGivesOneMessageAndNoRetry) {
    WriteRememberedLogin(home.Path(), {"demo", "demo"});
    CQeltApp app(Options());
    ASSERT_TRUE(app.InitInstance());
    ASSERT_TRUE(server.Admin("dis:demo"));
    auto disconnectBoxes = [] {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
                n += box->text() == QString::fromUtf8("管理员断开了你和服务器的连接！");
        return n;
    };
    ASSERT_TRUE(SpinUntil([&] { return disconnectBoxes() > 0; }, 5s));
    QCoreApplication::processEvents();  // whatever the receive side posted meanwhile
    EXPECT_EQ(disconnectBoxes(), 1);
    EXPECT_EQ(app.CurrentSession().CurrentPhase(), Session::Phase::Ended) << "no re-login under way";
    EXPECT_FALSE(app.Socket().IsConnected()) << "no re-login after the server's disconnect";
    EXPECT_FALSE(app.Socket().IsPolling());
    EXPECT_TRUE(app.Frame()->windowTitle().endsWith(QString::fromUtf8(" [脱机]")));
    app.Frame()->close();
}

/// 断开行情主站 ends the session: the title and the status bar say so, nothing reconnects,
/// and 连接行情主站 is offered again.
TEST_F(AppEndToEnd, DisconnectFromTheMenuLeavesTheClientVisiblyOffline) {
    WriteRememberedLogin(home.Path(), {"demo", "demo"});
    CQeltApp app(Options());
    ASSERT_TRUE(app.InitInstance());
    ASSERT_FALSE(app.Frame()->windowTitle().endsWith(QString::fromUtf8(" [脱机]")));
    ASSERT_TRUE(app.Context().RunCommand(cmd::kDisconnect));
    EXPECT_TRUE(app.Frame()->windowTitle().endsWith(QString::fromUtf8(" [脱机]")));
    EXPECT_EQ(app.Frame()->StatusText(), QString::fromUtf8("已断开行情主站"));
    EXPECT_FALSE(app.Socket().IsConnected());
    EXPECT_FALSE(app.Socket().IsPolling());
    QCoreApplication::processEvents();
    EXPECT_EQ(app.CurrentSession().CurrentPhase(), Session::Phase::Ended);
    EXPECT_TRUE(app.Context().StateOfCommand(cmd::kConnect).enabled);
    EXPECT_FALSE(app.Context().StateOfCommand(cmd::kDisconnect).enabled);
    EXPECT_FALSE(app.Context().StateOfCommand(cmd::kPassword).enabled);
    app.Frame()->close();
}

/// A view kind registered by itself polls what it asks for, like the client's own kinds.
TEST_F(AppEndToEnd, AViewKindOfItsOwnPollsItsStandingRequests) {
    WriteRememberedLogin(home.Path(), {"demo", "demo"});
    CQeltApp app(Options());
    ASSERT_TRUE(app.InitInstance());
    struct OwnView : View {
        void Paint(Canvas& canvas, Size client, const DisplayScheme&) override {
            canvas.FillRect({0, 0, client.cx, client.cy}, 0);
        }
        std::optional<std::vector<std::string>> StandingRequests() const override {
            return std::vector<std::string>{"real::0131:20240625:1:"};
        }
    };
    ViewKind kind;
    kind.id = 8;
    kind.name = "自选分析";
    kind.command = 40008;
    kind.menuText = "自选分析";
    kind.factory = [](ViewServices&, int) { return std::make_unique<OwnView>(); };
    app.Context().RegisterView(kind);
    ASSERT_TRUE(app.Context().RunCommand(40008));
    EXPECT_EQ(app.Socket().Standing(), (std::vector<std::string>{"real::0131:20240625:1:"}));
    EXPECT_TRUE(app.Socket().IsPolling());
    app.Frame()->close();
}

TEST_F(AppEndToEnd, OfflineBrowsingShowsWhatAnOnlineRunSaved) {
    WriteRememberedLogin(home.Path(), {"demo", "demo"});
    size_t online = 0;
    {
        CQeltApp app(Options());
        ASSERT_TRUE(app.InitInstance());
        online = app.Store().MainCount();
        app.ExitInstance();
        app.Frame()->close();
    }
    server.Kill();
    AppOptions o = Options();
    o.autoLogin = false;
    o.offline = true;
    CQeltApp offline(o);
    ASSERT_TRUE(offline.InitInstance());
    EXPECT_FALSE(offline.CurrentSession().IsOnline());
    EXPECT_TRUE(offline.Frame()->windowTitle().endsWith(QString::fromUtf8(" [脱机]")));
    EXPECT_EQ(offline.Store().MainCount(), online);
    EXPECT_GT(offline.Store().CategoryCodes().size(), 1u);
    bool someSeries = false;
    for (const CQeltGoods& g : offline.Store().MainList()) someSeries = someSeries || !g.series.empty();
    EXPECT_TRUE(someSeries) << "day bars come back from the history table";
    offline.Frame()->close();
}

/// A key pressed by the user: it goes to the widget that has the keyboard focus.
void PressKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    while (widget->focusProxy()) widget = widget->focusProxy();
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(widget, &release);
}

/// The information view with the browser engine against the demo server's news: the
/// listing renders, its first headline opens the article (a GBK page), Alt+Left comes back,
/// and F2 still means the board inside the page. QELT_WEB_PNG=FILE keeps a picture.
TEST_F(AppEndToEnd, InformationViewOpensAnArticleAndComesBack) {
    if (!WebEngineBuilt()) GTEST_SKIP() << "this build has no Qt WebEngine (QELT_WEBENGINE=OFF)";
    WriteRememberedLogin(home.Path(), {"demo", "demo"});
    CQeltApp app(Options());
    ASSERT_TRUE(app.InitInstance());
    ASSERT_TRUE(SpinUntil([&] { return noticeShown; }, 5s));
    app.Context().SwitchView(5);
    auto* web = qobject_cast<CQeltHtml*>(app.Frame()->View());
    ASSERT_NE(web, nullptr);
    ASSERT_TRUE(web->Pane().UsesEngine());
    auto shows = [&](const char* text) {
        return SpinUntil([&] { return web->ShownText().contains(QString::fromUtf8(text)); }, 30s);
    };
    ASSERT_TRUE(shows("今日要闻")) << web->ShownText().toStdString();
    EXPECT_TRUE(web->ShownText().contains(QString::fromUtf8("综合指数")));
    if (const QByteArray png = qgetenv("QELT_WEB_PNG"); !png.isEmpty()) {
        SpinUntil([] { return false; }, 1500ms);  // the engine's frame reaches the widget
        app.Frame()->grab().save(QString::fromLocal8Bit(png));
    }
#ifdef QELT_WEBENGINE
    // The first headline gets the focus and Enter opens it, as a user would (the engine's
    // window may take a moment before it passes keys on: try again then).
    auto* view = web->findChild<QWebEngineView*>();
    for (int attempt = 0; attempt < 5 && !web->Pane().CurrentUrl().toString().contains("TempleteShow");
         ++attempt) {
        bool focused = false;
        view->page()->runJavaScript("document.links[0].focus();", [&](const QVariant&) { focused = true; });
        SpinUntil([&] { return focused; }, 5s);
        PressKey(&web->Pane(), Qt::Key_Return);
        SpinUntil([&] { return web->Pane().CurrentUrl().toString().contains("TempleteShow"); }, 2s);
    }
#endif
    ASSERT_TRUE(shows("要闻详情")) << web->ShownText().toStdString();
    EXPECT_TRUE(web->Pane().CurrentUrl().toString().endsWith("/web/TempleteShow.aspx?id=1"));
    EXPECT_TRUE(web->ShownText().contains(QString::fromUtf8("返回列表"))) << "the GBK page decoded right";
    PressKey(&web->Pane(), Qt::Key_Left, Qt::AltModifier);
    ASSERT_TRUE(shows("今日要闻"));
    EXPECT_TRUE(web->Pane().CanGoForward());
    PressKey(&web->Pane(), Qt::Key_F2);
    EXPECT_TRUE(SpinUntil([&] { return app.Context().ActiveKind() == 1; }, 5s)) << "F2 keeps its meaning";
    app.Frame()->close();
}

/// The log of a real run tells its story: start, connection, login, version, the
/// synchronisation, the lost server, each re-login attempt, offline, exit. The password
/// never appears; --verbose adds the messages received.
TEST(AppLog, TheLogTellsTheStoryOfARunFromStartToExit) {
    test::TempDir home, serverData;
    WriteFileAtomic(serverData.File("users.txt"), "support|Pw-7x9q|0|0|0|\n");
    auto server = std::make_unique<test::DemoServerProcess>(QELT_SERVER_PATH, serverData.Path());
    WriteServerList(home.Path(), {{"demo", "127.0.0.1", std::to_string(server->Port())}});
    WriteRememberedLogin(home.Path(), {"support", "Pw-7x9q"});
    const std::string logPath = home.File("qelt.log");
    auto log = [&] { return ReadWholeFile(logPath).value_or(""); };
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlives a test its runner killed
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::execl(QELT_CLIENT_PATH, QELT_CLIENT_PATH, "--home", home.Path().c_str(), "--auto-login",
                "--verbose", "--send-pause", "2", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    auto waitFor = [&](const std::string& text) {
        for (int i = 0; i < 400; ++i) {
            if (log().find(text) != std::string::npos) return true;
            std::this_thread::sleep_for(50ms);
        }
        return false;
    };
    ChildGuard guard{pid};
    EXPECT_TRUE(waitFor("view 1 on show"));
    server.reset();  // the server goes away
    EXPECT_TRUE(waitFor("re-login given up"));
    const int status = EndChild(pid, SIGTERM);
    EXPECT_TRUE(status >= 0 && WIFEXITED(status))
        << "exit status " << status << (WIFSIGNALED(status) ? ", ended by signal " : "")
        << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);

    // The story without the messages received (a failure's output is read from its end):
    // each line without its time stamp.
    std::vector<std::string> lines;
    std::string story;
    std::istringstream in(log());
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line.size() > 24 ? line.substr(24) : line);
        if (lines.back().rfind("received ", 0) != 0) story += line + "\n";
    }
    // The first wanted line not found in its order, or nothing when all are.
    auto firstMissing = [&](const std::vector<std::string>& wanted) -> std::string {
        size_t at = 0;
        for (const auto& line : lines)
            if (at < wanted.size() && line.rfind(wanted[at], 0) == 0) ++at;
        return at == wanted.size() ? std::string() : wanted[at];
    };
    EXPECT_EQ(
        firstMissing({"Qelt 1.96 started, program directory " + home.Path(),
                      "login as support on 127.0.0.1:", "connecting to 127.0.0.1:", "connected to 127.0.0.1:",
                      "received login:", "login verdict 0: 登陆成功", "version check: up to date",
                      "synchronisation: categories received", "synchronisation: board received, ",
                      "synchronisation: series of ", "synchronisation finished",
                      "online: the board is on show", "view 1 on show", "connection lost",
                      // The first attempt follows the lost connection at once: the dying
                      // server may still take it in before its listening socket closes.
                      "re-login attempt 1 of 3", "connecting to", "re-login attempt 1 failed",
                      "re-login attempt 2 of 3", "connecting to",
                      "connection to 127.0.0.1:", "re-login attempt 2 failed", "re-login attempt 3 failed",
                      "re-login given up: offline", "exit", "Qelt ended"}),
        "")
        << "exit status " << status << "; the log without the messages received:\n"
        << story;
    EXPECT_EQ(log().find("Pw-7x9q"), std::string::npos) << "never a password";
    EXPECT_NE(log().find("received list:"), std::string::npos) << "--verbose shows the messages received";
}

/// A server that wants a newer client: the updater is started with "address|port" and the
/// application ends. (A stand-in `update` in the program directory records its arguments.)
TEST(AppUpdate, NewVersionStartsTheUpdaterWithTheServerAddress) {
    App();
    LoginDeadline deadline;
    test::TempDir home, serverData;
    test::DemoServerProcess server(QELT_SERVER_PATH, serverData.Path(), false, {"--client-version", "9.99"});
    WriteServerList(home.Path(), {{"demo", "127.0.0.1", std::to_string(server.Port())}});
    WriteRememberedLogin(home.Path(), {"demo", "demo"});
    const std::string recorded = home.File("update-arguments");
    WriteFileAtomic(home.File("update"), "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + recorded + "'\n", 0755);
    AppOptions o;
    o.programDirectory = home.Path();
    o.autoLogin = true;
    o.sendPause = 2ms;
    CQeltApp app(o);
    EXPECT_FALSE(app.InitInstance()) << "the application ends for the update";
    EXPECT_FALSE(app.CurrentSession().IsOnline());
    const std::string wanted =
        "127.0.0.1|" + std::to_string(server.Port()) + "\n--home\n" + home.Path() + "\n";
    // The stand-in writes its file while this test goes on: wait until it is whole.
    for (int i = 0; i < 250 && ReadWholeFile(recorded).value_or("").size() < wanted.size(); ++i)
        std::this_thread::sleep_for(20ms);
    EXPECT_EQ(ReadWholeFile(recorded).value_or(""), wanted);
    EXPECT_FALSE(deadline.Expired());
}

/// An update found through 连接行情主站 ends this client as one found at start-up does.
TEST(AppUpdate, AnUpdateFoundFromTheMenuEndsTheClient) {
    App();
    LoginDeadline deadline;
    test::TempDir home, serverData;
    test::DemoServerProcess server(QELT_SERVER_PATH, serverData.Path(), false, {"--client-version", "9.99"});
    WriteServerList(home.Path(), {{"demo", "127.0.0.1", std::to_string(server.Port())}});
    WriteRememberedLogin(home.Path(), {"demo", "demo"});
    WriteFileAtomic(home.File("update"), "#!/bin/sh\nexit 0\n", 0755);
    AppOptions o;
    o.programDirectory = home.Path();
    o.offline = true;    // offline browsing first,
    o.autoLogin = true;  // then the login dialog presses 登 陆 by itself
    o.sendPause = 2ms;
    CQeltApp app(o);
    ASSERT_TRUE(app.InitInstance());
    QPointer<CMainFrame> frame = app.Frame();
    bool closed = false;
    QObject::connect(frame, &QObject::destroyed, [&] { closed = true; });
    app.Context().RunCommand(cmd::kConnect);
    EXPECT_FALSE(app.CurrentSession().IsOnline());
    EXPECT_TRUE(closed || !frame || !frame->isVisible()) << "the old client does not stay beside the updater";
    EXPECT_FALSE(deadline.Expired());
}

/// A fresh installation lists the demo server alone: the login dialog names its accounts.
/// A list of the user's own says nothing of them.
TEST(AppLogin, TheInstalledDemoServerListNamesItsAccounts) {
    App();
    for (const bool demo : {true, false}) {
        test::TempDir home;
        WriteServerList(home.Path(), {{demo ? "演示主站" : "主站", "127.0.0.1", "3500"}});
        LoginWatcher watcher;
        QString hint;
        bool shown = false;
        watcher.onDialog = [&](CQeltLogin* dialog) {
            if (auto* label = dialog->findChild<QLabel*>("demoAccounts")) {
                hint = label->text();
                shown = label->isVisibleTo(dialog);
            }
            dialog->reject();
        };
        AppOptions o;
        o.programDirectory = home.Path();
        CQeltApp app(o);
        EXPECT_FALSE(app.InitInstance());
        EXPECT_EQ(shown, demo);
        if (demo) {
            for (const char* account : {"demo/demo", "trader/trader", "analyst/analyst"})
                EXPECT_TRUE(hint.contains(account)) << hint.toStdString();
        }
    }
}

/// A flood of notices opens one window, whose text is the newest notice.
TEST(AppNotice, AFloodOfNoticesIsOneWindow) {
    App();
    test::TempDir home;
    const AppOptions o = OfflineOptions(home);
    CQeltApp app(o);
    ASSERT_TRUE(app.InitInstance());
    for (int i = 0; i < 2000; ++i)
        QCoreApplication::postEvent(&app, new WindowMessageEvent(WM_NET_NOTICE, 0, 0));
    QCoreApplication::processEvents();
    int windows = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        windows += w->objectName() == "noticeDialog" && w->isVisible();
    EXPECT_EQ(windows, 1);
    app.Frame()->close();
}

/// A server host that drops packets: the connect runs beside the interface, which keeps
/// answering; cancelling the dialog ends the attempt at once.
TEST(AppConnect, ABlackHoleServerLeavesTheInterfaceAnswering) {
    App();
    test::TempDir home;
    test::BlackHole hole;
    WriteServerList(home.Path(), {{"hole", "127.0.0.1", std::to_string(hole.Port())}});
    WriteRememberedLogin(home.Path(), {"demo", "demo"});
    AppOptions o;
    o.programDirectory = home.Path();
    o.autoLogin = true;
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (++ticks < 40) return;  // 40 turns of the loop while the connect hangs
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<CQeltLogin*>(w); dialog && dialog->Flow().Connecting())
                dialog->reject();
    });
    ticker.start(20);
    LogSettings log;
    log.directory = home.Path();
    log.toStderr = false;
    StartLog(log);
    {
        CQeltApp app(o);
        EXPECT_FALSE(app.InitInstance());
        EXPECT_GE(ticks, 40);
        EXPECT_FALSE(app.Socket().IsConnected());
    }  // the connect's thread has ended with the application
    StopLog();
    const std::string logged = ReadWholeFile(home.File("qelt.log")).value_or("");
    EXPECT_NE(logged.find("failed: cancelled"), std::string::npos)
        << "the attempt ended with the dialog, not after its 5 s timeout\n"
        << logged;
}

/// Waits until the program's log (qelt.log in `home`) holds a line containing `text`.
bool WaitForLogLine(const test::TempDir& home, const std::string& text, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (ReadWholeFile(home.File("qelt.log")).value_or("").find(text) != std::string::npos) return true;
        std::this_thread::sleep_for(50ms);
    }
    return false;
}

/// One SIGTERM ends the real program even while the login dialog shows "无法连接服务器！"
/// over an unreachable server.
TEST(AppSignal, OneSigtermEndsTheProgramUnderAMessageBox) {
    test::TempDir home;
    const int port = [] {
        test::LoopbackServer gone;
        return gone.Port();  // closed again when `gone` ends: connects are refused
    }();
    WriteServerList(home.Path(), {{"none", "127.0.0.1", std::to_string(port)}});
    WriteRememberedLogin(home.Path(), {"demo", "demo"});
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlives a test its runner killed
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::execl(QELT_CLIENT_PATH, QELT_CLIENT_PATH, "--home", home.Path().c_str(), "--auto-login",
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ChildGuard guard{pid};
    // The refusal comes at once; the message box follows it (its log line is written as it
    // opens, before the program turns its event loop again).
    ASSERT_TRUE(WaitForLogLine(home, "message box \"连接失败\"", 30s));
    ::kill(pid, SIGTERM);
    int status = 0;
    pid_t done = 0;
    for (int i = 0; i < 100 && done == 0; ++i) {
        done = ::waitpid(pid, &status, WNOHANG);
        if (done == 0) std::this_thread::sleep_for(50ms);
    }
    if (done == 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
    }
    EXPECT_EQ(done, pid) << "a second signal was needed";
    EXPECT_TRUE(WIFEXITED(status));
}

/// The real program, stopped with SIGTERM, saves the board as a closed window would.
TEST_F(AppEndToEnd, SigtermSavesTheBoardToTheDatabase) {
    WriteRememberedLogin(home.Path(), {"demo", "demo"});
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlives a test its runner killed
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::execl(QELT_CLIENT_PATH, QELT_CLIENT_PATH, "--home", home.Path().c_str(), "--auto-login",
                "--send-pause", "2", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ChildGuard guard{pid};
    HistoryDatabase db(home.Path());
    auto count = [&](const char* table) {
        auto rows = db.Query(std::string("select count(*) from ") + table);
        return rows.empty() ? 0 : std::stoi(rows[0][0]);
    };
    // The signal comes once the synchronisation is over and the board is on show.
    ASSERT_TRUE(WaitForLogLine(home, "online: the board is on show", 60s));
    EXPECT_GT(count("dayrecord"), 0) << "history records are stored during the synchronisation";
    EXPECT_EQ(count("qeltlist"), 0) << "the board is written at exit only";
    const int status = EndChild(pid, SIGTERM);
    EXPECT_TRUE(status >= 0 && WIFEXITED(status)) << "an orderly exit, not death by the signal";
    EXPECT_GT(count("qeltlist"), 10);
    EXPECT_GT(count("category"), 0);
}

/// The messages of a recorded client stream (GBK bytes; the alarm queries are plain ASCII).
std::vector<std::string> WireMessages(const std::string& bytes) {
    std::vector<std::string> messages;
    size_t at = 0;
    for (size_t end; (end = bytes.find("|END", at)) != std::string::npos; at = end + 4)
        messages.push_back(bytes.substr(at, end - at));
    return messages;
}

/// The alarm queries of each complete polling pass: what was sent between one "list:" and
/// the next.
std::vector<std::vector<std::string>> AlarmQueriesPerPass(const std::vector<std::string>& messages) {
    std::vector<std::vector<std::string>> passes;
    bool inPass = false;
    std::vector<std::string> current;
    for (const std::string& m : messages) {
        if (m == "list:") {
            if (inPass) passes.push_back(current);
            current.clear();
            inPass = true;
        } else if (m.starts_with("alarm:")) {
            current.push_back(m);
        }
    }
    return passes;
}

/// The real client, its alarm entries and the demo server's evaluation: every polling pass
/// carries one query per entry with a threshold, and an entry the market's quote meets
/// shows in 预警系统.
TEST_F(AppEndToEnd, AlarmsTheMarketMeetsReachTheAlarmWindow) {
    WriteRememberedLogin(home.Path(), {"demo", "demo"});
    test::RecordingRelay relay(server.Port());
    WriteServerList(home.Path(), {{"demo", "127.0.0.1", std::to_string(relay.Port())}});
    CQeltApp app(Options());
    ASSERT_TRUE(app.InitInstance());
    ASSERT_NE(app.AlarmWindow(), nullptr);
    EXPECT_FALSE(app.AlarmWindow()->isVisible()) << "alarms start off";

    CQeltGoods traded;
    for (const CQeltGoods& g : app.Store().MainList())
        if (g.goods_no == "0112" && LeadingInt(g.state) > 0 && LeadingDouble(g.price) > 1) traded = g;
    ASSERT_FALSE(traded.goods_no.empty()) << "a trading raw silk contract with a price";
    const double price = LeadingDouble(traded.price);
    const std::vector<AlarmEntry> entries = {
        // Met now and while the test runs (a bound a few units under the price was crossed
        // back by the next tick now and then, and the 0121 entry fired first).
        {traded.Key(), FormatFixed(price / 2, 3), "0.000", "0", "0"},
        {traded.Key(), "999999.000", "0.000", "0", "0"},  // never met
        {"0121", traded.due_date, "0.000", "0.000", "0", "300"},
        {traded.Key(), "0.000", "0.000", "0", "0"},  // no threshold: no query
    };
    for (const AlarmEntry& e : entries) ASSERT_TRUE(app.Settings().AddAlarmEntry(e));
    ASSERT_TRUE(app.Context().StateOfCommand(cmd::kAlarmOn).enabled);
    app.Context().RunCommand(cmd::kAlarmOn);
    EXPECT_TRUE(app.AlarmWindow()->isVisible());

    auto* list = app.AlarmWindow()->findChild<QTableWidget*>("list");
    ASSERT_NE(list, nullptr);
    const QString wanted =
        QString::fromStdString(AlarmContractText(app.Store().CategoryName("0112"), traded.due_date));
    ASSERT_TRUE(SpinUntil([&] { return list->rowCount() > 0; }, 10s))
        << "the alarm fired within a few passes";
    EXPECT_EQ(list->item(list->rowCount() - 1, 0)->text(), wanted);
    EXPECT_FALSE(wanted.startsWith("0112")) << "the category table names the goods";

    // Three more whole passes with the alarm queries, then read what the client sent.
    auto fullPasses = [&] {
        int n = 0;
        for (const auto& pass : AlarmQueriesPerPass(WireMessages(relay.ClientBytes()))) n += !pass.empty();
        return n;
    };
    ASSERT_TRUE(SpinUntil([&] { return fullPasses() >= 4; }, 15s));
    const auto passes = AlarmQueriesPerPass(WireMessages(relay.ClientBytes()));
    std::vector<std::string> expected;
    for (size_t i = 0; i < 3; ++i)
        for (const std::string& query : AlarmQueries(entries[i])) expected.push_back(query);
    int full = 0;
    for (const auto& pass : passes) {
        if (pass.empty()) continue;  // the passes before 开启
        EXPECT_EQ(pass, expected);
        ++full;
    }
    EXPECT_GE(full, 3);

    app.Context().RunCommand(cmd::kAlarmOff);
    EXPECT_FALSE(app.AlarmWindow()->isVisible());
    app.Frame()->close();
}

/// An entry with both bounds ("大于U 或者 小于L") fires on a break either way: here the
/// price is below the lower bound, far from the upper one.
TEST_F(AppEndToEnd, AnEntryWithBothBoundsFiresWhenThePriceBreaksEither) {
    WriteRememberedLogin(home.Path(), {"demo", "demo"});
    CQeltApp app(Options());
    ASSERT_TRUE(app.InitInstance());
    CQeltGoods traded;
    for (const CQeltGoods& g : app.Store().MainList())
        if (g.goods_no == "0112" && LeadingInt(g.state) > 0 && LeadingDouble(g.price) > 1) traded = g;
    ASSERT_FALSE(traded.goods_no.empty()) << "a trading raw silk contract with a price";
    const double price = LeadingDouble(traded.price);
    EXPECT_LT(price, 100) << "the demo market quotes its contracts in 万元";
    ASSERT_TRUE(
        app.Settings().AddAlarmEntry({traded.Key(), "999999.000", FormatFixed(price * 2, 3), "0", "0"}));
    app.Context().RunCommand(cmd::kAlarmOn);
    ASSERT_TRUE(SpinUntil([&] { return !app.Store().AlarmHits().empty(); }, 10s))
        << "the lower bound is met at once";
    EXPECT_EQ(app.Store().AlarmHits().back().at(2), traded.due_date);
    app.Frame()->close();
}

/// Alarms set 开启 keep firing while the information view is on show: its passes carry the
/// alarm queries alone.
TEST_F(AppEndToEnd, AlarmQueriesGoOnWhileTheInformationViewIsOnShow) {
    WriteRememberedLogin(home.Path(), {"demo", "demo"});
    test::RecordingRelay relay(server.Port());
    WriteServerList(home.Path(), {{"demo", "127.0.0.1", std::to_string(relay.Port())}});
    CQeltApp app(Options());
    ASSERT_TRUE(app.InitInstance());
    CQeltGoods traded;
    for (const CQeltGoods& g : app.Store().MainList())
        if (g.goods_no == "0112" && LeadingInt(g.state) > 0 && LeadingDouble(g.price) > 1) traded = g;
    ASSERT_FALSE(traded.goods_no.empty());
    const AlarmEntry entry{traded.Key(), FormatFixed(LeadingDouble(traded.price) / 2, 3), "0.000", "0", "0"};
    ASSERT_TRUE(app.Settings().AddAlarmEntry(entry));

    app.Context().SwitchView(kViewWeb);
    ASSERT_NE(qobject_cast<CQeltHtml*>(app.Frame()->View()), nullptr);
    const size_t switched = WireMessages(relay.ClientBytes()).size();
    app.Context().RunCommand(cmd::kAlarmOn);
    auto* list = app.AlarmWindow()->findChild<QTableWidget*>("list");
    ASSERT_NE(list, nullptr);
    auto sinceSwitch = [&] {
        const std::vector<std::string> all = WireMessages(relay.ClientBytes());
        return std::vector<std::string>(
            all.begin() + static_cast<std::ptrdiff_t>(std::min(switched, all.size())), all.end());
    };
    auto queries = [&] {
        const std::vector<std::string> sent = sinceSwitch();
        return std::count(sent.begin(), sent.end(), AlarmQueries(entry).at(0));
    };
    EXPECT_TRUE(SpinUntil([&] { return list->rowCount() > 0; }, 10s)) << "a hit arrives";
    ASSERT_TRUE(SpinUntil([&] { return queries() >= 3; }, 10s)) << "a query every pass";
    const std::vector<std::string> sent = sinceSwitch();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "list:"), 0) << "the view has no standing requests";
    app.Frame()->close();
}

/// A condition alarm entry of the formula 有价 (C>0: true wherever there is a price) watching
/// the traded raw-silk contracts; the entry as added (no goods when nothing was added).
ConditionAlarmEntry AddQuotedConditionAlarm(CQeltApp& app) {
    StoredFormula quoted;
    quoted.name = "有价";
    quoted.text = "有价:C>0;";
    const FormulaChange added = app.Formulas().Add(quoted);
    EXPECT_TRUE(added.applied) << added.message;
    ConditionAlarmEntry entry;
    entry.formulaId = added.id;
    for (const CQeltGoods& g : app.Store().MainList())
        if (g.goods_no == "0112" && LeadingInt(g.state) > 0 && LeadingDouble(g.price) > 1)
            entry.goods.push_back(g.Key());
    if (!added.applied || !app.ConditionAlarmEntries().Add(entry)) return {};
    app.ConditionAlarmsChanged();
    return entry;
}

/// 条件预警 run after every board update whatever view is on show: each watched contract hits
/// once a day, beside the server's alarms in 预警系统, in alarmlog.csv and in condalarm.ini.
TEST_F(AppEndToEnd, ConditionAlarmsHitOnceADayWhateverViewIsOnShowAndAreLogged) {
    WriteRememberedLogin(home.Path(), {"demo", "demo"});
    CQeltApp app(Options());
    ASSERT_TRUE(app.InitInstance());
    const ConditionAlarmEntry entry = AddQuotedConditionAlarm(app);
    ASSERT_GE(entry.goods.size(), 2u);

    app.Context().SwitchView(kViewWeb);
    app.Context().RunCommand(cmd::kAlarmOn);
    auto* list = app.AlarmWindow()->findChild<QTableWidget*>("list");
    ASSERT_NE(list, nullptr);
    const int watched = static_cast<int>(entry.goods.size());
    ASSERT_TRUE(SpinUntil([&] { return list->rowCount() >= watched; }, 15s)) << "every watched contract hits";
    SpinUntil([] { return false; }, 2500ms);  // two more board updates
    EXPECT_EQ(list->rowCount(), watched) << "once a day";
    const QString silk = QString::fromStdString(app.Store().CategoryName("0112"));
    ASSERT_FALSE(silk.isEmpty());
    for (int row = 0; row < list->rowCount(); ++row) {
        EXPECT_EQ(list->item(row, 5)->text(), "条件：有价");
        EXPECT_TRUE(list->item(row, 0)->text().startsWith(silk)) << list->item(row, 0)->text().toStdString();
        EXPECT_GT(LeadingDouble(list->item(row, 1)->text().toStdString()), 0.0) << "the price it was seen at";
    }

    auto count = [](const std::string& text, const std::string& part) {
        size_t n = 0;
        for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
        return n;
    };
    const std::string log = ReadWholeFile(home.File("alarmlog.csv")).value_or("");
    EXPECT_TRUE(log.starts_with("日期,时间,类别,名称,品种,交货月,价格\r\n"));
    EXPECT_EQ(count(log, "\r\n"), static_cast<size_t>(watched) + 1) << log;
    EXPECT_NE(log.find(",条件：有价,生丝,0112,"), std::string::npos) << log;
    const std::string kept = ReadWholeFile(home.File("condalarm.ini")).value_or("");
    EXPECT_EQ(count(kept, "hit="), static_cast<size_t>(watched)) << kept;
    app.Frame()->close();
}

/// An entry kept in condalarm.ini stays on through the next start's login: the board comes
/// during the synchronisation, before formula.txt is read, and an entry checked then would
/// look as if its formula had been deleted.
TEST_F(AppEndToEnd, ConditionAlarmsKeptFromTheLastRunStayOnThroughTheLogin) {
    WriteRememberedLogin(home.Path(), {"demo", "demo"});
    {
        CQeltApp app(Options());
        ASSERT_TRUE(app.InitInstance());
        ASSERT_FALSE(AddQuotedConditionAlarm(app).goods.empty());
        app.Context().RunCommand(cmd::kAlarmOn);
        app.ExitInstance();
        app.Frame()->close();
    }
    CQeltApp app(Options());
    ASSERT_TRUE(app.InitInstance());
    SpinUntil([] { return false; }, 2500ms);  // board updates after the login
    ASSERT_EQ(app.ConditionAlarmEntries().Entries().size(), 1u);
    EXPECT_TRUE(app.ConditionAlarmEntries().Entries()[0].on)
        << ReadWholeFile(home.File("condalarm.ini")).value_or("");
    app.Frame()->close();
}

/// The 预警 commands offline: the window's place, the menu states, the switches kept in
/// alarm.ini and restored by the next start.
/// A window's place for a failure message: "(x, y, w x h)".
std::string Describe(const QRect& r) {
    return "(" + std::to_string(r.x()) + ", " + std::to_string(r.y()) + ", " + std::to_string(r.width()) +
           " x " + std::to_string(r.height()) + ")";
}

TEST(AppAlarms, CommandsSwitchTheWindowAndTheNextStartRemembers) {
    App();
    test::TempDir home;
    const AppOptions o = OfflineOptions(home);
    {
        CQeltApp app(o);
        ASSERT_TRUE(app.InitInstance());
        CQeltAlarmDlg* window = app.AlarmWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_FALSE(window->isVisible());
        EXPECT_TRUE(app.Context().StateOfCommand(cmd::kAlarmOn).enabled);
        EXPECT_FALSE(app.Context().StateOfCommand(cmd::kAlarmOff).enabled);
        EXPECT_TRUE(app.Context().StateOfCommand(cmd::kAlarmList).enabled);
        EXPECT_TRUE(app.Context().StateOfCommand(cmd::kAlarmAdd).enabled);
        EXPECT_FALSE(app.Context().StateOfCommand(cmd::kAlarmSound).checked) << "提示音 is off by default";

        app.Context().RunCommand(cmd::kAlarmOn);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->size(), kAlarmWindowSize);
        EXPECT_TRUE(window->screen()->availableGeometry().contains(window->frameGeometry()))
            << "at (800, 550) where the screen holds it, else moved into its free area: "
            << Describe(window->frameGeometry()) << " on " << Describe(window->screen()->availableGeometry());
        EXPECT_FALSE(app.Context().StateOfCommand(cmd::kAlarmOn).enabled);
        EXPECT_TRUE(app.Context().StateOfCommand(cmd::kAlarmOff).enabled);

        window->close();  // the window's own close button turns the alarms off
        EXPECT_FALSE(app.Settings().m_alarmWindowOn.load());
        EXPECT_TRUE(app.Context().StateOfCommand(cmd::kAlarmOn).enabled);

        app.Context().RunCommand(cmd::kAlarmOn);
        app.Context().RunCommand(cmd::kAlarmSound);
        EXPECT_TRUE(app.Context().StateOfCommand(cmd::kAlarmSound).checked);
        app.Frame()->close();
    }
    EXPECT_EQ(ReadAlarmFile(home.Path()), (AlarmSettings{{}, true, true}));

    // The real program ends (its window closed) with the alarms on: they stay on, although
    // quitting closes the alarm window as well.
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlives a test its runner killed
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        const std::string shot = home.File("shot.png");
        ::execl(QELT_CLIENT_PATH, QELT_CLIENT_PATH, "--home", home.Path().c_str(), "--offline",
                "--screenshot", shot.c_str(), "--screenshot-delay", "300", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ChildGuard guard{pid};
    const int status = EndChild(pid, 0, 60s);  // it ends by itself after its screenshot
    EXPECT_TRUE(status >= 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(FileExists(home.File("shot.png")));
    EXPECT_TRUE(ReadAlarmFile(home.Path()).windowOn) << "still on after the program ended";

    CQeltApp again(o);
    ASSERT_TRUE(again.InitInstance());
    EXPECT_TRUE(again.AlarmWindow()->isVisible()) << "on at the last exit: shown at start";
    EXPECT_TRUE(again.Settings().AlarmSound());
    // SIGTERM leaves every dialog on screen, the alarm window among them: the alarms stay on.
    again.StopOnSignal();
    EXPECT_FALSE(again.AlarmWindow()->isVisible());
    EXPECT_TRUE(ReadAlarmFile(home.Path()).windowOn)
        << "a signal keeps the switch as closing the window does";
}

/// The offscreen screen is 800 pixels wide: narrower than the main window's 1024, and
/// 预警系统's corner (800, 550) lies outside it.
TEST(AppWindows, TheMainWindowAndTheAlarmWindowOpenWithinTheScreen) {
    App();
    test::TempDir home;
    CQeltApp app(OfflineOptions(home));
    ASSERT_TRUE(app.InitInstance());
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_LT(area.width(), 1024) << "a screen too small for the window's own size";
    EXPECT_TRUE(area.contains(app.Frame()->normalGeometry()))
        << "the main window, unmaximised, within the free area of the screen: "
        << Describe(app.Frame()->normalGeometry()) << " on " << Describe(area);
    EXPECT_GE(app.Frame()->normalGeometry().width(), std::min(1024, area.width()));
    app.Context().RunCommand(cmd::kAlarmOn);
    CQeltAlarmDlg* window = app.AlarmWindow();
    ASSERT_TRUE(window->isVisible());
    EXPECT_TRUE(area.contains(window->frameGeometry()))
        << Describe(window->frameGeometry()) << " on " << Describe(area);
    EXPECT_EQ(window->frameGeometry().right(), area.right())
        << "as near (800, 550) as it can be, frame and all";
    app.Frame()->close();
}

/// The message boxes on screen whose text holds `part`.
int BoxesSaying(const QString& part) {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible() && box->text().contains(part))
            ++n;
    return n;
}

/// An alarm.ini the client cannot read is told once the main window is there, never written
/// over, and the switches work in memory for the run.
TEST(AppAlarms, AnUnreadableAlarmFileIsReportedOnceAndKept) {
    App();
    test::TempDir home;
    std::string content = "window=1\r\nalarm=0112|20261225|10.000|0.000|0|0\r\n";
    content += std::string((1u << 20) + 1, ' ');
    ASSERT_TRUE(WriteFileAtomic(home.File("alarm.ini"), content));
    CQeltApp app(OfflineOptions(home));
    ASSERT_TRUE(app.InitInstance());
    ASSERT_TRUE(SpinUntil([] { return BoxesSaying("alarm.ini") == 1; }, 5s)) << "one box names the file";
    app.Context().RunCommand(cmd::kAlarmOn);
    app.Context().RunCommand(cmd::kAlarmOff);
    QApplication::processEvents();
    EXPECT_EQ(BoxesSaying("预警设置"), 1) << "the refused writes bring no second box";
    EXPECT_EQ(ReadWholeFile(home.File("alarm.ini"), 4u << 20).value(), content);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w)) box->close();
    app.Frame()->close();
}

/// Stands in for the intraday view: it only remembers the argument it was opened with.
class ReviewProbe : public View {
  public:
    void Paint(Canvas& canvas, Size client, const DisplayScheme&) override {
        canvas.FillRect({0, 0, client.cx, client.cy}, 0);
    }
};

void DoubleClick(QWidget* widget, QPoint at) {
    const QPointF global = widget->mapToGlobal(QPointF(at));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QMouseEvent twice(QEvent::MouseButtonDblClick, QPointF(at), global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    for (QMouseEvent* event : {&press, &release, &twice, &release})
        QCoreApplication::sendEvent(widget, event);
}

TEST_F(AppEndToEnd, EnterOnTheBoardChartsTheContractAndAPastDayOpensItsHistoryReview) {
    WriteRememberedLogin(home.Path(), {"demo", "demo"});
    CQeltApp app(Options());
    ASSERT_TRUE(app.InitInstance());
    int reviewArgument = 0;
    app.Context().ReplaceFactory(kViewIntraday, [&](ViewServices&, int argument) {
        reviewArgument = argument;
        return std::make_unique<ReviewProbe>();
    });
    ASSERT_NE(app.HostWidget(), nullptr);
    PressKey(app.HostWidget(), Qt::Key_Return);
    ASSERT_TRUE(SpinUntil([&] { return app.Context().ActiveKind() == kViewKLine; }, 5s));
    auto* chart = dynamic_cast<CQeltKLineView*>(app.Context().ActiveView());
    ASSERT_NE(chart, nullptr);
    ASSERT_TRUE(SpinUntil([&] { return chart->Series().size() > 20; }, 10s)) << chart->Series().size();
    const CQeltGoods& goods = chart->Goods();
    EXPECT_EQ(app.Socket().Standing(),
              (std::vector<std::string>{"list:", "real::" + goods.goods_no + ":" + goods.due_date + ":1:"}));
    ViewHostWidget* host = app.HostWidget();
    const QImage picture = host->grab().toImage();
    ASSERT_TRUE(chart->MainPane().Valid());
    int candlePixels = 0;
    for (int x = 0; x < chart->MainPane().axisX; x += 2)
        for (int y = chart->MainPane().pane.top; y < chart->MainPane().pane.bottom; y += 2)
            candlePixels += picture.pixelColor(x, y) == QColor(255, 50, 50) ||
                            picture.pixelColor(x, y) == QColor(84, 252, 252);
    EXPECT_GT(candlePixels, 50) << "rising and falling bars on the screen";

    // Cursor mode, then a double click on a bar's body asks for that day's trades; the reply
    // opens the intraday view in its history review.
    PressKey(host, Qt::Key_Left);
    host->grab();
    const MainPaneGeometry& g = chart->MainPane();
    const int bar = g.lastVisible - 3;
    const CBarRow& row = chart->Series()[static_cast<std::size_t>(bar)];
    const QPoint body(
        g.BarCentreX(bar),
        (g.PriceToY(LeadingFloat(row[kBarOpen])) + g.PriceToY(LeadingFloat(row[kBarClose]))) / 2);
    DoubleClick(host, body);
    host->grab();
    EXPECT_TRUE(SpinUntil([&] { return app.Context().ActiveKind() == kViewIntraday; }, 10s));
    EXPECT_EQ(reviewArgument, 2);
    app.Frame()->close();
}

}  // namespace
}  // namespace qelt
