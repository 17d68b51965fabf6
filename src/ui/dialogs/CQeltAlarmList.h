#pragma once
/// Dialog 168 "预警设置": the price alarm entries in a report list (编  号, 品  种, 交货月,
/// 价  格, 成交量, 净持仓量) with 添  加 (the new entry dialog; the list is refilled however
/// it ended), 删  除 (every selected row), the on/off button ("关  闭" while the alarms are
/// on, "开  启" while they are off) and 确  定. Every change takes effect at once.
#include <QDialog>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/AlarmEntryModel.h"
#include "app/AlarmListModel.h"

class QPushButton;
class QTableWidget;

namespace qelt {

class CQeltCFG;
class MessageBoxes;

class CQeltAlarmList : public QDialog {
    Q_OBJECT
  public:
    /// Runs the new entry dialog (modal); the default opens CQeltAlarm over `records()`.
    using EntryDialog = std::function<void(QWidget* owner)>;
    /// Turns the alarms on or off: sets the flag and shows or hides the alarm window.
    using SwitchAlarms = std::function<void(bool on)>;
    /// What the new entry dialog offers, taken when it opens.
    using Records = std::function<AlarmEntryChoices()>;

    CQeltAlarmList(CQeltCFG& settings, Records records, SwitchAlarms switchAlarms, MessageBoxes& boxes,
                   QWidget* parent = nullptr);

    void SetEntryDialog(EntryDialog dialog) { m_entryDialog = std::move(dialog); }
    /// Rows selected in the list.
    std::set<size_t> SelectedRows() const;

  private:
    void Refill();
    void OnAdd();
    void OnDelete();
    void OnSwitch();

    CQeltCFG& m_settings;
    AlarmListModel m_model;
    SwitchAlarms m_switch;
    MessageBoxes& m_boxes;
    EntryDialog m_entryDialog;
    QTableWidget* m_list = nullptr;  // 1013
    QPushButton* m_onOff = nullptr;  // 1024
};

}  // namespace qelt
