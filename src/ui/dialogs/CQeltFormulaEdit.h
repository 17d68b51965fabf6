#pragma once
/// The formula edit dialog ("新建公式" / "修改公式"): name, description, six parameter rows
/// (name, default, minimum, maximum), 画在 (副图 or 主图), the text with its colours, 插入函数
/// (a call put in at the cursor, its arguments selected to be typed over), 测试公式 (the
/// verdict below the text, the cursor put at the fault), 确定 (refuses what cannot be saved,
/// with the message and the focus on the field at fault) and 取消. From the keyboard: Tab runs
/// through every field and button in that order, Enter in a line edit (or Ctrl+Enter
/// anywhere) is 确定, F2 is 插入函数, Esc is 取消. The rules are FormulaEditModel's.
#include <QDialog>
#include <array>

#include "app/FormulaEditModel.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace qelt {

class FormulaHighlighter;
class MessageBoxes;

class CQeltFormulaEdit : public QDialog {
    Q_OBJECT
  public:
    static constexpr const char* kMessageCaption = "提示";

    /// `id`: the formula to edit, 0 for a new one.
    CQeltFormulaEdit(FormulaLibrary& library, MessageBoxes& boxes, int id = 0, QWidget* parent = nullptr);

    /// The formula 确定 saved (a new one's new id); 0 before.
    int SavedId() const { return m_savedId; }
    FormulaEditFields Fields() const;

    void accept() override;

  private:
    void BuildFields();
    void BuildButtons();
    void ChainFocus();
    void ShowFields(const FormulaEditFields& fields);
    void OnTest();
    void OnInsertFunction();
    /// Shows `problem`'s message below the text and puts the focus (and in the text the
    /// cursor) where it is.
    void Place(const FormulaFieldProblem& problem);
    QWidget* FieldWidget(FormulaField field, int row) const;

    FormulaEditModel m_model;
    MessageBoxes& m_boxes;
    int m_savedId = 0;
    QLineEdit* m_name = nullptr;
    QPlainTextEdit* m_description = nullptr;
    /// Per row: name, default, minimum, maximum.
    std::array<std::array<QLineEdit*, 4>, kMaxFormulaParameters> m_parameters{};
    QComboBox* m_place = nullptr;  ///< 副图 (0) or 主图 (1)
    QPlainTextEdit* m_text = nullptr;
    FormulaHighlighter* m_highlighter = nullptr;
    QLabel* m_verdict = nullptr;
    QPushButton* m_insertFunction = nullptr;
    QPushButton* m_test = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

}  // namespace qelt
