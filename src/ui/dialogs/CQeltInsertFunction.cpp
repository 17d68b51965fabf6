#include "ui/dialogs/CQeltInsertFunction.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/dialogs/DialogText.h"

namespace qelt {

CQeltInsertFunction::CQeltInsertFunction(QWidget* parent) : QDialog(parent) {
    setObjectName("insertFunctionDialog");
    setWindowTitle(QStringLiteral("插入函数"));

    m_filter = new QLineEdit(this);
    m_filter->setObjectName("filter");
    m_filter->setPlaceholderText(QStringLiteral("输入函数名或说明中的字"));
    m_filter->installEventFilter(this);
    auto* filterLabel = new QLabel(QStringLiteral("查找(&S):"), this);
    filterLabel->setBuddy(m_filter);

    m_list = new QTreeWidget(this);
    m_list->setObjectName("functions");
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setHeaderLabels({QStringLiteral("函数"), QStringLiteral("说明")});
    m_list->setColumnWidth(0, 200);
    // The filter keeps the keyboard; the list is reached with Up and Down from it.
    m_list->setFocusPolicy(Qt::NoFocus);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &CQeltInsertFunction::accept);
    connect(m_filter, &QLineEdit::textChanged, this, &CQeltInsertFunction::Refill);

    auto* insert = new QPushButton(QStringLiteral("插入"), this);
    insert->setObjectName("insert");
    insert->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName("cancel");
    connect(insert, &QPushButton::clicked, this, &CQeltInsertFunction::accept);
    connect(cancel, &QPushButton::clicked, this, &CQeltInsertFunction::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(filterLabel);
    top->addWidget(m_filter, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(insert);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    resize(560, 420);
    Refill();
    m_filter->setFocus();
}

void CQeltInsertFunction::Refill() {
    m_shown = formula::FilterFunctionEntries(m_filter->text().toStdString());
    m_list->clear();
    const auto entries = formula::FunctionEntries();
    for (std::size_t index : m_shown) {
        const formula::FunctionEntry& entry = entries[index];
        m_list->addTopLevelItem(
            new QTreeWidgetItem({Utf8(formula::CallForm(entry)), Utf8(entry.description)}));
    }
    if (m_list->topLevelItemCount() > 0) m_list->setCurrentItem(m_list->topLevelItem(0));
}

bool CQeltInsertFunction::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_filter && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_PageUp:
            case Qt::Key_PageDown: {
                QKeyEvent moved(QEvent::KeyPress, key->key(), key->modifiers());
                QCoreApplication::sendEvent(m_list, &moved);
                return true;
            }
            default:
                break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CQeltInsertFunction::accept() {
    const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
    if (row < 0 || static_cast<std::size_t>(row) >= m_shown.size()) return;
    m_chosen = &formula::FunctionEntries()[m_shown[static_cast<std::size_t>(row)]];
    QDialog::accept();
}

}  // namespace qelt
