#pragma once
/// `CQeltApp`: the process, as Qt wiring around the application context. It owns the
/// settings, the store, the connection with its paced sender, the history database and the
/// context; registers the views and the application's commands; runs start-up (login) and
/// shut-down; shows the views the context switches to in the main frame; turns the receive
/// side's thread messages (view switch, lost connection, notice) and the function keys into
/// the context's calls.
#include <QDialog>
#include <QObject>
#include <QPointer>
#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "QtPoster.h"
#include "ViewHostWidget.h"
#include "app/AppContext.h"
#include "app/ReloginFlow.h"
#include "common/Poster.h"
#include "data/CQeltData.h"
#include "data/history/HistoryDatabase.h"
#include "data/settings/CQeltCFG.h"
#include "formula/FormulaLibrary.h"
#include "net/CClientSocket.h"
#include "net/PacedSender.h"
#include "net/TcpConnect.h"

namespace qelt {

class CMainFrame;
class CQeltAlarmDlg;
class CQeltPassWord;
class ViewHostWidget;

struct AppOptions {
    std::string programDirectory;
    bool autoLogin = false;  ///< log in with sys.ini's account on the first server, unattended
    bool offline = false;    ///< skip the login dialog and browse the local database
    QString screenshot;      ///< save a picture of the main frame after `screenshotDelay` ms, then quit
    int screenshotDelay = 8000;
    /// Pause after each single command (tests shorten it).
    std::chrono::milliseconds sendPause{100};
};

class CQeltApp : public QObject, private ReloginServices, private SessionLink, private ViewFrame {
    Q_OBJECT
  public:
    explicit CQeltApp(AppOptions options);
    ~CQeltApp() override;

    /// Start-up; false when the process should end (no network, login cancelled).
    bool InitInstance();
    /// Shut-down: stop polling, save the board when online.
    void ExitInstance();

    void ShowNotice();

    CQeltCFG& Settings() { return m_cfg; }
    CQeltData& Store() { return m_store; }
    CClientSocket& Socket() { return m_socket; }
    AppContext& Context() { return m_context; }
    /// The user's formulas (formula.txt), read at start-up.
    FormulaLibrary& Formulas() { return m_formulas; }
    CMainFrame* Frame() const { return m_frame; }
    /// The alarm window ("预警系统"); nullptr before start-up created it.
    CQeltAlarmDlg* AlarmWindow() const;
    /// The window the view on show lives in; nullptr when there is none.
    ViewHostWidget* HostWidget() const { return m_host; }

  protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    class LoginServicesImpl;
    using HostFactory = std::function<ViewHostWidget*(View&)>;

    void RegisterViews();
    void RegisterCommands();
    // The price alarms (CQeltAppAlarms.cpp).
    void RegisterAlarmCommands();
    /// Creates the modeless alarm window at its place, shown when the alarms are on.
    void CreateAlarmWindow();
    /// Sets or clears the alarm flag (kept in alarm.ini) and shows or hides the window.
    void SetAlarmWindow(bool on);
    /// WM_ALARM_REFRESH: the window shows the store's alarms; a new one is announced when
    /// 提示音 is on.
    void RefreshAlarmWindow();
    /// A command that acts on the host of the view on show, enabled while `applies` says so.
    void RegisterHostCommand(int command, std::function<void(ViewHostWidget&)> run,
                             std::function<bool(const View&)> applies);
    /// Connects on the connector's thread and starts the receive thread; `done` runs on the
    /// interface thread, unless the attempt was cancelled or superseded meanwhile.
    void ConnectAsync(const std::string& address, int port, std::function<void(bool)> done);
    void CancelConnect();
    bool RunLogin();
    void ConnectFromMenu();
    void CreateFrame();
    /// What reading formula.txt found, logged and told once in a box that does not stop start-up.
    void ReportFormulaProblems(const std::vector<std::string>& problems);
    void OpenWebSite();
    void OpenHelp();
    void ChangePassword();
    void EditServers(QWidget* owner, bool* accepted);
    void StartUpdater(const std::string& argument);
    std::string WebSite() const;

    // ViewFrame
    WindowId ShowView(int kind, View& view) override;
    void RemoveView() override;
    void ViewReady() override;

    // SessionLink (StopPolling and StartPolling serve ReloginServices too)
    bool IsConnected() const override { return m_socket.IsConnected(); }
    void SetStanding(std::vector<std::string> requests) override {
        m_socket.SetStanding(std::move(requests));
    }
    void StartPolling() override { m_socket.StartPolling(); }
    void StopPolling() override { m_socket.StopPolling(); }
    void Send(const std::string& request) override { m_paced.SendFirst(request); }

    // ReloginServices
    void MarkDisconnected() override { m_socket.MarkDisconnected(); }
    void CloseSocket() override { m_socket.Close(); }
    void Connect(std::function<void(bool)> done) override;
    void SendRelogin() override;
    void SetOffline() override;
    void ShowMessage(const std::string& text, const std::string& caption) override;
    void After(int milliseconds, std::function<void()> then) override;

    AppOptions m_options;
    QtPoster m_poster;
    MessageTargets m_targets;
    CQeltCFG m_cfg;
    CQeltData m_store;
    HistoryDatabase m_database;
    FormulaLibrary m_formulas;
    CClientSocket m_socket;
    PacedSender m_paced;
    AppContext m_context;
    ReloginFlow m_relogin;
    std::unique_ptr<AsyncConnector> m_connector;
    int m_connectAttempt = 0;
    std::map<int, HostFactory> m_hostFactories;
    WindowId m_appWindow = kNoWindow;
    QPointer<CMainFrame> m_frame;
    WindowId m_frameWindow = kNoWindow;
    QPointer<ViewHostWidget> m_host;
    WindowId m_viewWindow = kNoWindow;
    bool m_exited = false;
    bool m_updating = false;     ///< the updater was started: this client ends
    QPointer<QDialog> m_notice;  ///< the one notice window
    QPointer<CQeltAlarmDlg> m_alarmWindow;
    /// A refresh is on its way to the interface: a burst of alarm replies costs one.
    std::atomic<bool> m_alarmRefreshPending{false};
};

}  // namespace qelt
