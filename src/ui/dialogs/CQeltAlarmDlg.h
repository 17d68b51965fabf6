#pragma once
/// Window 172 "预警系统": the fired price alarms, newest first, in a list that fills the
/// window (商品 with the whole delivery date, 价, 量, 仓, 时间). Modeless and without owner; the application
/// creates it at start, shows it while the alarms are on and hides it while they are off. Closing it turns
/// the alarms off (the close hook), so the menu and the queries follow the window.
#include <QDialog>
#include <QSize>
#include <functional>

#include "app/AlarmWindowModel.h"

class QTableWidget;

namespace qelt {

class AlarmSound;
class CQeltData;

/// The window's size at start: wide enough for its five columns.
inline constexpr QSize kAlarmWindowSize{290, 170};

class CQeltAlarmDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CQeltAlarmDlg(const CQeltData& store, QWidget* parent = nullptr);
    ~CQeltAlarmDlg() override;

    /// Rebuilds the list from the store's fired alarms; true when one arrived that the list
    /// did not show before.
    bool Refresh();
    /// A new alarm the user asked to hear: the window comes to the front without taking the
    /// keyboard focus from the window the user works in, and the tone plays.
    void Alert();
    /// Runs instead of a plain hide when the user closes the window.
    void SetCloseHook(std::function<void()> hook) { m_closeHook = std::move(hook); }

    AlarmSound& Sound() { return *m_sound; }
    const AlarmWindowModel& Model() const { return m_model; }

    void reject() override;

  private:
    const CQeltData& m_store;
    AlarmWindowModel m_model;
    AlarmSound* m_sound = nullptr;
    std::function<void()> m_closeHook;
    QTableWidget* m_list = nullptr;  // 1013
};

}  // namespace qelt
