#pragma once
/// "技术指标参数设置": the indicator tree on the left, five label/value rows on the right,
/// "确  定" (commit and save indi.ini), "取  消" and "恢复默认". 取消 leaves the table as it
/// was when the dialog opened, whatever was edited meanwhile. The close box (and Esc) closes
/// without saving, but values committed by changing the selection stay in the in-memory table
/// for the rest of the run.
/// A save that fails is told by the settings (once a run); the dialog closes either way, the
/// values in effect.
#include <QDialog>
#include <array>
#include <functional>

#include "indicators/IndiDialogModel.h"

class QLabel;
class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;

namespace qelt {

class CQeltIndiDlg : public QDialog {
    Q_OBJECT
  public:
    /// `save` writes the table to indi.ini (CQeltCFG::SaveIndicators); `indicatorCode`
    /// preselects a pane's indicator (-1: none, as from the menu).
    CQeltIndiDlg(IndicatorParameters& table, std::function<bool()> save, int indicatorCode = -1,
                 QWidget* parent = nullptr);

  private:
    void OnCurrentItemChanged(QTreeWidgetItem* current);
    void OnOk();
    void OnCancel();
    void OnRestoreDefaults();
    void ShowRows(const IndiRowsView& view);
    std::array<int, kIndiDialogRows> Fields() const;

    IndiDialogModel m_model;
    std::function<bool()> m_save;
    QTreeWidget* m_tree = nullptr;
    QLabel* m_noParameters = nullptr;
    std::array<QLabel*, kIndiDialogRows> m_labels{};
    std::array<QSpinBox*, kIndiDialogRows> m_values{};
};

}  // namespace qelt
