#pragma once
/// `CQeltApp`: the process. Owns the settings, the market data store, the connection and
/// the history database; runs start-up (login) and shut-down; switches the single main
/// view; keeps the standing requests in line with the view on screen; handles the thread
/// messages of the receive side (lost connection, notice, view switch); maps the global
/// keys and the menu commands.
#include <QObject>
#include <QPointer>
#include <chrono>
#include <memory>
#include <string>

#include "QtPoster.h"
#include "app/ReloginFlow.h"
#include "common/Poster.h"
#include "data/Data.h"
#include "data/history/HistoryDatabase.h"
#include "data/settings/QeltCFG.h"
#include "net/ClientSocket.h"
#include "net/PacedSender.h"
#include "views/ListViewHost.h"

namespace qelt {

class CMainFrame;
class PasswordDialog;
class MessageBoxes;

struct AppOptions {
    std::string programDirectory;
    bool autoLogin = false;  ///< log in with sys.ini's account on the first server, unattended
    bool offline = false;    ///< skip the login dialog and browse the local database
    QString screenshot;      ///< save a picture of the main frame after `screenshotDelay` ms, then quit
    int screenshotDelay = 8000;
    /// Pause after each single command (tests shorten it).
    std::chrono::milliseconds sendPause{100};
};

class CQeltApp : public QObject, private ReloginServices, private ListViewHost {
    Q_OBJECT
public:
    explicit CQeltApp(AppOptions options);
    ~CQeltApp() override;

    /// Start-up; false when the process should end (no network, login cancelled).
    bool InitInstance();
    /// Shut-down: stop polling, save the board when online.
    void ExitInstance();

    void SwitchView(int kind);
    void SetStandingRequests(int kind);
    void NextGoods();
    void PrevGoods();
    void ShowNotice();
    void OnCommand(int command);
    bool CommandEnabled(int command) const;
    bool CommandChecked(int command) const;

    CQeltCFG& Settings() { return m_cfg; }
    CQeltData& Store() { return m_store; }
    CClientSocket& Socket() { return m_socket; }
    int CurrentGoods() const { return m_currentGoods; }
    void SetCurrentGoods(int index) override { m_currentGoods = index; }
    int ViewKind() const { return m_viewKind; }
    CMainFrame* Frame() const { return m_frame; }

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    class LoginServicesImpl;
    /// Connects and starts the connection's receive thread.
    bool ConnectTo(const std::string& address, int port);
    class StoreLoadTarget;
    bool RunLogin();
    void LoadOffline();
    void SaveStore();
    void CreateFrame();
    QWidget* CreateView(int kind);
    void OnFunctionKey(int key);
    void ToggleSelfSelected();
    void StepGoods(bool forward);
    void OpenWebSite();
    void OpenHelp();
    void ChangePassword();
    void EditServers(QWidget* owner, bool* accepted);
    void StartUpdater(const std::string& argument);
    QString WebSite() const;

    // ListViewHost (the quote board)
    int CurrentCategory() const override { return m_cfg.m_currentCategory; }
    void SetCurrentCategory(int index) override { m_cfg.m_currentCategory = index; }
    void SetSelfSelectedCategory(const std::string& code) override { m_cfg.m_selfSelectedCategory = code; }
    void ClearSpareText() override { m_cfg.m_spareText.clear(); }
    void AddSelfSelected(const std::string& goodsNo, const std::string& dueDate, const std::string& category) override {
        m_cfg.AddSelfSelected(goodsNo, dueDate, category);
    }
    void RemoveSelfSelected(const std::string& goodsNo, const std::string& dueDate,
                            const std::string& category) override {
        m_cfg.RemoveSelfSelected(goodsNo, dueDate, category);
    }
    std::vector<std::string> CategoryCodes() const override { return m_store.CategoryCodes(); }
    std::vector<std::string> CategoryNames() const override { return m_store.CategoryNames(); }
    std::vector<CQeltGoods> GoodsOfCategory(int index) const override { return m_store.GoodsOfCategory(index); }
    std::vector<CQeltGoods> MainList() const override { return m_store.MainList(); }
    bool IsFlagged(std::string_view goodsNo) const override { return m_store.IsFlagged(goodsNo); }
    void PostSwitchView(int kind, int argument) override;
    void OnPrinting(bool printing) override;
    double DisplayScale() const override { return m_cfg.DisplayScale(); }
    std::string ProgramDirectory() const override { return m_cfg.ProgramDirectory(); }

    // ReloginServices (StopPolling serves the board too)
    void StopPolling() override { m_socket.StopPolling(); }
    void MarkDisconnected() override { m_socket.MarkDisconnected(); }
    void CloseSocket() override { m_socket.Close(); }
    bool Connect() override;
    void SendRelogin() override;
    void StartPolling() override { m_socket.StartPolling(); }
    void SetOffline() override;
    void ShowMessage(const std::string& text, const std::string& caption) override;
    void After(int milliseconds, std::function<void()> then) override;

    AppOptions m_options;
    QtPoster m_poster;
    MessageTargets m_targets;
    CQeltCFG m_cfg;
    CQeltData m_store;
    HistoryDatabase m_database;
    CClientSocket m_socket;
    PacedSender m_paced;
    ReloginFlow m_relogin;
    WindowId m_appWindow = kNoWindow;
    QPointer<CMainFrame> m_frame;
    WindowId m_frameWindow = kNoWindow;
    WindowId m_viewWindow = kNoWindow;
    QPointer<PasswordDialog> m_passwordDialog;
    int m_viewKind = 0;
    int m_viewArgument = 1;
    int m_currentGoods = 0;
    bool m_exited = false;
};

}  // namespace qelt
