#include "CQeltApp.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include "CMainFrame.h"
#include "CQeltHtml.h"
#include "CQeltMsg.h"
#include "ModalDialog.h"
#include "ScreenPlacement.h"
#include "ViewHostWidget.h"
#include "app/FormulaListModel.h"
#include "app/ViewKindTable.h"
#include "app/WebSite.h"
#include "common/Address.h"
#include "common/DiagnosticLog.h"
#include "common/Messages.h"
#include "data/history/StoreArchive.h"
#include "dialogs/CQeltAlarmDlg.h"
#include "net/Requests.h"
#include "ui/views/CQeltListView.h"
#include "ui/views/CQeltTradListWindow.h"
#include "views/QuoteListView.h"
#include "views/ViewKinds.h"
#include "views/WebPageView.h"
#include "views/controls/HotKeyModel.h"

namespace qelt {
namespace {

/// The socket layer is usable when a TCP socket can be created at all.
bool NetworkAvailable() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

CClientSocket::Timing SocketTiming(std::chrono::milliseconds pause) {
    CClientSocket::Timing timing;
    timing.pause = pause;
    return timing;
}

}  // namespace

CQeltApp::CQeltApp(AppOptions options)
    : m_options(std::move(options)),
      m_cfg(m_options.programDirectory),
      m_storePoster(m_poster),
      m_store(m_storePoster, m_targets),
      m_database(m_options.programDirectory),
      m_socket(m_poster, m_targets, SocketTiming(m_options.sendPause)),
      m_connection(m_socket, [this](std::function<void()> work) { Post(std::move(work)); }),
      m_session(m_connection, *this, *this),
      m_context(m_cfg, m_store, m_session, m_poster, m_targets) {
    m_appWindow = m_poster.Register(this);
    m_poster.SetApplicationReceiver(this);
    // The store's series requests queue behind the commands on the connection's one path,
    // so the receive thread goes on reading replies while they go out.
    m_store.SetSender(&m_socket.BulkLane(), [this] { return m_session.IsOnline(); });
    m_store.SetSelfSelectedSource(&m_cfg);
    m_store.SetHistorySink(&m_database);
    m_context.SetMinuteArchive(&m_database);
    m_socket.SetSink(&m_store);
    m_socket.SetAlarmQuerySource([this] { return m_cfg.AlarmQueries(); });
    // On the receive thread: only a post toward the interface, once per burst.
    m_store.SetAlarmRefresh([this] {
        if (!m_alarmRefreshPending.exchange(true)) m_poster.PostThreadMessage(WM_ALARM_REFRESH, 0, 0);
    });
    // A re-login's verdict reaches the session whatever window hears WM_NET_LOGIN.
    m_store.SetLoginVerdict([this](int code) { Post([this, code] { m_session.OnLoginVerdict(code); }); });
    RegisterViews();
    RegisterCommands();
    qApp->installEventFilter(this);
}

CQeltApp::~CQeltApp() {
    // A connect under way ends first: its thread must not report to a half-destroyed object.
    m_connection.CancelConnect();
    ExitInstance();
    delete m_alarmWindow.data();
    m_context.SetFrame(nullptr);
    delete m_frame.data();
    m_context.CloseView();
    qApp->removeEventFilter(this);
    // No message may reach the store once it is gone: end the connection's threads first.
    m_socket.Shutdown();
    m_poster.SetApplicationReceiver(nullptr);
    m_poster.Unregister(m_appWindow);
}

void CQeltApp::Post(std::function<void()> work) {
    // Dropped with this object when it goes before the event is delivered.
    QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
}

void CQeltApp::RegisterViews() {
    for (ViewKind& kind : BuiltInViewKinds([this] { return WebSite(); }))
        m_context.RegisterView(std::move(kind));
    // Only a kind whose view has Qt children of its own has a window of its own.
    m_hostFactories[kViewQuoteList] = [this](View& view) {
        return new CQeltListView(dynamic_cast<QuoteListView&>(view), m_context);
    };
    m_hostFactories[kViewTradeList] = [this](View& view) {
        return new CQeltTradListWindow(dynamic_cast<CQeltTradListView&>(view), m_context);
    };
    m_hostFactories[kViewWeb] = [this](View& view) {
        return new CQeltHtml(dynamic_cast<WebPageView&>(view), m_context);
    };
}

bool CQeltApp::InitInstance() {
    if (!NetworkAvailable()) {
        QMessageBox::critical(nullptr, QString::fromUtf8("系统提示"),
                              QString::fromUtf8("Windows 通信端口初始化失败。"));
        return false;
    }
    if (m_options.offline)
        m_session.BrowseOffline();
    else if (!RunLogin()) {
        Log(m_updating ? "the client ends for the update" : "login cancelled: the client ends");
        return false;
    }
    const bool online = m_session.IsOnline();
    Log(online ? "online: the board is on show" : "offline: browsing the local database");
    if (!online) LoadStoreFromHistory(m_database, m_store);
    // The drawn lines, online and offline alike, before the frame and its first view.
    m_context.Lines().Load();
    m_context.Lines().ApplyTo(m_store);
    // The user's formulas, before the first view that may draw them.
    const std::vector<std::string> formulaProblems = m_context.LoadFormulas();
    CreateFrame();
    // From here on a settings file that cannot be written or read is told to the user (once
    // a file), as a box that holds nothing up: a write may fail inside a paint.
    m_cfg.Reports().SetSink(
        [this](const std::string& text, const std::string& caption) { ShowMessage(text, caption); });
    CreateAlarmWindow();
    m_context.SwitchView(kViewQuoteList);
    m_frame->showMaximized();
    ReportFormulaProblems(formulaProblems);
    if (online) m_session.Send(NoticeRequest());
    if (!m_options.screenshot.isEmpty()) {
        // Another view or goods once the board has come in, with time left for the replies.
        if (m_options.screenshotView != kViewQuoteList || !m_options.screenshotGoods.empty())
            QTimer::singleShot(m_options.screenshotDelay / 2, this, [this] { ShowScreenshotView(); });
        if (m_options.screenshotSystem != ScreenshotSystem::None) {
            QTimer::singleShot(m_options.screenshotDelay * 5 / 8, this, [this] { StepScreenshotSystem(0); });
            QTimer::singleShot(m_options.screenshotDelay * 7 / 8, this, [this] { StepScreenshotSystem(1); });
        }
        QTimer::singleShot(m_options.screenshotDelay, this, [this] {
            // The smallest file the format allows (quality 0: PNG's strongest compression);
            // the pictures go into the manual.
            if (QWidget* window = ScreenshotWindow()) window->grab().save(m_options.screenshot, nullptr, 0);
            if (m_frame) m_frame->close();
        });
    }
    return true;
}

void CQeltApp::ShowScreenshotView() {
    if (!m_options.screenshotGoods.empty()) {
        const auto rows = FilterHotKeyRows(m_context.MainSummaries(), m_options.screenshotGoods);
        if (rows.empty()) Log("--screenshot-goods " + m_options.screenshotGoods + ": no such goods");
        if (!rows.empty()) m_context.SelectGoods(rows.front().goodsIndex);
    }
    m_context.SwitchView(m_options.screenshotView);
}

void CQeltApp::ReportFormulaProblems(const std::vector<std::string>& problems) {
    if (problems.empty()) return;
    for (const std::string& problem : problems) Log("formula.txt: " + problem);
    // Not modal: start-up goes on, and the user reads it when they will.
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("系统提示"),
                                QString::fromStdString(FormulaListModel::LoadReport(problems)),
                                QMessageBox::Ok, m_frame);
    box->setObjectName("formulaProblems");
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

void CQeltApp::ExitInstance() {
    if (m_exited) return;
    m_exited = true;
    // No box can be answered any more: what fails from here on goes to qelt.log only.
    m_cfg.Reports().SetSink({});
    m_session.Shutdown();
    // Every edit was written when it was made; this last write covers nothing new but keeps
    // the file as the book holds it (nothing happens when start-up never read it).
    m_context.Lines().Save();
    const bool online = m_session.IsOnline();
    Log(online ? "exit: saving the board" : "exit");
    if (online) SaveStoreToHistory(m_database, m_store);
}

void CQeltApp::CreateFrame() {
    CMainFrame::Hooks hooks;
    hooks.command = [this](int id) { m_context.RunCommand(id); };
    hooks.enabled = [this](int id) { return m_context.StateOfCommand(id).enabled; };
    hooks.checked = [this](int id) { return m_context.StateOfCommand(id).checked; };
    hooks.indexValues = [this] { return m_store.IndexValues(); };
    hooks.jumpToIndexGoods = [this](int goods) { m_context.JumpToGoods(goods); };
    // Closing the frame ends the program (see eventFilter); the frame itself is deleted with
    // the application object, once no nested loop of a dialog or menu can still be running.
    m_frame = new CMainFrame(std::move(hooks));
    // 1024 × 700 at the top left of the screen, or what of it the screen's free area holds.
    const QRect area = QGuiApplication::primaryScreen()
                           ? QGuiApplication::primaryScreen()->availableGeometry()
                           : QRect(0, 0, 1024, 700);
    PlaceOnScreen(*m_frame, QRect(area.topLeft(), QSize(1024, 700)));
    m_frame->SetOnline(m_session.Live());
    m_frameWindow = m_poster.Register(m_frame);
    m_targets.mainFrame = m_frameWindow;
    connect(m_frame, &QObject::destroyed, this, [this] {
        m_targets.mainFrame = kNoWindow;
        m_targets.notification = kNoWindow;
        m_poster.Unregister(m_frameWindow);
        m_poster.Unregister(m_viewWindow);
        m_viewWindow = kNoWindow;
    });
    m_context.SetFrame(this);
    ViewKindsChanged();
    m_frame->RefreshIndexPanes();
}

WindowId CQeltApp::ShowView(int kind, View& view) {
    const auto factory = m_hostFactories.find(kind);
    ViewHostWidget* host =
        factory != m_hostFactories.end() ? factory->second(view) : new ViewHostWidget(view, m_context);
    m_host = host;
    connect(host, &ViewHostWidget::StatusMessage, m_frame, &CMainFrame::ShowStatus);
    m_frame->SetView(host);
    m_viewWindow = m_poster.Register(host);
    return m_viewWindow;
}

void CQeltApp::RemoveView() {
    m_poster.Unregister(m_viewWindow);
    m_viewWindow = kNoWindow;
    if (m_frame) m_frame->DestroyView();
    m_host = nullptr;
}

void CQeltApp::ViewReady() {
    if (m_host) m_host->ViewReady();
}

void CQeltApp::ViewKindsChanged() {
    if (!m_frame) return;
    std::vector<CMainFrame::ViewCommand> commands;
    for (const ViewKind& kind : m_context.ViewKinds())
        if (kind.command != 0)
            commands.push_back({kind.command, kind.menuText, kind.toolbarText,
                                kind.toolbar == ToolbarPlace::None ? CMainFrame::ButtonPlace::None
                                : kind.toolbar == ToolbarPlace::BesideDrawing
                                    ? CMainFrame::ButtonPlace::BesideDrawing
                                    : CMainFrame::ButtonPlace::Views});
    m_frame->SetViewCommands(commands);
}

void CQeltApp::ShowStatus(const std::string& text) {
    if (m_frame) m_frame->ShowStatus(QString::fromStdString(text));
}

std::string CQeltApp::ResolveAddress(const std::string& text) { return ResolveServerAddress(text); }

void CQeltApp::ResetStore() { m_store.Reset(); }

void CQeltApp::RememberLogin(bool remember, const std::string& user, const std::string& password) {
    if (remember)
        m_cfg.SaveLogin(user, password);
    else
        m_cfg.ForgetLogin();
}

void CQeltApp::SessionChanged() {
    if (!m_frame) return;
    m_frame->SetOnline(m_session.Live());
    // The status bar counts the re-login attempts while the connection is being tried again,
    // and the board shows its prices as stale meanwhile.
    const int attempt = m_session.ReloginAttempt();
    if (attempt != m_shownAttempt) {
        ShowStatus(attempt > 0 ? ReloginStatusText(attempt) : "就绪");
        m_shownAttempt = attempt;
    }
    if (m_host) m_host->update();
}

void CQeltApp::ShowMessage(const std::string& text, const std::string& caption) {
    // Never modal here: a message must not hold up the receive side or a re-login.
    auto* box = new QMessageBox(QMessageBox::Information, QString::fromStdString(caption),
                                QString::fromStdString(text), QMessageBox::Ok, m_frame);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void CQeltApp::After(int milliseconds, std::function<void()> then) {
    QTimer::singleShot(milliseconds, this, [then = std::move(then)] { then(); });
}

void CQeltApp::ShowNotice() {
    // One notice window at a time and no nested loop: a notice arriving while one is shown
    // replaces its text, so a flood of notices costs one window.
    const QString text = QString::fromStdString(m_store.Notice());
    if (auto* shown = qobject_cast<CQeltMsg*>(m_notice.data()); shown && shown->isVisible()) {
        shown->SetNotice(text);
        return;
    }
    auto* notice = new CQeltMsg(text, m_frame.data());
    notice->setAttribute(Qt::WA_DeleteOnClose);
    m_notice = notice;
    notice->open();
}

std::string CQeltApp::WebSite() const {
    return WebSiteAddress(m_cfg.ProgramDirectory(), m_session.ServerAddress(), m_session.ServerPort());
}

void CQeltApp::KeepSettingsWhileQuitting() {
    // Quitting closes every window, the alarm window too: that must not switch the alarms
    // off for the next start.
    if (m_alarmWindow) m_alarmWindow->SetCloseHook({});
}

void CQeltApp::StopOnSignal() {
    KeepSettingsWhileQuitting();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog->isVisible()) dialog->reject();
    if (m_frame) m_frame->close();
    QCoreApplication::exit(0);
}

bool CQeltApp::event(QEvent* e) {
    auto* message = dynamic_cast<WindowMessageEvent*>(e);
    if (!message) return QObject::event(e);
    switch (message->Message()) {
        case WM_SWITCH_VIEW:
            m_context.OnSwitchViewMessage(message->WParam(), message->LParam());
            break;
        case WM_NET_RECONNECT:
            m_session.OnConnectionLost(message->WParam());
            break;
        case WM_NET_LOGIN:
        case WM_NET_VER:
        case WM_NET_CATEGORY:
        case WM_NET_LIST:
        case WM_NET_LINE:
        case WM_NET_HIS:
        case WM_NET_REAL:
            // The store's notifications while the login dialog is open: the session runs it.
            m_session.OnNotify(message->Message(), message->WParam());
            break;
        case WM_NET_NOTICE:
            ShowNotice();
            break;
        case WM_ALARM_REFRESH:
            RefreshAlarmWindow();
            break;
        default:
            break;  // WM_UPDATE_PROGRESS and the rest: accepted and ignored
    }
    return true;
}

bool CQeltApp::eventFilter(QObject* watched, QEvent* e) {
    // Closing the main window ends every event loop, the nested ones of dialogs and menus
    // included; the objects go away after them, in order.
    if (e->type() == QEvent::Close && watched == m_frame.data()) {
        KeepSettingsWhileQuitting();
        QCoreApplication::quit();
        return false;
    }
    if (e->type() != QEvent::KeyPress || !m_frame || QApplication::activeModalWidget()) return false;
    auto* key = static_cast<QKeyEvent*>(e);
    if (key->key() < Qt::Key_F1 || key->key() > Qt::Key_F6 || key->modifiers() != Qt::NoModifier)
        return false;
    if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != m_frame) return false;
    m_context.OnFunctionKey(key->key() - Qt::Key_F1 + 1);
    return true;
}

}  // namespace qelt
