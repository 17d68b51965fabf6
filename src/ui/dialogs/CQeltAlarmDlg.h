#pragma once
/// Window 172 "预警系统": the fired alarms, the server's price alarms and the condition
/// alarms' hits in the order they came, newest first, in a list that fills the window (商品
/// with the whole delivery date, 价, 量, 仓, 时间, 类别 "服务器" or "条件：<formula name>");
/// 导出记录 (the list's popup menu, Ctrl+E) saves the alarm log elsewhere. Modeless and without owner; the
/// application creates it at start, shows it while the alarms are on and hides it while they are off. Closing
/// it turns the alarms off (the close hook), so the menu and the queries follow the window.
#include <QDialog>
#include <QPoint>
#include <QSize>
#include <functional>

#include "app/AlarmWindowModel.h"

class QTableWidget;

namespace qelt {

class AlarmSound;
class CQeltData;

/// The window's place and size at start (moved and cut to fit a smaller screen): wide enough
/// for its six columns at their starting widths.
inline constexpr QPoint kAlarmWindowPlace{800, 550};
inline constexpr QSize kAlarmWindowSize{370, 170};

class CQeltAlarmDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CQeltAlarmDlg(const CQeltData& store, QWidget* parent = nullptr);
    ~CQeltAlarmDlg() override;

    /// Rebuilds the list from the store's fired alarms; true when one arrived that the list
    /// did not show before.
    bool Refresh();
    /// Condition hits, shown beside the server's from now on.
    void AddConditionHits(const std::vector<ConditionAlarmRow>& rows);
    /// A new alarm the user asked to hear: the window comes to the front without taking the
    /// keyboard focus from the window the user works in, and the tone plays.
    void Alert();
    /// Runs instead of a plain hide when the user closes the window.
    void SetCloseHook(std::function<void()> hook) { m_closeHook = std::move(hook); }
    /// What 导出记录(&E) runs.
    void SetExportHook(std::function<void()> hook) { m_exportHook = std::move(hook); }

    AlarmSound& Sound() { return *m_sound; }
    const AlarmWindowModel& Model() const { return m_model; }

    void reject() override;

  private:
    void Fill();
    /// Widens the window (within its screen) when the columns have grown past it, so no
    /// column, 时间 the last, hides behind the list's edge. Growing columns only: a window
    /// the user made narrower stays narrower.
    void KeepColumnsInView();

    const CQeltData& m_store;
    AlarmWindowModel m_model;
    AlarmSound* m_sound = nullptr;
    std::function<void()> m_closeHook;
    std::function<void()> m_exportHook;
    QTableWidget* m_list = nullptr;  // 1013
    int m_columnsWidth = 0;          ///< what the columns needed at the last refresh
};

}  // namespace qelt
