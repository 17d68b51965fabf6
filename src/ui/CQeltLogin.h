#pragma once
/// `CQeltLogin` (dialog 132): server choice, account, the progress of the start-up
/// synchronisation. The rules live in LoginFlow; this window shows them and forwards the
/// notifications it receives as the application's notification window.
#include <QDialog>
#include <functional>
#include <memory>

#include "app/LoginFlow.h"
#include "common/ServerList.h"

class QLineEdit;
class QComboBox;
class QCheckBox;
class QProgressBar;
class QLabel;
class QPushButton;

namespace qelt {

class CQeltLogin : public QDialog, public LoginView {
    Q_OBJECT
  public:
    struct Hooks {
        std::function<std::vector<ServerEntry>()> readServers;
        /// Runs the server list dialog; true when it ended with OK.
        std::function<bool(QWidget*)> editServers;
        std::function<void()> openWebSite;
        std::function<void(const std::string&, const std::string&)> showMessage;
    };

    CQeltLogin(LoginServices& services, Hooks hooks, QWidget* parent = nullptr);
    ~CQeltLogin() override;

    /// Fills the fields from the remembered login and checks "保存密码".
    void SetRemembered(const std::string& user, const std::string& password);
    /// Presses "登 陆" (used by the unattended --auto-login start).
    void ClickLogin();
    bool Synchronised() const { return m_flow.Synchronised(); }
    LoginFlow& Flow() { return m_flow; }

    // LoginView
    void SetStatus(const std::string& text) override;
    void SetProgress(int value) override;
    void EnableLoginButton(bool enabled) override;
    void ShowMessage(const std::string& text, const std::string& caption) override;
    void After(int milliseconds, std::function<void()> then) override;
    void EndDialog(bool ok) override;

  signals:
    /// Every status text shown, in order (for watchers such as tests).
    void StatusChanged(const QString& text);

  protected:
    bool event(QEvent* e) override;

  private:
    void FillServers();
    void OnLoginClicked();

    LoginFlow m_flow;
    Hooks m_hooks;
    std::vector<ServerEntry> m_servers;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QComboBox* m_server;
    QCheckBox* m_remember;
    QProgressBar* m_progress;
    QLabel* m_status;
    QPushButton* m_login;
};

}  // namespace qelt
