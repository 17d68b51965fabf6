#pragma once
/// "技术指标参数设置": the indicator tree on the left, five label/value rows on the right,
/// "确  定" (commit and save indi.ini) and "恢复默认". There is no Cancel button: the close
/// box closes without saving, but values committed by changing the selection stay in the
/// in-memory table for the rest of the run.
#include <QDialog>
#include <array>
#include <string>

#include "indicators/IndiDialogModel.h"

class QLabel;
class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;

namespace qelt {

class MessageBoxes;

class CQeltIndiDlg : public QDialog {
    Q_OBJECT
  public:
    /// Shown when indi.ini cannot be written; the values stay in memory.
    static constexpr const char* kSaveFailed = "无法保存指标参数！";
    static constexpr const char* kSaveFailedCaption = "提示";

    /// `indicatorCode` preselects a pane's indicator (-1: none, as from the menu).
    CQeltIndiDlg(IndicatorParameters& table, std::string programDirectory, MessageBoxes& boxes,
                 int indicatorCode = -1, QWidget* parent = nullptr);

  private:
    void OnCurrentItemChanged(QTreeWidgetItem* current);
    void OnOk();
    void OnRestoreDefaults();
    void ShowRows(const IndiRowsView& view);
    std::array<int, kIndiDialogRows> Fields() const;

    IndiDialogModel m_model;
    std::string m_directory;
    MessageBoxes& m_boxes;
    QTreeWidget* m_tree = nullptr;
    QLabel* m_noParameters = nullptr;
    std::array<QLabel*, kIndiDialogRows> m_labels{};
    std::array<QSpinBox*, kIndiDialogRows> m_values{};
};

}  // namespace qelt
