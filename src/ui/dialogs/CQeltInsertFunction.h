#pragma once
/// 插入函数: the names of the language (formula::FunctionEntries) with their arguments and a line
/// each saying what they give, filtered as the user types. The filter field keeps the focus:
/// Up, Down, Page Up and Page Down move through the list, Enter (or a double click, or 插入)
/// takes the current row, Esc closes with nothing. The caller inserts what was chosen.
#include <QDialog>
#include <cstddef>
#include <vector>

#include "formula/FormulaFunctionList.h"

class QLineEdit;
class QTreeWidget;

namespace qelt {

class CQeltInsertFunction : public QDialog {
    Q_OBJECT
  public:
    explicit CQeltInsertFunction(QWidget* parent = nullptr);

    /// The entry taken; null until one is (and after Esc).
    const formula::FunctionEntry* Chosen() const { return m_chosen; }

    /// Takes the current row; with no row (nothing matches) the dialog stays open.
    void accept() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Refill();

    QLineEdit* m_filter = nullptr;
    QTreeWidget* m_list = nullptr;
    std::vector<std::size_t> m_shown;  ///< indexes into FunctionEntries(), by row
    const formula::FunctionEntry* m_chosen = nullptr;
};

}  // namespace qelt
