#include "QeltApp.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTimer>
#include <sys/socket.h>
#include <unistd.h>

#include "MainFrame.h"
#include "ModalDialog.h"
#include "NoticeDialog.h"
#include "PasswordDialog.h"
#include "WebView.h"
#include "views/CQeltListView.h"
#include "app/Commands.h"
#include "app/ViewRules.h"
#include "common/Messages.h"
#include "net/Requests.h"

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

/// The four entries of the colour scheme the board paints with.
BoardColours BoardColoursOf(const DisplayScheme& screen, const DisplayScheme& print) {
    auto set = [](const DisplayScheme& s) { return BoardColourSet{s.background, s.line[4], s.header, s.level}; };
    return BoardColours{set(screen), set(print)};
}

}  // namespace

CQeltApp::CQeltApp(AppOptions options)
    : m_options(std::move(options)),
      m_cfg(m_options.programDirectory),
      m_store(m_poster, m_targets),
      m_database(m_options.programDirectory),
      m_socket(m_poster, m_targets, SocketTiming(m_options.sendPause)),
      m_paced(m_socket),
      m_relogin(*this) {
    m_appWindow = m_poster.Register(this);
    m_poster.SetApplicationReceiver(this);
    // The store's series requests queue behind each other on the paced sender's thread, so
    // the receive thread goes on reading replies while they go out.
    m_store.SetSender(&m_paced, [this] { return m_cfg.m_online.load(); });
    m_store.SetSelfSelectedSource(&m_cfg);
    m_store.SetHistorySink(&m_database);
    m_socket.SetSink(&m_store);
    m_socket.SetAlarmQuerySource([this] { return m_cfg.AlarmQueries(); });
    qApp->installEventFilter(this);
}

CQeltApp::~CQeltApp() {
    ExitInstance();
    delete m_frame.data();
    qApp->removeEventFilter(this);
    // No message may reach the store once it is gone: end the connection's threads first.
    m_paced.Cancel();
    m_socket.Shutdown();
    m_poster.SetApplicationReceiver(nullptr);
    m_poster.Unregister(m_appWindow);
}

bool CQeltApp::InitInstance() {
    if (!NetworkAvailable()) {
        QMessageBox::critical(nullptr, QString::fromUtf8("系统提示"), QString::fromUtf8("Windows 通信端口初始化失败。"));
        return false;
    }
    m_cfg.m_version = std::string(kClientVersion);
    if (m_options.offline)
        m_cfg.m_online = false;
    else if (!RunLogin())
        return false;
    if (!m_cfg.m_online) LoadOffline();
    CreateFrame();
    SwitchView(kViewQuoteList);
    m_frame->showMaximized();
    if (m_cfg.m_online) m_socket.Send(NoticeRequest());
    if (!m_options.screenshot.isEmpty()) {
        QTimer::singleShot(m_options.screenshotDelay, this, [this] {
            if (m_frame) m_frame->grab().save(m_options.screenshot);
            if (m_frame) m_frame->close();
        });
    }
    return true;
}

void CQeltApp::ExitInstance() {
    if (m_exited) return;
    m_exited = true;
    m_socket.StopPolling();
    if (m_cfg.m_online) SaveStore();
}

void CQeltApp::CreateFrame() {
    CMainFrame::Hooks hooks;
    hooks.command = [this](int id) { OnCommand(id); };
    hooks.enabled = [this](int id) { return CommandEnabled(id); };
    hooks.checked = [this](int id) { return CommandChecked(id); };
    hooks.indexValues = [this] { return m_store.IndexValues(); };
    hooks.jumpToIndexGoods = [this](int goods) {
        // As F3 and F4 do: the goods by its index, the self-selected code back to "0001".
        m_currentGoods = goods;
        m_cfg.m_spareText.clear();
        m_cfg.m_selfSelectedCategory = "0001";
        m_poster.PostThreadMessage(WM_SWITCH_VIEW, kViewKLine, 0);
    };
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
    });
    m_frame->RefreshIndexPanes();
}

QWidget* CQeltApp::CreateView(int kind) {
    if (kind == kViewWeb) return new CQeltHtml(WebSite());
    // The other views fall back to the board until they exist.
    auto* board = new CQeltListView(*this, BoardColoursOf(DisplayScheme::Screen(), DisplayScheme::Print()));
    board->setObjectName("quoteList");
    return board;
}

void CQeltApp::PostSwitchView(int kind, int argument) { m_poster.PostThreadMessage(WM_SWITCH_VIEW, kind, argument); }

void CQeltApp::OnPrinting(bool printing) {
    if (printing)
        m_cfg.UsePrintScheme();
    else
        m_cfg.UseScreenScheme();
}

void CQeltApp::SwitchView(int kind) {
    if (!m_frame) return;
    const int shown = kind == kViewWeb ? kViewWeb : kViewQuoteList;
    if (kind != shown && m_viewKind == shown && m_frame->View()) {
        // A view still to come falls back to the board; the board on show stays as it is
        // (selection and scroll position) rather than being built again.
        SetStandingRequests(shown);
        return;
    }
    // The old view goes first (a board stops polling as it goes), then the new one starts it.
    m_poster.Unregister(m_viewWindow);
    m_frame->DestroyView();
    QWidget* view = CreateView(shown);
    m_frame->SetView(view);
    m_viewWindow = m_poster.Register(view);
    m_targets.notification = m_viewWindow;
    m_viewKind = shown;
    SetStandingRequests(shown);
}

void CQeltApp::SetStandingRequests(int kind) {
    if (!m_cfg.m_online || !m_socket.IsConnected()) return;
    const CQeltGoods goods = m_store.CurrentGoods(m_cfg.m_currentCategory, m_currentGoods, m_cfg.m_selfSelectedCategory);
    auto requests = StandingRequestsFor(kind, m_cfg.m_dayQualifier, goods.goods_no, goods.due_date);
    if (!requests) return;
    m_socket.SetStanding(std::move(*requests));
    m_socket.StartPolling();
}

bool CQeltApp::ConnectTo(const std::string& address, int port) {
    return m_socket.Connect(address, port) && m_socket.StartReceiveThread();
}

bool CQeltApp::Connect() { return ConnectTo(m_cfg.m_serverAddress, m_cfg.m_serverPort); }

void CQeltApp::SendRelogin() { m_socket.Send(LoginRequest(m_cfg.m_user, m_cfg.m_password, true)); }

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
    ExecModal<NoticeDialog>(QString::fromStdString(m_store.Notice()), m_frame.data());
}

bool CQeltApp::event(QEvent* e) {
    auto* message = dynamic_cast<WindowMessageEvent*>(e);
    if (!message) return QObject::event(e);
    switch (message->Message()) {
        case WM_SWITCH_VIEW:
            m_viewArgument = static_cast<int>(message->LParam());
            if (message->WParam() > 0) SwitchView(static_cast<int>(message->WParam()));
            m_viewArgument = 1;
            break;
        case WM_NET_RECONNECT: m_relogin.OnReconnect(static_cast<long>(message->WParam())); break;
        case WM_NET_NOTICE: ShowNotice(); break;
        default: break;  // WM_UPDATE_PROGRESS and the rest: accepted and ignored
    }
    return true;
}

bool CQeltApp::eventFilter(QObject* watched, QEvent* e) {
    // Closing the main window ends every event loop, the nested ones of dialogs and menus
    // included; the objects go away after them, in order.
    if (e->type() == QEvent::Close && watched == m_frame.data()) {
        QCoreApplication::quit();
        return false;
    }
    if (e->type() != QEvent::KeyPress || !m_frame || QApplication::activeModalWidget()) return false;
    auto* key = static_cast<QKeyEvent*>(e);
    if (key->key() < Qt::Key_F1 || key->key() > Qt::Key_F6 || key->modifiers() != Qt::NoModifier) return false;
    if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != m_frame) return false;
    OnFunctionKey(key->key() - Qt::Key_F1 + 1);
    return true;
}

}  // namespace qelt
