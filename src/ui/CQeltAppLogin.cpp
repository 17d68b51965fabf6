// The application's side of the login dialog.
#include <QApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include "CMainFrame.h"
#include "CQeltApp.h"
#include "CQeltLogin.h"
#include "ModalDialog.h"
#include "common/Address.h"
#include "common/DiagnosticLog.h"
#include "common/ServerList.h"
#include "dialogs/CComSet.h"
#include "dialogs/MessageBoxes.h"

namespace qelt {

/// What the login flow asks of the application, answered by its real objects.
class CQeltApp::LoginServicesImpl : public LoginServices {
  public:
    explicit LoginServicesImpl(CQeltApp& app) : m_app(app) {}
    bool IsConnected() override { return m_app.m_socket.IsConnected(); }
    void Connect(const std::string& address, int port, std::function<void(bool)> done) override {
        m_app.ConnectAsync(address, port, std::move(done));
    }
    void CancelConnect() override { m_app.CancelConnect(); }
    std::string ResolveAddress(const std::string& text) override { return ResolveServerAddress(text); }
    void SetOnline(bool online) override {
        m_app.m_cfg.m_online = online;
        if (m_app.m_frame) m_app.m_frame->SetOnline(online);
    }
    void CloseConnection() override {
        m_app.m_socket.Close();
        m_app.m_paced.Cancel();
        m_app.m_store.Reset();
    }
    void SetCurrentServer(const std::string& address, int port) override {
        m_app.m_cfg.m_serverAddress = address;
        m_app.m_cfg.m_serverPort = port;
    }
    void Send(const std::string& message) override { m_app.m_paced.SendFirst(message); }
    void SendPaced(std::vector<std::string> messages) override { m_app.m_paced.Enqueue(std::move(messages)); }
    int LoginCode() override { return m_app.m_store.LoginCode(); }
    void ResetStore() override { m_app.m_store.Reset(); }
    std::vector<std::pair<std::string, std::string>> MainKeys() override {
        return m_app.m_store.MainListKeys();
    }
    void KeepCredentials(const std::string& user, const std::string& password) override {
        m_app.m_cfg.m_user = user;
        m_app.m_cfg.m_password = password;
    }
    void WriteRememberedLogin(bool remember, const std::string&, const std::string&) override {
        if (remember)
            m_app.m_cfg.SaveLogin();
        else
            m_app.m_cfg.ForgetLogin();
    }
    void StartUpdater(const std::string& argument) override { m_app.StartUpdater(argument); }

  private:
    CQeltApp& m_app;
};

bool CQeltApp::RunLogin() {
    LoginServicesImpl services(*this);
    CQeltLogin::Hooks hooks;
    const std::string dir = m_cfg.ProgramDirectory();
    hooks.readServers = [dir] { return ReadServerList(dir); };
    hooks.editServers = [this](QWidget* owner) {
        bool accepted = false;
        EditServers(owner, &accepted);
        return accepted;
    };
    hooks.openWebSite = [this] { OpenWebSite(); };
    hooks.showMessage = [](const std::string& text, const std::string& caption) {
        DefaultMessageBoxes().Show(QApplication::activeWindow(), text, caption);
    };
    QPointer<CQeltLogin> dialog = new CQeltLogin(services, std::move(hooks), m_frame);
    if (auto remembered = m_cfg.ReadLogin()) dialog->SetRemembered(remembered->user, remembered->password);
    const WindowId window = m_poster.Register(dialog);
    const WindowId previous = m_targets.notification.exchange(window);
    if (m_options.autoLogin) QTimer::singleShot(0, dialog, [dialog] { dialog->ClickLogin(); });
    const bool ok = dialog->exec() == QDialog::Accepted;
    m_poster.Unregister(window);
    m_targets.notification = previous;
    const bool synchronised = dialog && dialog->Synchronised();
    delete dialog;
    if (ok && synchronised && m_frame) m_store.RebuildDerivedLists();
    return ok;
}

void CQeltApp::EditServers(QWidget* owner, bool* accepted) {
    *accepted =
        ExecModal<CComSet>(m_cfg.ProgramDirectory(), DefaultMessageBoxes(), owner) == QDialog::Accepted;
}

void CQeltApp::StartUpdater(const std::string& argument) {
    // The updater replaces this program's files: this client ends, whichever path found
    // the new version (start-up or 连接行情主站).
    m_updating = true;
    // The updater sits in the program directory, or beside this executable when the
    // program directory was given with --home.
    QString program = QString::fromStdString(m_cfg.ProgramDirectory() + "update");
    if (!QFileInfo::exists(program)) program = QCoreApplication::applicationDirPath() + "/update";
    QStringList arguments{QString::fromStdString(argument), "--home",
                          QString::fromStdString(m_cfg.ProgramDirectory())};
    const bool started = QProcess::startDetached(program, arguments);
    Log((started ? "updater started: " : "the updater did not start: ") + program.toStdString());
}

}  // namespace qelt
