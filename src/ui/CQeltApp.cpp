#include "CQeltApp.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTimer>

#include "CMainFrame.h"
#include "CQeltHtml.h"
#include "CQeltMsg.h"
#include "ModalDialog.h"
#include "ViewHostWidget.h"
#include "app/FormulaListModel.h"
#include "app/WebSite.h"
#include "common/DiagnosticLog.h"
#include "common/Messages.h"
#include "data/history/StoreArchive.h"
#include "dialogs/CQeltAlarmDlg.h"
#include "net/Requests.h"
#include "ui/views/CQeltListView.h"
#include "views/CQeltKLineView.h"
#include "views/CQeltMutiView.h"
#include "views/CQeltRealView.h"
#include "views/CQeltTradListView.h"
#include "views/QuoteListView.h"
#include "views/ViewKinds.h"
#include "views/WebPageView.h"

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
      m_store(m_poster, m_targets),
      m_database(m_options.programDirectory),
      m_formulas(m_options.programDirectory),
      m_socket(m_poster, m_targets, SocketTiming(m_options.sendPause)),
      m_paced(m_socket),
      m_context(m_cfg, m_store, *this, m_poster, m_targets),
      m_relogin(*this),
      m_connector(std::make_unique<AsyncConnector>()) {
    m_appWindow = m_poster.Register(this);
    m_poster.SetApplicationReceiver(this);
    // The store's series requests queue behind each other on the paced sender's thread, so
    // the receive thread goes on reading replies while they go out.
    m_store.SetSender(&m_paced, [this] { return m_cfg.m_online.load(); });
    m_store.SetSelfSelectedSource(&m_cfg);
    m_store.SetHistorySink(&m_database);
    m_socket.SetSink(&m_store);
    m_socket.SetAlarmQuerySource([this] { return m_cfg.AlarmQueries(); });
    // On the receive thread: only a post toward the interface, once per burst.
    m_store.SetAlarmRefresh([this] {
        if (!m_alarmRefreshPending.exchange(true)) m_poster.PostThreadMessage(WM_ALARM_REFRESH, 0, 0);
    });
    RegisterViews();
    RegisterCommands();
    qApp->installEventFilter(this);
}

CQeltApp::~CQeltApp() {
    // A connect under way ends first: its thread must not report to a half-destroyed object.
    CancelConnect();
    m_connector.reset();
    ExitInstance();
    delete m_alarmWindow.data();
    m_context.SetFrame(nullptr);
    delete m_frame.data();
    m_context.CloseView();
    qApp->removeEventFilter(this);
    // No message may reach the store once it is gone: end the connection's threads first.
    m_paced.Cancel();
    m_socket.Shutdown();
    m_poster.SetApplicationReceiver(nullptr);
    m_poster.Unregister(m_appWindow);
}

void CQeltApp::RegisterViews() {
    // A view kind is its Qt-free view and, when it has Qt children of its own, its window.
    m_context.RegisterView(kViewQuoteList,
                           [](ViewServices& s) { return std::make_unique<QuoteListView>(s); });
    m_hostFactories[kViewQuoteList] = [this](View& view) {
        return new CQeltListView(dynamic_cast<QuoteListView&>(view), m_context);
    };
    m_context.RegisterView(kViewIntraday, [](ViewServices& s) { return std::make_unique<CQeltRealView>(s); });
    m_context.RegisterView(kViewTradeList,
                           [](ViewServices& s) { return std::make_unique<CQeltTradListView>(s); });
    m_context.RegisterView(kViewMultiGoods,
                           [](ViewServices& s) { return std::make_unique<CQeltMutiView>(s); });
    m_context.RegisterView(kViewKLine, [](ViewServices& s) { return std::make_unique<CQeltKLineView>(s); });
    m_context.RegisterView(kViewWeb,
                           [this](ViewServices&) { return std::make_unique<WebPageView>(WebSite()); });
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
        m_cfg.m_online = false;
    else if (!RunLogin()) {
        Log(m_updating ? "the client ends for the update" : "login cancelled: the client ends");
        return false;
    }
    Log(m_cfg.m_online ? "online: the board is on show" : "offline: browsing the local database");
    if (!m_cfg.m_online) LoadStoreFromHistory(m_database, m_store);
    // The drawn lines, online and offline alike, before the frame and its first view.
    m_context.Lines().Load();
    m_context.Lines().ApplyTo(m_store);
    // The user's formulas, before the first view that may draw them.
    const std::vector<std::string> formulaProblems = m_formulas.Load();
    CreateFrame();
    CreateAlarmWindow();
    m_context.SwitchView(kViewQuoteList);
    m_frame->showMaximized();
    ReportFormulaProblems(formulaProblems);
    if (m_cfg.m_online) m_paced.SendFirst(NoticeRequest());
    if (!m_options.screenshot.isEmpty()) {
        QTimer::singleShot(m_options.screenshotDelay, this, [this] {
            if (m_frame) m_frame->grab().save(m_options.screenshot);
            if (m_frame) m_frame->close();
        });
    }
    return true;
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
    m_socket.StopPolling();
    // Every edit was written when it was made; this last write covers nothing new but keeps
    // the file as the book holds it (nothing happens when start-up never read it).
    m_context.Lines().Save();
    Log(m_cfg.m_online ? "exit: saving the board" : "exit");
    if (m_cfg.m_online) SaveStoreToHistory(m_database, m_store);
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
    m_frame->resize(1024, 700);
    m_frame->SetOnline(m_cfg.m_online);
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
    m_frame->RefreshIndexPanes();
}

WindowId CQeltApp::ShowView(int kind, View& view) {
    const auto factory = m_hostFactories.find(kind);
    ViewHostWidget* host =
        factory != m_hostFactories.end() ? factory->second(view) : new ViewHostWidget(view, m_context);
    m_host = host;
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

void CQeltApp::ConnectAsync(const std::string& address, int port, std::function<void(bool)> done) {
    const int attempt = ++m_connectAttempt;
    m_connector->Start(
        address, port, m_socket.ConnectTimeout(), [this, attempt, done = std::move(done)](UniqueFd fd) {
            // Back on the interface thread; a descriptor nobody takes closes with its holder.
            auto connection = std::make_shared<UniqueFd>(std::move(fd));
            QMetaObject::invokeMethod(
                this,
                [this, attempt, connection, done] {
                    if (attempt != m_connectAttempt) return;  // cancelled or superseded
                    const bool connected = connection->Valid() && m_socket.Adopt(std::move(*connection)) &&
                                           m_socket.StartReceiveThread();
                    done(connected);
                },
                Qt::QueuedConnection);
        });
}

void CQeltApp::CancelConnect() {
    ++m_connectAttempt;
    if (m_connector) m_connector->Cancel();
}

void CQeltApp::Connect(std::function<void(bool)> done) {
    ConnectAsync(m_cfg.m_serverAddress, m_cfg.m_serverPort, std::move(done));
}

void CQeltApp::SendRelogin() { m_paced.SendFirst(LoginRequest(m_cfg.m_user, m_cfg.m_password, true)); }

void CQeltApp::SetOffline() {
    m_cfg.m_online = false;
    if (m_frame) m_frame->SetOnline(false);
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
    return WebSiteAddress(m_cfg.ProgramDirectory(), m_cfg.m_serverAddress, m_cfg.m_serverPort);
}

bool CQeltApp::event(QEvent* e) {
    auto* message = dynamic_cast<WindowMessageEvent*>(e);
    if (!message) return QObject::event(e);
    switch (message->Message()) {
        case WM_SWITCH_VIEW:
            m_context.OnSwitchViewMessage(message->WParam(), message->LParam());
            break;
        case WM_NET_RECONNECT:
            m_relogin.OnReconnect(static_cast<long>(message->WParam()));
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
        // Quitting closes every window, the alarm window too: that must not switch the
        // alarms off for the next start.
        if (m_alarmWindow) m_alarmWindow->SetCloseHook({});
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
