#pragma once
/// `CQeltLogin` (dialog 132): server choice, account, the progress of the start-up
/// synchronisation. The session runs the dialog's rules (LoginFlow) from the moment it opens;
/// this window shows them and hands its buttons to them.
#include <QDialog>
#include <functional>
#include <memory>

#include "app/LoginFlow.h"
#include "app/Session.h"
#include "common/ServerList.h"

class QLineEdit;
class QComboBox;
class QCheckBox;
class QProgressBar;
class QLabel;
class QPushButton;

namespace qelt {

class CQeltLogin : public QDialog, public LoginDisplay {
    Q_OBJECT
  public:
    struct Hooks {
        std::function<std::vector<ServerEntry>()> readServers;
        /// Runs the server list dialog; true when it ended with OK.
        std::function<bool(QWidget*)> editServers;
        std::function<void()> openWebSite;
        std::function<void(const std::string&, const std::string&)> showMessage;
    };

    /// Opens the session's login (Session::BeginLogin); the owner ends it (EndLogin) once
    /// the dialog has closed, before destroying it.
    CQeltLogin(Session& session, Hooks hooks, QWidget* parent = nullptr);
    ~CQeltLogin() override;

    /// Fills the fields from the remembered login and checks "保存密码".
    void SetRemembered(const std::string& user, const std::string& password);
    /// Presses "登 陆" (used by the unattended --auto-login start).
    void ClickLogin();
    bool Synchronised() const { return m_flow.Synchronised(); }
    const LoginFlow& Flow() const { return m_flow; }

    // LoginDisplay
    void SetStatus(const std::string& text) override;
    void SetProgress(int value) override;
    void EnableLoginButton(bool enabled) override;
    void FocusField(LoginField field) override;
    void ShowMessage(const std::string& text, const std::string& caption) override;
    void After(int milliseconds, std::function<void()> then) override;
    void EndDialog(bool ok) override;

  signals:
    /// Every status text shown, in order (for watchers such as tests).
    void StatusChanged(const QString& text);

  private:
    void FillServers();
    void OnLoginClicked();

    Hooks m_hooks;
    std::vector<ServerEntry> m_servers;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QComboBox* m_server;
    QCheckBox* m_remember;
    QProgressBar* m_progress;
    QLabel* m_status;
    QLabel* m_demoAccounts;  ///< which accounts the demo server has, shown with its list only
    QPushButton* m_login;
    LoginFlow& m_flow;  ///< the session's, from the end of construction
};

}  // namespace qelt
