#include "ui/dialogs/CComSet.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "data/settings/SettingsReports.h"
#include "ui/dialogs/CComServer.h"
#include "ui/dialogs/DialogButtons.h"
#include "ui/dialogs/MessageBoxes.h"

namespace qelt {
CComSet::CComSet(const std::string& programDirectory, MessageBoxes& boxes, QWidget* parent)
    : QDialog(parent), m_editor(programDirectory), m_boxes(boxes) {
    setWindowTitle(QStringLiteral("通信设置"));
    m_editEntry = [this](const ServerEntry& initial) -> std::optional<ServerEntry> {
        CComServer dialog(initial, m_boxes, this);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return dialog.Entry();
    };

    m_list = new QTreeWidget(this);
    m_list->setObjectName("list");
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setHeaderLabels(
        {QStringLiteral("服务器名称"), QStringLiteral("服务器地址"), QStringLiteral("服务器端口")});
    m_list->setColumnWidth(0, 150);
    m_list->setColumnWidth(1, 130);
    m_list->setColumnWidth(2, 60);

    auto* side = new QVBoxLayout;
    connect(AddButton(side, this, "添加", "add"), &QPushButton::clicked, this, &CComSet::OnAdd);
    connect(AddButton(side, this, "修改", "modify"), &QPushButton::clicked, this, &CComSet::OnModify);
    connect(AddButton(side, this, "删除", "delete"), &QPushButton::clicked, this, &CComSet::OnDelete);
    connect(AddButton(side, this, "上移", "moveUp"), &QPushButton::clicked, this, &CComSet::OnMoveUp);
    connect(AddButton(side, this, "下移", "moveDown"), &QPushButton::clicked, this, &CComSet::OnMoveDown);
    side->addStretch();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("ok");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &CComSet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CComSet::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(m_list, 1);
    top->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    resize(480, 260);
    Refill({});
    // Said over the dialog once it is on screen: the empty list is not the user's.
    if (m_editor.Unreadable()) {
        QTimer::singleShot(0, this, [this] {
            m_boxes.Show(this, SettingsReports::ReadFailedText(kServerListFileName), kSaveFailedCaption);
        });
    }
}

std::set<size_t> CComSet::SelectedRows() const {
    std::set<size_t> rows;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        if (m_list->topLevelItem(i)->isSelected()) rows.insert(static_cast<size_t>(i));
    return rows;
}

void CComSet::Refill(const std::set<size_t>& select) {
    m_list->clear();
    for (size_t i = 0; i < m_editor.Count(); ++i) {
        ServerEntry e = m_editor.Entry(i);
        auto* item =
            new QTreeWidgetItem(m_list, {QString::fromStdString(e.name), QString::fromStdString(e.address),
                                         QString::fromStdString(e.port)});
        item->setSelected(select.count(i) > 0);
    }
}

void CComSet::OnAdd() {
    std::optional<ServerEntry> entry = m_editEntry({"", "", std::string(ServerListModel::kDefaultPort)});
    if (!entry) return;
    size_t row = m_editor.Add(*entry);
    Refill({row});
}

void CComSet::OnModify() {
    std::set<size_t> selected = SelectedRows();
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        std::optional<ServerEntry> entry = m_editEntry(m_editor.Entry(*it));
        if (!entry) continue;
        m_editor.Modify(*it, *entry);
        Refill({*it});
    }
}

void CComSet::OnDelete() {
    m_editor.Delete(SelectedRows());
    Refill({});
}

void CComSet::OnMoveUp() { Refill(m_editor.MoveUp(SelectedRows())); }

void CComSet::OnMoveDown() { Refill(m_editor.MoveDown(SelectedRows())); }

void CComSet::accept() {
    // A failed rewrite leaves the old file whole; say so and keep the edits on screen
    // rather than closing as if they were saved.
    if (!m_editor.Save()) {
        const std::string text = m_editor.Unreadable()
                                     ? SettingsReports::ReadFailedText(kServerListFileName)
                                     : SettingsReports::WriteFailedText(kServerListFileName);
        m_boxes.Show(this, text, kSaveFailedCaption);
        return;
    }
    QDialog::accept();
}

}  // namespace qelt
