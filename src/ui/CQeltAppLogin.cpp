// The application's side of the login dialog.
#include <QApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include "CMainFrame.h"
#include "CQeltApp.h"
#include "CQeltLogin.h"
#include "ModalDialog.h"
#include "common/DiagnosticLog.h"
#include "common/InstallPaths.h"
#include "common/ProgramDir.h"
#include "common/ServerList.h"
#include "dialogs/CComSet.h"
#include "dialogs/MessageBoxes.h"

namespace qelt {

bool CQeltApp::RunLogin() {
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
    QPointer<CQeltLogin> dialog = new CQeltLogin(m_session, std::move(hooks), m_frame);
    if (auto remembered = m_cfg.ReadLogin()) dialog->SetRemembered(remembered->user, remembered->password);
    // While the dialog is open the store's notifications go to the session, which runs it.
    const WindowId previous = m_targets.notification.exchange(m_appWindow);
    if (m_options.autoLogin) QTimer::singleShot(0, dialog, [dialog] { dialog->ClickLogin(); });
    const bool ok = dialog->exec() == QDialog::Accepted;
    m_targets.notification = previous;
    const bool synchronised = dialog && dialog->Synchronised();
    m_session.EndLogin(ok);
    delete dialog;
    if (ok && synchronised && m_frame) m_store.RebuildDerivedLists();
    return ok;
}

void CQeltApp::EditServers(QWidget* owner, bool* accepted) {
    *accepted =
        ExecModal<CComSet>(m_cfg.ProgramDirectory(), DefaultMessageBoxes(), owner) == QDialog::Accepted;
}

namespace {

/// The updater to start: the program directory's own (a portable copy), else the one beside
/// this executable (the build tree), else where an installation keeps it, off the PATH.
QString UpdaterProgram(const std::string& programDirectory) {
    for (const std::string& candidate : {programDirectory + "update", ExecutableDirectory() + "update",
                                         ExecutableDirectory() + install::kUpdaterFromBin}) {
        const QFileInfo file(QString::fromStdString(candidate));
        if (file.isFile() && file.isExecutable()) return file.absoluteFilePath();
    }
    return QString::fromStdString(programDirectory + "update");
}

}  // namespace

void CQeltApp::StartUpdater(const std::string& argument) {
    // The updater replaces this program's files: this client ends, whichever path found
    // the new version (start-up or 连接行情主站).
    m_updating = true;
    const QString program = UpdaterProgram(m_cfg.ProgramDirectory());
    QStringList arguments{QString::fromStdString(argument), "--home",
                          QString::fromStdString(m_cfg.ProgramDirectory())};
    const bool started = QProcess::startDetached(program, arguments);
    Log((started ? "updater started: " : "the updater did not start: ") + program.toStdString());
}

}  // namespace qelt
