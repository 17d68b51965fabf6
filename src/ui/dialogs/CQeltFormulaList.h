#pragma once
/// "公式管理": the user's formulas (名称, 说明) with 新建, 修改, 删除 (asks first), 导入, 导出
/// and 关闭. Enter or a double click on a formula is 修改, the Delete key is 删除. Every
/// change is saved by the library at once; what it could not do, and what an import or
/// export did, is told in a message box ("提示"). The rules are FormulaListModel's.
#include <QDialog>
#include <functional>

#include "app/FormulaListModel.h"

class QPushButton;
class QTreeWidget;

namespace qelt {

class MessageBoxes;
class OpenFileDialog;
class SaveFileDialog;

class CQeltFormulaList : public QDialog {
    Q_OBJECT
  public:
    /// Runs the edit dialog for formula `id` (0: a new one) and returns the id it saved, or 0
    /// when cancelled. The default opens CQeltFormulaEdit modally.
    using Editor = std::function<int(QWidget* owner, int id)>;

    CQeltFormulaList(FormulaLibrary& library, MessageBoxes& boxes, QWidget* parent = nullptr);

    void SetEditor(Editor editor) { m_edit = std::move(editor); }
    /// The file dialogs of 导出 and 导入 (tests put in their own); null: Qt's.
    void SetFileDialogs(SaveFileDialog* save, OpenFileDialog* open) {
        m_saveDialog = save;
        m_openDialog = open;
    }
    /// The selected row, or -1.
    int SelectedRow() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Refill(int select);
    void UpdateButtons();
    void Report(const FormulaListOutcome& outcome);
    void OnNew();
    void OnModify();
    void OnDelete();
    void OnImport();
    void OnExport();

    FormulaListModel m_model;
    MessageBoxes& m_boxes;
    Editor m_edit;
    SaveFileDialog* m_saveDialog = nullptr;
    OpenFileDialog* m_openDialog = nullptr;
    QTreeWidget* m_list = nullptr;
    QPushButton* m_modify = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_export = nullptr;
};

}  // namespace qelt
