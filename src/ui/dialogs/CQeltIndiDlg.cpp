#include "ui/dialogs/CQeltIndiDlg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <climits>

namespace qelt {

CQeltIndiDlg::CQeltIndiDlg(IndicatorParameters& table, std::function<bool()> save, int indicatorCode,
                           QWidget* parent)
    : QDialog(parent), m_model(table, indicatorCode), m_save(std::move(save)) {
    setWindowTitle(QString::fromUtf8(IndiDialogModel::kCaption.data(), IndiDialogModel::kCaption.size()));
    setFont(QFont(QStringLiteral("宋体"), 9));

    m_tree = new QTreeWidget(this);
    m_tree->setObjectName("tree");
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(true);
    std::vector<IndiTreeGroup> groups = IndiDialogModel::Tree();
    for (const IndiTreeGroup& group : groups) {
        auto* root = new QTreeWidgetItem(m_tree, {QString::fromStdString(group.text)});
        for (const std::string& leaf : group.leaves)
            new QTreeWidgetItem(root, {QString::fromStdString(leaf)});
    }

    auto* frame = new QGroupBox(QStringLiteral("参数设置"), this);
    auto* grid = new QGridLayout(frame);
    for (int i = 0; i < kIndiDialogRows; ++i) {
        m_labels[i] = new QLabel(frame);
        m_labels[i]->setObjectName(QStringLiteral("label%1").arg(i));
        // Any integer is accepted, as the plain integer edit fields did.
        m_values[i] = new QSpinBox(frame);
        m_values[i]->setObjectName(QStringLiteral("value%1").arg(i));
        m_values[i]->setRange(INT_MIN, INT_MAX);
        grid->addWidget(m_values[i], i, 0);
        grid->addWidget(m_labels[i], i, 1);
    }
    m_noParameters = new QLabel(
        QString::fromUtf8(IndiDialogModel::kNoParameters.data(), IndiDialogModel::kNoParameters.size()),
        frame);
    m_noParameters->setObjectName("noParameters");
    grid->addWidget(m_noParameters, kIndiDialogRows, 0, 1, 2);

    auto* ok = new QPushButton(QStringLiteral("确  定"), this);
    ok->setObjectName("ok");
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取  消"), this);
    cancel->setObjectName("cancel");
    auto* defaults = new QPushButton(QStringLiteral("恢复默认"), this);
    defaults->setObjectName("restoreDefaults");
    connect(ok, &QPushButton::clicked, this, &CQeltIndiDlg::OnOk);
    connect(cancel, &QPushButton::clicked, this, &CQeltIndiDlg::OnCancel);
    connect(defaults, &QPushButton::clicked, this, &CQeltIndiDlg::OnRestoreDefaults);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(defaults);
    auto* right = new QVBoxLayout;
    right->addWidget(frame);
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_tree, 1);
    layout->addLayout(right, 1);
    resize(440, 320);

    ShowRows({});
    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) { OnCurrentItemChanged(current); });
    if (auto pre = m_model.Preselection()) {
        QTreeWidgetItem* root = m_tree->topLevelItem(pre->first);
        root->setExpanded(true);
        m_tree->setCurrentItem(root->child(pre->second));
    }
}

std::array<int, kIndiDialogRows> CQeltIndiDlg::Fields() const {
    std::array<int, kIndiDialogRows> fields{};
    for (int i = 0; i < kIndiDialogRows; ++i) {
        m_values[i]->interpretText();  // a value typed but not yet confirmed counts
        fields[i] = m_values[i]->value();
    }
    return fields;
}

void CQeltIndiDlg::ShowRows(const IndiRowsView& view) {
    m_noParameters->setVisible(view.showNoParameters);
    for (size_t i = 0; i < kIndiDialogRows; ++i) {
        bool shown = i < view.rows.size();
        m_labels[i]->setVisible(shown);
        m_values[i]->setVisible(shown);
        if (!shown) continue;
        m_labels[i]->setText(QString::fromStdString(view.rows[i].label));
        m_values[i]->setValue(view.rows[i].value);
    }
}

void CQeltIndiDlg::OnCurrentItemChanged(QTreeWidgetItem* current) {
    bool leaf = current && current->parent();
    std::string text = leaf ? current->text(0).toStdString() : std::string();
    ShowRows(m_model.SelectionChanged(text, Fields()));
}

void CQeltIndiDlg::OnRestoreDefaults() { ShowRows(m_model.RestoreDefaults()); }

void CQeltIndiDlg::OnCancel() {
    m_model.Cancel();
    reject();
}

void CQeltIndiDlg::OnOk() {
    m_model.Accept(Fields(), m_save);
    accept();
}

}  // namespace qelt
