// The application's own commands (those no view handles), registered with the context.
#include <QApplication>
#include <QDesktopServices>
#include <QUrl>

#include "CMainFrame.h"
#include "CQeltApp.h"
#include "CQeltHtml.h"
#include "CQeltMsg.h"
#include "CQeltPassWord.h"
#include "DesktopHelp.h"
#include "ModalDialog.h"
#include "ViewHostWidget.h"
#include "common/Commands.h"
#include "data/history/StoreArchive.h"
#include "dialogs/CQeltFormulaList.h"
#include "dialogs/CQeltIndiDlg.h"
#include "dialogs/MessageBoxes.h"
#include "net/Requests.h"
#include "ui/web/WebPane.h"
#include "views/ViewKinds.h"

namespace qelt {

void CQeltApp::RegisterHostCommand(int command, std::function<void(ViewHostWidget&)> run,
                                   std::function<bool(const View&)> applies) {
    m_context.RegisterCommand(command,
                              {[this, run = std::move(run)] {
                                   if (m_host) run(*m_host);
                               },
                               [this, applies = std::move(applies)] {
                                   return CommandState{m_host && applies(m_host->HostedView()), false};
                               }});
}

void CQeltApp::RegisterCommands() {
    auto plain = [this](int command, std::function<void()> run) {
        m_context.RegisterCommand(command, {std::move(run), {}});
    };
    auto frame = [this](void (CMainFrame::*toggle)()) {
        return [this, toggle] {
            if (m_frame) (m_frame->*toggle)();
        };
    };

    m_context.RegisterCommand(cmd::kConnect, {[this] { ConnectFromMenu(); },
                                              [this] {
                                                  return CommandState{!m_session.IsConnected(), false};
                                              }});
    // 断开行情主站 also ends the attempts to reconnect.
    m_context.RegisterCommand(
        cmd::kDisconnect,
        {[this] { Disconnect(); },
         [this] {
             return CommandState{
                 m_session.IsConnected() || m_session.CurrentPhase() == Session::Phase::Relogging, false};
         }});
    m_context.RegisterCommand(
        cmd::kPassword, {[this] { ChangePassword(); },
                         [this] {
                             return CommandState{m_session.IsOnline() && m_session.IsConnected(), false};
                         }});
    m_context.RegisterCommand(cmd::kAutoUpdate, {[this] { m_cfg.m_autoUpdate = !m_cfg.m_autoUpdate; },
                                                 [this] {
                                                     return CommandState{true, m_cfg.m_autoUpdate};
                                                 }});
    plain(cmd::kComSettings, [this] {
        bool accepted = false;
        EditServers(m_frame, &accepted);
    });
    plain(cmd::kWebSite, [this] { OpenWebSite(); });
    plain(cmd::kNotice, [this] { ShowNotice(); });
    plain(cmd::kIndicators, [this] {
        ExecModal<CQeltIndiDlg>(
            m_cfg.m_indicators, [this] { return m_cfg.SaveIndicators(); }, -1, m_frame.data());
        if (m_host) m_host->update();
    });
    plain(cmd::kFormulas, [this] {
        ExecModal<CQeltFormulaList>(m_context.EditableFormulas(), DefaultMessageBoxes(), m_frame.data());
        if (m_host) m_host->update();  // a pane showing a changed formula draws it again
    });
    RegisterAlarmCommands();
    RegisterConditionAlarmCommands();
    RegisterSystemCommands();
    RegisterScreeningCommands();
    plain(cmd::kHelp, [this] { OpenHelp(); });
    plain(cmd::kAbout, [this] { ExecModal<AboutDialog>(m_frame.data()); });
    plain(cmd::kExit, [this] {
        if (m_frame) m_frame->close();
    });
    plain(cmd::kToolBar, frame(&CMainFrame::ToggleToolBar));
    plain(cmd::kStatusBar, frame(&CMainFrame::ToggleStatusBar));
    plain(cmd::kDrawingBar, frame(&CMainFrame::ToggleDrawingBar));

    // Printing and export belong to the view on show, through its window.
    auto canPrint = [](const View& view) { return view.CanPrint(); };
    RegisterHostCommand(
        cmd::kPrint, [](ViewHostWidget& host) { host.Print(); }, canPrint);
    RegisterHostCommand(
        cmd::kPrintPreview, [](ViewHostWidget& host) { host.PrintPreview(); }, canPrint);
    RegisterHostCommand(
        cmd::kPrintDirect, [](ViewHostWidget& host) { host.PrintDirect(); }, canPrint);
    RegisterHostCommand(
        cmd::kExportCsv, [](ViewHostWidget& host) { host.Export(ExportKind::Csv); },
        [](const View& view) { return view.CanExport(ExportKind::Csv); });
    RegisterHostCommand(
        cmd::kExportText, [](ViewHostWidget& host) { host.Export(ExportKind::Text); },
        [](const View& view) { return view.CanExport(ExportKind::Text); });
    RegisterHostCommand(
        cmd::kExportPicture, [](ViewHostWidget& host) { host.ExportPicture(); },
        [](const View& view) { return view.PictureExport().has_value(); });
}

void CQeltApp::ConnectFromMenu() {
    if (m_session.IsConnected()) return;
    RunLogin();
    if (m_updating) {
        if (m_frame) m_frame->close();
        return;
    }
    // Offline browsing again after a connection was dropped from the dialog: the store
    // starts over from the local database.
    if (!m_session.IsOnline() && m_store.CategoryCodes().empty()) LoadStoreFromHistory(m_database, m_store);
    // A login starts the store over: its goods take their drawn lines again.
    m_context.Lines().ApplyTo(m_store);
    // The view on show is rebuilt on the store as it now is (new categories, new goods).
    m_context.SwitchView(m_context.ActiveKind());
}

void CQeltApp::Disconnect() {
    m_session.Disconnect();
    ShowStatus("已断开行情主站");
}

void CQeltApp::OpenWebSite() { QDesktopServices::openUrl(QUrl(QString::fromStdString(WebSite()))); }

void CQeltApp::OpenHelp() {
    QtHelpDesktop desktop(
        [this](const std::string& page) {
            m_context.SwitchView(kViewWeb);
            auto* view = qobject_cast<CQeltHtml*>(m_host);
            if (!view) return false;
            view->Pane().Load(QUrl::fromLocalFile(QString::fromStdString(page)));
            return true;
        },
        [this](const std::string& text) { DefaultMessageBoxes().Show(m_frame, text, "系统提示"); });
    ShowSystemHelp(desktop, m_cfg.ProgramDirectory(), ManualPages());
}

void CQeltApp::ChangePassword() {
    QPointer<CQeltPassWord> dialog = new CQeltPassWord(
        m_session.User(), [this](const std::string& request) { m_session.Send(request); },
        [](const std::string& text) {
            DefaultMessageBoxes().Show(QApplication::activeWindow(), text, "提示");
        },
        m_frame);
    const WindowId window = m_poster.Register(dialog);
    m_targets.passwordDialog = window;
    dialog->exec();
    // The pointer is cleared before the dialog goes away.
    m_targets.passwordDialog = kNoWindow;
    m_poster.Unregister(window);
    delete dialog;
}

}  // namespace qelt
