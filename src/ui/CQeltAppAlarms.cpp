// The price alarms of the application: the 预警 commands, the alarm window's life and its
// refresh from the store.
#include <QApplication>

#include "CMainFrame.h"
#include "CQeltApp.h"
#include "ModalDialog.h"
#include "ScreenPlacement.h"
#include "common/Commands.h"
#include "dialogs/CQeltAlarm.h"
#include "dialogs/CQeltAlarmDlg.h"
#include "dialogs/CQeltAlarmList.h"
#include "dialogs/MessageBoxes.h"

namespace qelt {

CQeltAlarmDlg* CQeltApp::AlarmWindow() const { return m_alarmWindow.data(); }

void CQeltApp::RegisterAlarmCommands() {
    m_context.RegisterCommand(cmd::kAlarmList, {[this] {
                                                    ExecModal<CQeltAlarmList>(
                                                        m_cfg, [this] { return AlarmChoices(); },
                                                        [this](bool on) { SetAlarmWindow(on); },
                                                        DefaultMessageBoxes(), m_frame.data());
                                                },
                                                {}});
    m_context.RegisterCommand(
        cmd::kAlarmAdd,
        {[this] { ExecModal<CQeltAlarm>(AlarmChoices(), m_cfg, DefaultMessageBoxes(), m_frame.data()); },
         {}});
    m_context.RegisterCommand(cmd::kAlarmOn, {[this] { SetAlarmWindow(true); },
                                              [this] {
                                                  return CommandState{!m_cfg.m_alarmWindowOn.load(), false};
                                              }});
    m_context.RegisterCommand(cmd::kAlarmOff, {[this] { SetAlarmWindow(false); },
                                               [this] {
                                                   return CommandState{m_cfg.m_alarmWindowOn.load(), false};
                                               }});
    m_context.RegisterCommand(cmd::kAlarmSound, {[this] { m_cfg.SetAlarmSound(!m_cfg.AlarmSound()); },
                                                 [this] {
                                                     return CommandState{true, m_cfg.AlarmSound()};
                                                 }});
}

AlarmEntryChoices CQeltApp::AlarmChoices() const {
    AlarmEntryChoices choices;
    choices.records = m_store.MainListKeys();
    for (const GoodsKey& record : choices.records)
        if (!choices.names.count(record.goodsNo))
            choices.names[record.goodsNo] = m_store.CategoryName(record.goodsNo);
    choices.current = m_context.CurrentGoods().Key();
    return choices;
}

void CQeltApp::CreateAlarmWindow() {
    if (m_alarmWindow) return;
    auto* window = new CQeltAlarmDlg(m_store);
    window->SetCloseHook([this] { SetAlarmWindow(false); });
    window->SetExportHook([this] { ExportAlarmLog(); });
    PlaceOnScreen(*window, QRect(kAlarmWindowPlace, kAlarmWindowSize));
    m_alarmWindow = window;
    window->Refresh();
    window->setVisible(m_cfg.m_alarmWindowOn.load());
}

void CQeltApp::SetAlarmWindow(bool on) {
    m_cfg.SetAlarmWindowOn(on);
    if (m_alarmWindow) m_alarmWindow->setVisible(on);
}

void CQeltApp::RefreshAlarmWindow() {
    // Cleared before reading the store: hits folded from now on post a refresh of their own.
    m_alarmRefreshPending = false;
    if (!m_alarmWindow) return;
    const bool fresh = m_alarmWindow->Refresh();
    LogServerAlarms();
    if (fresh && m_cfg.AlarmSound() && m_cfg.m_alarmWindowOn.load()) m_alarmWindow->Alert();
}

}  // namespace qelt
