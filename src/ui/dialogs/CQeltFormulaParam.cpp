#include "ui/dialogs/CQeltFormulaParam.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/dialogs/DialogText.h"
#include "ui/dialogs/MessageBoxes.h"

namespace qelt {
namespace {

constexpr int kValueFieldLength = 64;

}  // namespace

CQeltFormulaParam::CQeltFormulaParam(FormulaParamModel model, MessageBoxes& boxes, QWidget* parent)
    : QDialog(parent), m_model(std::move(model)), m_boxes(boxes) {
    setObjectName("formulaParamDialog");
    setWindowTitle(Utf8(FormulaParamModel::kCaption));
    auto* name = new QLabel(Utf8(m_model.Name()), this);
    name->setObjectName("formulaName");
    name->setTextFormat(Qt::PlainText);

    auto* frame = new QGroupBox(QStringLiteral("参数设置"), this);
    auto* grid = new QGridLayout(frame);
    const std::vector<FormulaParamRow> rows = m_model.Rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int row = static_cast<int>(i);
        auto* label = new QLabel(Utf8(rows[i].name), frame);
        label->setTextFormat(Qt::PlainText);
        auto* field = new QLineEdit(Utf8(rows[i].value), frame);
        field->setObjectName(QStringLiteral("value%1").arg(row));
        field->setMaxLength(kValueFieldLength);
        label->setBuddy(field);
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
        grid->addWidget(new QLabel(Utf8(rows[i].range), frame), row, 2);
        m_fields.push_back(field);
    }
    if (!m_model.HasParameters()) {
        auto* none = new QLabel(Utf8(FormulaParamModel::kNoParameters), frame);
        none->setObjectName("noParameters");
        grid->addWidget(none, 0, 0);
    }

    auto* ok = new QPushButton(QStringLiteral("确  定"), this);
    ok->setObjectName("ok");
    ok->setDefault(true);
    auto* defaults = new QPushButton(QStringLiteral("恢复默认"), this);
    defaults->setObjectName("restoreDefaults");
    defaults->setAutoDefault(false);
    auto* cancel = new QPushButton(QStringLiteral("取  消"), this);
    cancel->setObjectName("cancel");
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &CQeltFormulaParam::accept);
    connect(defaults, &QPushButton::clicked, this, &CQeltFormulaParam::RestoreDefaults);
    connect(cancel, &QPushButton::clicked, this, &CQeltFormulaParam::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(defaults);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(name);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    if (!m_fields.empty()) {
        m_fields.front()->setFocus();
        m_fields.front()->selectAll();
    }
}

void CQeltFormulaParam::RestoreDefaults() {
    const std::vector<std::string> defaults = m_model.Defaults();
    for (std::size_t i = 0; i < m_fields.size() && i < defaults.size(); ++i)
        m_fields[i]->setText(Utf8(defaults[i]));
}

void CQeltFormulaParam::accept() {
    std::vector<std::string> typed;
    for (const QLineEdit* field : m_fields) typed.push_back(field->text().toStdString());
    const FormulaParamOutcome outcome = m_model.Accept(typed);
    if (!outcome.accepted) {
        m_boxes.Show(this, outcome.message, kMessageCaption);
        if (outcome.row >= 0 && static_cast<std::size_t>(outcome.row) < m_fields.size()) {
            QLineEdit* field = m_fields[static_cast<std::size_t>(outcome.row)];
            field->setFocus();
            field->selectAll();
        }
        return;
    }
    m_values = outcome.values;
    QDialog::accept();
}

}  // namespace qelt
