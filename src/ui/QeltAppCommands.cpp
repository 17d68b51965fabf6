// Menu commands, function keys and goods navigation of the application.
#include <QApplication>
#include <QDesktopServices>
#include <QUrl>

#include "MainFrame.h"
#include "ModalDialog.h"
#include "NoticeDialog.h"
#include "PasswordDialog.h"
#include "QeltApp.h"
#include "app/Commands.h"
#include "app/Navigation.h"
#include "app/ViewRules.h"
#include "common/Files.h"
#include "common/Messages.h"
#include "common/Numbers.h"
#include "common/ServerList.h"
#include "common/Text.h"
#include "dialogs/MessageBoxes.h"
#include "dialogs/QeltIndiDlg.h"
#include "views/CQeltListView.h"

namespace qelt {

bool CQeltApp::CommandEnabled(int command) const {
    switch (command) {
        case cmd::kConnect: return !m_socket.IsConnected();
        case cmd::kDisconnect: return m_socket.IsConnected();
        case cmd::kPassword: return m_cfg.m_online && m_socket.IsConnected();
        // Views still to come: their commands stay disabled until they exist.
        case cmd::kKLine:
        case cmd::kIntraday:
        case cmd::kTradeList:
        case cmd::kMultiGoods:
        case cmd::kAlarmList:
        case cmd::kAlarmAdd:
        case cmd::kAlarmOn:
        case cmd::kAlarmOff:
        case cmd::kDay:
        case cmd::kWeek:
        case cmd::kMonth:
        case cmd::kPrevGoods:
        case cmd::kNextGoods:
        case cmd::kZoomIn:
        case cmd::kZoomOut:
        case cmd::kCursorLeft:
        case cmd::kCursorRight:
        case cmd::kDetails:
        case cmd::kDrawSegment:
        case cmd::kDrawLine:
        case cmd::kDrawParallel:
        case cmd::kDrawRect:
        case cmd::kDrawWave:
        case cmd::kDrawPeriod:
        case cmd::kDrawGold:
        case cmd::kDrawDelete:
        case cmd::kDrawClear:
        case cmd::kDrawCancel: return false;
        case cmd::kExportCsv:
        case cmd::kExportText:
        case cmd::kPrint:
        case cmd::kPrintPreview:
        case cmd::kPrintDirect: return m_frame && qobject_cast<CQeltListView*>(m_frame->View()) != nullptr;
        default: return true;
    }
}

bool CQeltApp::CommandChecked(int command) const {
    return command == cmd::kAutoUpdate && m_cfg.m_autoUpdate;
}

void CQeltApp::OnCommand(int command) {
    switch (command) {
        case cmd::kConnect:
            if (m_socket.IsConnected()) return;
            RunLogin();
            if (m_frame) m_frame->SetOnline(m_cfg.m_online);
            SetStandingRequests(m_viewKind);
            return;
        case cmd::kDisconnect: m_socket.Close(); return;
        case cmd::kComSettings: {
            bool accepted = false;
            EditServers(m_frame, &accepted);
            return;
        }
        case cmd::kAutoUpdate: m_cfg.m_autoUpdate = !m_cfg.m_autoUpdate; return;
        case cmd::kWebSite: OpenWebSite(); return;
        case cmd::kPassword: ChangePassword(); return;
        case cmd::kNotice: ShowNotice(); return;
        case cmd::kQuoteList: SwitchView(kViewQuoteList); return;
        case cmd::kWeb: SwitchView(kViewWeb); return;
        case cmd::kIndicators: {
            ExecModal<CQeltIndiDlg>(m_cfg.m_indicators, m_cfg.ProgramDirectory(), DefaultMessageBoxes(), -1,
                                    m_frame.data());
            return;
        }
        case cmd::kHelp: OpenHelp(); return;
        case cmd::kAbout: {
            ExecModal<AboutDialog>(m_frame.data());
            return;
        }
        case cmd::kExit:
            if (m_frame) m_frame->close();
            return;
        case cmd::kToolBar:
            if (m_frame) m_frame->ToggleToolBar();
            return;
        case cmd::kStatusBar:
            if (m_frame) m_frame->ToggleStatusBar();
            return;
        case cmd::kDrawingBar:
            if (m_frame) m_frame->ToggleDrawingBar();
            return;
        case cmd::kPrevGoods: PrevGoods(); return;
        case cmd::kNextGoods: NextGoods(); return;
        default:
            // Export, print and the board's own commands go to the view on show.
            if (auto* board = m_frame ? qobject_cast<CQeltListView*>(m_frame->View()) : nullptr)
                board->OnCommand(command);
            return;
    }
}

void CQeltApp::OnFunctionKey(int key) {
    const KeyAction action = ActionForFunctionKey(key, m_frame && m_frame->View(), m_viewKind == kViewKLine);
    if (action.toggleSelfSelected) {
        ToggleSelfSelected();
        return;
    }
    if (action.setCurrentGoods >= 0) m_currentGoods = action.setCurrentGoods;
    if (action.resetSelfSelectedCategory) m_cfg.m_selfSelectedCategory = "0001";
    if (action.switchTo > 0) m_poster.PostThreadMessage(WM_SWITCH_VIEW, action.switchTo, 0);
}

void CQeltApp::ToggleSelfSelected() {
    const std::string code = m_store.CurrentCategoryCode(m_cfg.m_currentCategory);
    const SelfSelectedToggle toggle = SelfSelectedToggleFor(code, m_cfg.m_selfSelectedCategory);
    if (toggle.kind == SelfSelectedToggle::None) return;
    const CQeltGoods goods = m_store.CurrentGoods(m_cfg.m_currentCategory, m_currentGoods, m_cfg.m_selfSelectedCategory);
    if (toggle.kind == SelfSelectedToggle::Add)
        m_cfg.AddSelfSelected(goods.goods_no, goods.due_date, toggle.category);
    else
        m_cfg.RemoveSelfSelected(goods.goods_no, goods.due_date, toggle.category);
    if (m_viewWindow != kNoWindow) m_poster.PostWindowMessage(m_viewWindow, WM_NET_LIST, 0, 0);
}

void CQeltApp::StepGoods(bool forward) {
    NavigationLists lists{m_store.MainList(), m_store.SpotMonthList(), m_store.DeliveryMonthList(),
                          m_store.ThirdMonthList()};
    m_currentGoods = qelt::StepGoods(lists, m_store.CurrentCategoryCode(m_cfg.m_currentCategory), m_currentGoods, forward);
}

void CQeltApp::NextGoods() { StepGoods(true); }

void CQeltApp::PrevGoods() { StepGoods(false); }

QString CQeltApp::WebSite() const {
    // The operator's site: "site.ini" in the program directory when present, otherwise the
    // web service of the first quote server.
    if (auto site = ReadWholeFile(m_cfg.ProgramDirectory() + "site.ini", 4096)) {
        std::string text(Trim(*site));
        if (!text.empty()) return QString::fromStdString(text);
    }
    std::string address = m_cfg.m_serverAddress;
    int port = m_cfg.m_serverPort;
    if (address.empty()) {
        auto servers = ReadServerList(m_cfg.ProgramDirectory());
        if (!servers.empty()) {
            address = servers.front().address;
            port = LeadingInt(servers.front().port);
        }
    }
    if (address.empty()) address = "127.0.0.1";
    return QString("http://%1:%2").arg(QString::fromStdString(address)).arg(port > 0 ? port : 80);
}

void CQeltApp::OpenWebSite() { QDesktopServices::openUrl(QUrl(WebSite())); }

void CQeltApp::OpenHelp() {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(m_cfg.ProgramDirectory() + "qelt.chm")));
}

void CQeltApp::ChangePassword() {
    QPointer<PasswordDialog> dialog = new PasswordDialog(
        m_cfg.m_user, [this](const std::string& request) { m_socket.Send(request); },
        [](const std::string& text) { DefaultMessageBoxes().Show(QApplication::activeWindow(), text, "提示"); },
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
