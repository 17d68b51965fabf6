#include "ui/widgets/CHotKey.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace qelt {
namespace {

/// The wizard's edit keeps what was typed when it takes the focus: the key that opened the
/// wizard is already in it, and the next keys go on after it ("0", "1", "1", "2" looks for
/// 0112) instead of replacing it, as a line edit does with its text when focused by the window.
class TypedEdit : public QLineEdit {
  public:
    using QLineEdit::QLineEdit;

  protected:
    void focusInEvent(QFocusEvent* event) override {
        QLineEdit::focusInEvent(event);
        deselect();
        end(false);
    }
};

}  // namespace

CHotKey::CHotKey(std::vector<GoodsSummary> mainList, const QString& typed, const QPoint& anchor,
                 QWidget* parent)
    : QDialog(parent), m_main(std::move(mainList)) {
    setWindowTitle(QStringLiteral("键盘精灵"));
    setObjectName(QStringLiteral("hotKey138"));
    m_edit = new TypedEdit(this);
    m_edit->setObjectName(QStringLiteral("edit1004"));
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("list1011"));
    m_list->setRootIsDecorated(false);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setHeaderLabels({QStringLiteral("分类"), QStringLiteral("名称")});
    m_list->setColumnWidth(0, 44);
    m_list->setColumnWidth(1, 74);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(m_edit);
    layout->addWidget(m_list);

    const Rect place = HotKeyPlacement({anchor.x(), anchor.y()});
    setGeometry(place.left, place.top, place.Width(), place.Height());

    m_edit->setText(typed);
    m_edit->setCursorPosition(static_cast<int>(typed.size()));
    m_edit->setFocus();
    m_edit->installEventFilter(this);
    connect(m_edit, &QLineEdit::textChanged, this, [this] { Refill(); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { accept(); });
    Refill();
}

void CHotKey::Refill() {
    m_rows = FilterHotKeyRows(m_main, m_edit->text().toStdString());
    m_list->clear();
    for (const HotKeyRow& row : m_rows)
        m_list->addTopLevelItem(
            new QTreeWidgetItem({QString::fromStdString(row.goodsNo), QString::fromStdString(row.name)}));
    if (m_list->topLevelItemCount() > 0) m_list->setCurrentItem(m_list->topLevelItem(0));
}

void CHotKey::accept() {
    const int row = m_list->currentItem() ? m_list->indexOfTopLevelItem(m_list->currentItem()) : -1;
    m_result = row >= 0 && static_cast<size_t>(row) < m_rows.size()
                   ? m_rows[static_cast<size_t>(row)].goodsIndex
                   : -1;
    QDialog::accept();
}

void CHotKey::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool CHotKey::eventFilter(QObject* watched, QEvent* event) {
    // Up and down in the edit move the list's selection, so typing and choosing need no
    // change of focus.
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
            const int count = m_list->topLevelItemCount();
            if (count == 0) return true;
            int row = m_list->currentItem() ? m_list->indexOfTopLevelItem(m_list->currentItem()) : 0;
            row = std::clamp(row + (key->key() == Qt::Key_Down ? 1 : -1), 0, count - 1);
            m_list->setCurrentItem(m_list->topLevelItem(row));
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace qelt
