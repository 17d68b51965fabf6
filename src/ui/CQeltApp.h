#pragma once
/// `CQeltApp`: the process, as Qt wiring around the Qt-free application. It owns the
/// settings, the store, the connection, the session that runs it, the history database and
/// the context; registers the view kinds and the application's commands; shows the login
/// dialog the session runs, the views the context switches to (in the main frame) and the
/// session's messages; turns the receive side's thread messages (view switch, lost
/// connection, notice) and the function keys into the session's and the context's calls.
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
#include "analysis/ConditionAlarmConfig.h"
#include "app/AlarmLog.h"
#include "app/AppContext.h"
#include "app/BoardWatchPoster.h"
#include "app/ConditionAlarmPass.h"
#include "app/Session.h"
#include "app/SocketConnection.h"
#include "common/Poster.h"
#include "data/CQeltData.h"
#include "data/history/HistoryDatabase.h"
#include "data/settings/CQeltCFG.h"
#include "formula/FormulaLibrary.h"
#include "net/CClientSocket.h"
#include "views/ViewKinds.h"

namespace qelt {

struct AlarmEntryChoices;
class CMainFrame;
class CQeltAlarmDlg;
class CQeltKLineView;
class CQeltPassWord;
class ScreeningWindow;
class SystemTestWindow;
struct TradeMarks;
class ViewHostWidget;

/// What --screenshot pictures of 交易评测 (SystemScreenshot in CQeltAppSystems.cpp), or of
/// 条件选股 (the window after screening every contract).
enum class ScreenshotSystem { None, Report, HeatMap, Marks, Screening, Alarms };

struct AppOptions {
    std::string programDirectory;
    bool autoLogin = false;  ///< log in with sys.ini's account on the first server, unattended
    bool offline = false;    ///< skip the login dialog and browse the local database
    QString screenshot;      ///< save a picture of the main frame after `screenshotDelay` ms, then quit
    int screenshotDelay = 8000;
    /// The view the screenshot shows: the board, or another kind switched to (for the selected
    /// goods) half way through the delay.
    int screenshotView = kViewQuoteList;
    /// Digits as typed in the keyboard wizard (goods number, then delivery month): the goods
    /// it lists first is selected before that view opens (empty: the selection stays).
    std::string screenshotGoods;
    /// 交易评测 over that view: the window after a test or an optimisation, or the chart
    /// with the trades marked.
    ScreenshotSystem screenshotSystem = ScreenshotSystem::None;
    /// Pause after each single command (tests shorten it).
    std::chrono::milliseconds sendPause{100};
};

class CQeltApp : public QObject, private SessionHost, private ViewFrame, private Scheduler {
    Q_OBJECT
  public:
    explicit CQeltApp(AppOptions options);
    ~CQeltApp() override;

    /// Start-up; false when the process should end (no network, login cancelled).
    bool InitInstance();
    /// Shut-down: stop polling, save the board when online.
    void ExitInstance();

    void ShowNotice();
    /// SIGTERM or SIGINT: ends the program as the user would, from any state. Every dialog
    /// and message box on screen is left (the login dialog ends the program), the main
    /// window is closed and every event loop ends. The alarms stay as they are for the next
    /// start, as when the main window is closed.
    void StopOnSignal();

    CQeltCFG& Settings() { return m_cfg; }
    CQeltData& Store() { return m_store; }
    CClientSocket& Socket() { return m_socket; }
    Session& CurrentSession() { return m_session; }
    AppContext& Context() { return m_context; }
    /// The user's formulas (formula.txt), read at start-up; the context holds them.
    FormulaLibrary& Formulas() { return m_context.EditableFormulas(); }
    CMainFrame* Frame() const { return m_frame; }
    /// The alarm window ("预警系统"); nullptr before start-up created it.
    CQeltAlarmDlg* AlarmWindow() const;
    /// The window the view on show lives in; nullptr when there is none.
    ViewHostWidget* HostWidget() const { return m_host; }
    /// The condition alarm entries and their hit days (condalarm.ini).
    ConditionAlarmConfig& ConditionAlarmEntries() { return m_conditionAlarms; }
    /// The entries changed outside the 条件预警 dialog: the next pass runs them as they are.
    void ConditionAlarmsChanged() { ReconfigureConditionAlarms(true); }
    /// The trading-system window (交易评测); nullptr before it was first opened.
    SystemTestWindow* SystemWindow() const;
    /// The screening window (条件选股); nullptr before it was first opened.
    ScreeningWindow* ScreeningWin() const;

  protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    /// The program is ending: the windows that close with it keep the settings as they are.
    void KeepSettingsWhileQuitting();
    using HostFactory = std::function<ViewHostWidget*(View&)>;

    void RegisterViews();
    void RegisterCommands();
    // The price alarms (CQeltAppAlarms.cpp).
    void RegisterAlarmCommands();
    /// What the new alarm entry dialog offers: the store's contracts with their goods' names,
    /// opening on the contract selected on the board.
    AlarmEntryChoices AlarmChoices() const;
    /// Creates the modeless alarm window at its place, shown when the alarms are on.
    void CreateAlarmWindow();
    /// Sets or clears the alarm flag (kept in alarm.ini) and shows or hides the window.
    void SetAlarmWindow(bool on);
    /// WM_ALARM_REFRESH: the window shows the store's alarms; a new one is announced when
    /// 提示音 is on.
    void RefreshAlarmWindow();
    // 条件预警 (CQeltAppConditionAlarms.cpp).
    void RegisterConditionAlarmCommands();
    void OpenConditionAlarms();
    /// Brings the pass in line with the entries and the formulas (only when the formulas
    /// changed, unless `force`): entries that cannot run are turned off.
    void ReconfigureConditionAlarms(bool force);
    /// After a board update, online, while the alarms are on: one pass, its hits shown,
    /// logged and heard.
    void RunConditionAlarms();
    void ShowConditionHits(const std::vector<ConditionHit>& hits);
    /// The server's alarms the window showed for the first time go into alarmlog.csv.
    void LogServerAlarms();
    /// 导出记录: alarmlog.csv (with alarmlog.1.csv before it) saved where the user says.
    void ExportAlarmLog();
    // 交易评测 (CQeltAppSystems.cpp).
    void RegisterSystemCommands();
    /// Opens the trading-system window (made at its first opening) for the goods on show.
    void OpenSystemWindow();
    /// The K-line chart of `goods` in `period`, brought up in the main window (the goods
    /// selected when it is not the one on show); nullptr when the store has no such goods.
    CQeltKLineView* ShowChartOf(const GoodsKey& goods, int period);
    /// A trade of the window: the chart's cursor on its entry bar.
    void ShowTradeOnChart(const GoodsKey& goods, int period, int bar, int date);
    /// 在图上显示: the marks go on the chart of their contract and period, which comes up.
    void ShowTradeMarks(std::shared_ptr<const TradeMarks> marks);
    /// --screenshot of 交易评测: the window runs the example system (at `step` 0), then puts
    /// its trades on the chart (step 1, for the marks); what is pictured (Screenshot).
    void StepScreenshotSystem(int step);
    QWidget* ScreenshotWindow() const;
    // 条件选股 (CQeltAppScreening.cpp).
    void RegisterScreeningCommands();
    /// Opens the screening window (made at its first opening).
    void OpenScreeningWindow();
    /// --screenshot of 条件选股: the window screens every contract with an example formula.
    void StartScreenshotScreening();
    /// A command that acts on the host of the view on show, enabled while `applies` says so.
    void RegisterHostCommand(int command, std::function<void(ViewHostWidget&)> run,
                             std::function<bool(const View&)> applies);
    bool RunLogin();
    void ConnectFromMenu();
    void CreateFrame();
    /// What reading formula.txt found, logged and told once in a box that does not stop start-up.
    void ReportFormulaProblems(const std::vector<std::string>& problems);
    /// --screenshot: the goods and the view it pictures, half way through the delay.
    void ShowScreenshotView();
    void OpenWebSite();
    void OpenHelp();
    void ChangePassword();
    void EditServers(QWidget* owner, bool* accepted);
    void Disconnect();
    std::string WebSite() const;
    /// Runs `work` on the interface thread (from any thread), unless this object is gone.
    void Post(std::function<void()> work);

    // ViewFrame
    WindowId ShowView(int kind, View& view) override;
    void RemoveView() override;
    void ViewReady() override;
    void ViewKindsChanged() override;
    void ShowStatus(const std::string& text) override;

    // SessionHost
    std::string ResolveAddress(const std::string& text) override;
    int LoginCode() override { return m_store.LoginCode(); }
    void ResetStore() override;
    std::vector<GoodsKey> MainKeys() override { return m_store.MainListKeys(); }
    void RememberLogin(bool remember, const std::string& user, const std::string& password) override;
    void StartUpdater(const std::string& argument) override;
    void ShowMessage(const std::string& text, const std::string& caption) override;
    void SessionChanged() override;

    // Scheduler
    void After(int milliseconds, std::function<void()> then) override;

    AppOptions m_options;
    QtPoster m_poster;
    MessageTargets m_targets;
    CQeltCFG m_cfg;
    /// The store's posts, watched for board updates (the condition alarms).
    BoardWatchPoster m_storePoster;
    CQeltData m_store;
    HistoryDatabase m_database;
    CClientSocket m_socket;
    SocketConnection m_connection;
    Session m_session;
    AppContext m_context;
    std::map<int, HostFactory> m_hostFactories;
    WindowId m_appWindow = kNoWindow;
    QPointer<CMainFrame> m_frame;
    WindowId m_frameWindow = kNoWindow;
    QPointer<ViewHostWidget> m_host;
    WindowId m_viewWindow = kNoWindow;
    bool m_exited = false;
    int m_shownAttempt = 0;      ///< the re-login attempt the status bar shows (0: none)
    bool m_updating = false;     ///< the updater was started: this client ends
    QPointer<QDialog> m_notice;  ///< the one notice window
    QPointer<CQeltAlarmDlg> m_alarmWindow;
    QPointer<SystemTestWindow> m_systemWindow;
    QPointer<ScreeningWindow> m_screeningWindow;
    /// A refresh is on its way to the interface: a burst of alarm replies costs one.
    std::atomic<bool> m_alarmRefreshPending{false};
    // 条件预警: the entries and hit days (condalarm.ini), the pass, the log of every hit.
    ConditionAlarmConfig m_conditionAlarms{m_cfg.ProgramDirectory(), &m_cfg.Reports()};
    ConditionAlarmPass m_conditionPass;
    AlarmLog m_alarmLog{m_cfg.ProgramDirectory(),
                        [this](const std::string& text) { ShowMessage(text, "预警系统"); }};
    /// A pass is on its way to the interface: a burst of board updates costs one.
    std::atomic<bool> m_boardPassPending{false};
    std::uint64_t m_conditionRevision = 0;
    bool m_conditionConfigured = false;
};

}  // namespace qelt
