#include "ui/dialogs/CQeltFormulaList.h"

#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/QtOpenFileDialog.h"
#include "ui/QtSaveFileDialog.h"
#include "ui/dialogs/CQeltFormulaEdit.h"
#include "ui/dialogs/DialogButtons.h"
#include "ui/dialogs/DialogText.h"
#include "ui/dialogs/ListKeys.h"
#include "ui/dialogs/MessageBoxes.h"

namespace qelt {
CQeltFormulaList::CQeltFormulaList(FormulaLibrary& library, MessageBoxes& boxes, QWidget* parent)
    : QDialog(parent), m_model(library), m_boxes(boxes) {
    setObjectName("formulaListDialog");
    setWindowTitle(Utf8(FormulaListModel::kCaption));
    m_edit = [this, library = &library](QWidget* owner, int id) {
        QPointer<CQeltFormulaEdit> dialog = new CQeltFormulaEdit(*library, m_boxes, id, owner);
        const bool accepted = dialog->exec() == QDialog::Accepted;
        const int saved = accepted && dialog ? dialog->SavedId() : 0;
        delete dialog.data();
        return saved;
    };

    m_list = new QTreeWidget(this);
    m_list->setObjectName("list");
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setHeaderLabels({QStringLiteral("名称"), QStringLiteral("说明")});
    m_list->setColumnWidth(0, 140);
    m_list->installEventFilter(this);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &CQeltFormulaList::UpdateButtons);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &CQeltFormulaList::OnModify);

    auto* side = new QVBoxLayout;
    connect(AddButton(side, this, "新建(&N)", "new"), &QPushButton::clicked, this, &CQeltFormulaList::OnNew);
    m_modify = AddButton(side, this, "修改(&M)", "modify");
    connect(m_modify, &QPushButton::clicked, this, &CQeltFormulaList::OnModify);
    m_delete = AddButton(side, this, "删除(&D)", "delete");
    connect(m_delete, &QPushButton::clicked, this, &CQeltFormulaList::OnDelete);
    connect(AddButton(side, this, "导入(&I)", "import"), &QPushButton::clicked, this,
            &CQeltFormulaList::OnImport);
    m_export = AddButton(side, this, "导出(&E)", "export");
    connect(m_export, &QPushButton::clicked, this, &CQeltFormulaList::OnExport);
    side->addStretch();
    connect(AddButton(side, this, "关闭", "close"), &QPushButton::clicked, this, &CQeltFormulaList::reject);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(side);
    resize(520, 320);
    Refill(m_model.InitialRow());
    m_list->setFocus();
}

int CQeltFormulaList::SelectedRow() const {
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    return selected.isEmpty() ? -1 : m_list->indexOfTopLevelItem(selected.front());
}

bool CQeltFormulaList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && HandleListKey(
                                 event, [this] { OnModify(); }, [this] { OnDelete(); }))
        return true;
    return QDialog::eventFilter(watched, event);
}

void CQeltFormulaList::Refill(int select) {
    m_list->clear();
    for (const FormulaListRow& row : m_model.Rows())
        new QTreeWidgetItem(m_list,
                            {QString::fromStdString(row.name), QString::fromStdString(row.description)});
    if (QTreeWidgetItem* item = m_list->topLevelItem(select)) {
        m_list->setCurrentItem(item);
        item->setSelected(true);
    }
    UpdateButtons();
}

void CQeltFormulaList::UpdateButtons() {
    const FormulaListButtons buttons = m_model.ButtonsFor(SelectedRow());
    m_modify->setEnabled(buttons.modify);
    m_delete->setEnabled(buttons.remove);
    m_export->setEnabled(buttons.exportOne);
}

void CQeltFormulaList::Report(const FormulaListOutcome& outcome) {
    Refill(outcome.select);
    if (!outcome.message.empty())
        m_boxes.Show(this, outcome.message, std::string(FormulaListModel::kMessageCaption));
    m_list->setFocus();
}

void CQeltFormulaList::OnNew() {
    const int saved = m_edit(this, 0);
    Report({saved ? m_model.RowOf(saved) : SelectedRow(), {}});
}

void CQeltFormulaList::OnModify() {
    const int row = SelectedRow();
    const int id = m_model.IdAt(row);
    if (id == 0) return;
    const int saved = m_edit(this, id);
    Report({saved ? m_model.RowOf(saved) : row, {}});
}

void CQeltFormulaList::OnDelete() {
    const int row = SelectedRow();
    const std::string question = m_model.DeleteQuestion(row);
    if (question.empty()) return;
    if (!m_boxes.Ask(this, question, std::string(FormulaListModel::kMessageCaption))) return;
    Report(m_model.Delete(row));
}

void CQeltFormulaList::OnImport() {
    QtOpenFileDialog qtDialog(this);
    OpenFileDialog& dialog = m_openDialog ? *m_openDialog : static_cast<OpenFileDialog&>(qtDialog);
    const std::optional<std::string> path = dialog.AskOpenPath(std::string(FormulaListModel::kFileFilter));
    if (!path || path->empty()) return;
    FormulaListOutcome outcome = m_model.Import(*path);
    if (outcome.select < 0) outcome.select = SelectedRow();
    Report(outcome);
}

void CQeltFormulaList::OnExport() {
    const int row = SelectedRow();
    if (m_model.IdAt(row) == 0) return;
    QtSaveFileDialog qtDialog(this);
    SaveFileDialog& dialog = m_saveDialog ? *m_saveDialog : static_cast<SaveFileDialog&>(qtDialog);
    const std::optional<std::string> path = dialog.AskSavePath(m_model.ExportRequest(row));
    if (!path || path->empty()) return;
    Report(m_model.Export(row, *path));
}

}  // namespace qelt
