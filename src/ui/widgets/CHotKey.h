#pragma once
/// `CHotKey`: the keyboard wizard (dialog 138 "键盘精灵"). Opened with the first typed
/// character and an anchor point (screen); lists the contracts matching the typed text
/// (HotKeyFilter) and ends with OK and the chosen goods index (Result), or Cancel.
#include <QDialog>
#include <vector>

#include "data/GoodsSummary.h"
#include "views/controls/HotKeyModel.h"

class QLineEdit;
class QTreeWidget;

namespace qelt {

class CHotKey : public QDialog {
    Q_OBJECT
  public:
    CHotKey(std::vector<GoodsSummary> mainList, const QString& typed, const QPoint& anchor,
            QWidget* parent = nullptr);
    /// Goods index of the chosen row; -1 when none was chosen.
    int Result() const { return m_result; }
    QLineEdit* Edit() const { return m_edit; }
    QTreeWidget* List() const { return m_list; }

    void accept() override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Refill();
    std::vector<GoodsSummary> m_main;
    std::vector<HotKeyRow> m_rows;
    QLineEdit* m_edit = nullptr;
    QTreeWidget* m_list = nullptr;
    int m_result = -1;
};

}  // namespace qelt
