// Condition alarms (条件预警) in the application: the 预警 → 条件预警 dialog, a pass after
// every board update (online, while the alarms are on, whatever view is on show), its hits in
// the alarm window beside the server's with the same sound, and the alarm log of every hit.
#include "CMainFrame.h"
#include "CQeltApp.h"
#include "ModalDialog.h"
#include "QtSaveFileDialog.h"
#include "app/AlarmRules.h"
#include "common/ChinaClock.h"
#include "common/Commands.h"
#include "common/DiagnosticLog.h"
#include "common/Files.h"
#include "common/Numbers.h"
#include "dialogs/CQeltAlarmDlg.h"
#include "dialogs/CQeltConditionAlarms.h"
#include "dialogs/MessageBoxes.h"
#include "views/ExportFile.h"

namespace qelt {

void CQeltApp::RegisterConditionAlarmCommands() {
    m_context.RegisterCommand(cmd::kCondAlarms, {[this] { OpenConditionAlarms(); }, {}});
    // On the receive thread: only a post toward the interface, once per burst of updates.
    m_storePoster.SetBoardHook([this] {
        if (!m_boardPassPending.exchange(true)) Post([this] { RunConditionAlarms(); });
    });
}

void CQeltApp::OpenConditionAlarms() {
    // The list shows the entries as they stand against the formulas of now.
    ReconfigureConditionAlarms(false);
    auto choices = [this] {
        ConditionGoodsChoices out;
        for (const GoodsKey& key : m_store.MainListKeys())
            out.contracts.emplace_back(key,
                                       AlarmContractText(m_store.CategoryName(key.goodsNo), key.dueDate));
        const GoodsKey current = m_context.CurrentGoods().Key();
        if (!current.goodsNo.empty())
            out.current.emplace(current,
                                AlarmContractText(m_store.CategoryName(current.goodsNo), current.dueDate));
        return out;
    };
    ExecModal<CQeltConditionAlarms>(
        m_conditionAlarms, Formulas(), choices,
        [this](std::string_view goodsNo) { return m_store.CategoryName(goodsNo); },
        [this] { ReconfigureConditionAlarms(true); }, DefaultMessageBoxes(), m_frame.data());
}

void CQeltApp::ReconfigureConditionAlarms(bool force) {
    const FormulaLibrary& library = Formulas();
    if (!force && m_conditionConfigured && m_conditionRevision == library.Revision()) return;
    m_conditionConfigured = true;
    m_conditionRevision = library.Revision();
    for (const ConditionTurnOff& off : m_conditionPass.Configure(m_conditionAlarms.Entries(), library)) {
        // The entry stays off until the user mends it: the list says why.
        m_conditionAlarms.SetOn(off.id, false);
        Log("condition alarm " + FormatInt(off.id) + " turned off: " + ConditionStateText(off.why));
    }
}

void CQeltApp::RunConditionAlarms() {
    m_boardPassPending = false;
    if (!m_session.IsOnline() || !m_cfg.m_alarmWindowOn.load()) return;
    // The board updates start during the login's synchronisation, before formula.txt is read:
    // checked against a library not yet loaded, every entry would look deleted and be turned off.
    if (Formulas().Revision() == 0) return;
    ReconfigureConditionAlarms(false);
    if (!m_conditionPass.Active()) return;
    std::vector<GoodsKey> selfSelected;
    for (const SelfSelectedEntry& entry : m_cfg.ReadSelfSelected()) selfSelected.push_back(entry.goods);
    const std::vector<ConditionHit> hits =
        m_conditionPass.Run(m_store, selfSelected, m_conditionAlarms.HitsForPass());
    if (hits.empty()) return;
    m_conditionAlarms.HitsRecorded();  // so a restart does not hit again today
    ShowConditionHits(hits);
}

void CQeltApp::ShowConditionHits(const std::vector<ConditionHit>& hits) {
    const std::string date = FormatInt(SystemChinaTime().date);
    const std::string time = ClockText(SystemChinaSecondOfDay());
    std::vector<ConditionAlarmRow> rows;
    std::vector<AlarmLogRecord> records;
    for (const ConditionHit& hit : hits) {
        const std::string name = m_store.CategoryName(hit.goods.goodsNo);
        const std::string kind = ConditionKindText(m_conditionPass.FormulaName(hit.entry));
        const std::string price = FormatFixed2(hit.price);
        rows.push_back({kind, AlarmContractText(name, hit.goods.dueDate), price, time});
        records.push_back({date, time, kind, name, hit.goods.goodsNo, hit.goods.dueDate, price});
    }
    m_alarmLog.Append(records);
    if (!m_alarmWindow) return;
    m_alarmWindow->AddConditionHits(rows);
    if (m_cfg.AlarmSound() && m_cfg.m_alarmWindowOn.load()) m_alarmWindow->Alert();
}

void CQeltApp::LogServerAlarms() {
    if (!m_alarmWindow) return;
    const std::string date = FormatInt(SystemChinaTime().date);
    std::vector<AlarmLogRecord> records;
    for (const auto& [hit, time] : m_alarmWindow->Model().Arrived()) {
        auto field = [&hit](size_t i) { return i < hit.size() ? hit[i] : std::string(); };
        records.push_back(
            {date, time, kServerAlarmKind, m_store.CategoryName(field(1)), field(1), field(2), field(3)});
    }
    if (!records.empty()) m_alarmLog.Append(records);
}

void CQeltApp::ExportAlarmLog() {
    QWidget* owner = m_alarmWindow ? static_cast<QWidget*>(m_alarmWindow.data()) : m_frame.data();
    QtSaveFileDialog files(owner);
    RememberingSaveDialog dialog(files);
    const std::optional<std::string> path =
        dialog.AskSavePath({"csv", "预警记录.csv", "CSV文件(*.csv)|*.csv"});
    if (!path) return;
    if (!WriteFileAtomic(*path, m_alarmLog.ExportText()))
        DefaultMessageBoxes().Show(owner, "无法保存" + *path + "！", "预警系统");
}

}  // namespace qelt
