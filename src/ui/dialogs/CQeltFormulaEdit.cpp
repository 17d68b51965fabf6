#include "ui/dialogs/CQeltFormulaEdit.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTextCursor>
#include <QVBoxLayout>
#include <algorithm>

#include "formula/FormulaFunctionList.h"
#include "ui/dialogs/CQeltInsertFunction.h"
#include "ui/dialogs/DialogText.h"
#include "ui/dialogs/FormulaHighlighter.h"
#include "ui/dialogs/MessageBoxes.h"

namespace qelt {
namespace {

constexpr int kParameterFieldLength = 64;
const char* const kParameterColumns[] = {"Name", "Default", "Minimum", "Maximum"};

/// A plain text field in which Tab moves on, as in every other field.
QPlainTextEdit* MakeTextField(QWidget* parent, const char* objectName) {
    auto* field = new QPlainTextEdit(parent);
    field->setObjectName(objectName);
    field->setTabChangesFocus(true);
    return field;
}

}  // namespace

CQeltFormulaEdit::CQeltFormulaEdit(FormulaLibrary& library, MessageBoxes& boxes, int id, QWidget* parent)
    : QDialog(parent), m_model(library, id), m_boxes(boxes) {
    setObjectName("formulaEditDialog");
    setWindowTitle(Utf8(m_model.Caption()));
    BuildFields();
    BuildButtons();
    ChainFocus();
    ShowFields(m_model.InitialFields());
    resize(600, 560);
}

void CQeltFormulaEdit::BuildFields() {
    m_name = new QLineEdit(this);
    m_name->setObjectName("name");
    m_description = MakeTextField(this, "description");
    m_description->setFixedHeight(m_description->fontMetrics().lineSpacing() * 3 + 12);

    auto* parameters = new QGridLayout;
    const char* const headers[] = {"参数名", "缺省值", "最小值", "最大值"};
    for (int column = 0; column < 4; ++column)
        parameters->addWidget(new QLabel(QString::fromUtf8(headers[column]), this), 0, column + 1);
    for (int row = 0; row < kMaxFormulaParameters; ++row) {
        parameters->addWidget(new QLabel(QString::number(row + 1), this), row + 1, 0);
        for (int column = 0; column < 4; ++column) {
            auto* field = new QLineEdit(this);
            field->setObjectName(QStringLiteral("parameter%1%2").arg(kParameterColumns[column]).arg(row));
            field->setMaxLength(kParameterFieldLength);
            parameters->addWidget(field, row + 1, column + 1);
            m_parameters[row][column] = field;
        }
    }

    m_place = new QComboBox(this);
    m_place->setObjectName("place");
    m_place->addItems({QStringLiteral("副图"), QStringLiteral("主图")});

    m_text = MakeTextField(this, "text");
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);  // a line of the text is a line on screen
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_highlighter = new FormulaHighlighter(m_text->document());
    m_verdict = new QLabel(this);
    m_verdict->setObjectName("verdict");
    m_verdict->setWordWrap(true);
    m_verdict->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* form = new QGridLayout;
    auto addRow = [&](int row, const char* label, QWidget* field) {
        auto* text = new QLabel(QString::fromUtf8(label), this);
        text->setBuddy(field);
        form->addWidget(text, row, 0, Qt::AlignTop);
        form->addWidget(field, row, 1);
    };
    addRow(0, "名称(&N):", m_name);
    addRow(1, "说明(&D):", m_description);
    form->addWidget(new QLabel(QStringLiteral("参数:"), this), 2, 0, Qt::AlignTop);
    form->addLayout(parameters, 2, 1);
    auto* place = new QHBoxLayout;
    place->addWidget(m_place);
    place->addStretch();
    auto* placeLabel = new QLabel(QStringLiteral("画在(&P):"), this);
    placeLabel->setBuddy(m_place);
    form->addWidget(placeLabel, 3, 0);
    form->addLayout(place, 3, 1);
    addRow(4, "公式(&F):", m_text);
    form->setRowStretch(4, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form, 1);
    layout->addWidget(m_verdict);
}

void CQeltFormulaEdit::BuildButtons() {
    auto make = [this](const char* text, const char* objectName) {
        auto* button = new QPushButton(QString::fromUtf8(text), this);
        button->setObjectName(objectName);
        return button;
    };
    m_insertFunction = make("插入函数(&I)", "insertFunction");
    m_test = make("测试公式(&T)", "test");
    m_ok = make("确定", "ok");
    m_ok->setDefault(true);
    m_cancel = make("取消", "cancel");
    connect(m_insertFunction, &QPushButton::clicked, this, &CQeltFormulaEdit::OnInsertFunction);
    connect(new QShortcut(QKeySequence(Qt::Key_F2), this), &QShortcut::activated, this,
            &CQeltFormulaEdit::OnInsertFunction);
    connect(m_test, &QPushButton::clicked, this, &CQeltFormulaEdit::OnTest);
    connect(m_ok, &QPushButton::clicked, this, &CQeltFormulaEdit::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CQeltFormulaEdit::reject);
    // Enter in the text starts a new line; Ctrl+Enter is 确定 from any field.
    for (QKeySequence keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &CQeltFormulaEdit::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_insertFunction);
    buttons->addWidget(m_test);
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    static_cast<QVBoxLayout*>(layout())->addLayout(buttons);
}

void CQeltFormulaEdit::ChainFocus() {
    std::vector<QWidget*> chain = {m_name, m_description};
    for (const auto& row : m_parameters) chain.insert(chain.end(), row.begin(), row.end());
    chain.insert(chain.end(), {m_place, m_text, m_insertFunction, m_test, m_ok, m_cancel});
    for (std::size_t i = 1; i < chain.size(); ++i) setTabOrder(chain[i - 1], chain[i]);
    m_name->setFocus();
}

void CQeltFormulaEdit::ShowFields(const FormulaEditFields& fields) {
    m_name->setText(QString::fromStdString(fields.name));
    m_description->setPlainText(QString::fromStdString(fields.description));
    for (int row = 0; row < kMaxFormulaParameters; ++row) {
        const FormulaParameterFields& p = fields.parameters[row];
        const std::string* texts[] = {&p.name, &p.defaultValue, &p.minimum, &p.maximum};
        for (int column = 0; column < 4; ++column)
            m_parameters[row][column]->setText(QString::fromStdString(*texts[column]));
    }
    m_text->setPlainText(QString::fromStdString(fields.text));
    m_place->setCurrentIndex(fields.mainChart ? 1 : 0);
}

FormulaEditFields CQeltFormulaEdit::Fields() const {
    FormulaEditFields fields;
    fields.name = m_name->text().toStdString();
    fields.description = m_description->toPlainText().toStdString();
    for (int row = 0; row < kMaxFormulaParameters; ++row) {
        FormulaParameterFields& p = fields.parameters[row];
        std::string* texts[] = {&p.name, &p.defaultValue, &p.minimum, &p.maximum};
        for (int column = 0; column < 4; ++column)
            *texts[column] = m_parameters[row][column]->text().toStdString();
    }
    fields.text = m_text->toPlainText().toStdString();
    fields.mainChart = m_place->currentIndex() == 1;
    return fields;
}

QWidget* CQeltFormulaEdit::FieldWidget(FormulaField field, int row) const {
    const int r = std::clamp(row, 0, kMaxFormulaParameters - 1);
    switch (field) {
        case FormulaField::Name:
            return m_name;
        case FormulaField::Description:
            return m_description;
        case FormulaField::ParameterName:
            return m_parameters[r][0];
        case FormulaField::ParameterDefault:
            return m_parameters[r][1];
        case FormulaField::ParameterMinimum:
            return m_parameters[r][2];
        case FormulaField::ParameterMaximum:
            return m_parameters[r][3];
        case FormulaField::Text:
            break;
    }
    return m_text;
}

void CQeltFormulaEdit::Place(const FormulaFieldProblem& problem) {
    m_verdict->setText(QString::fromStdString(problem.message));
    QWidget* widget = FieldWidget(problem.field, problem.row);
    widget->setFocus(Qt::OtherFocusReason);
    if (auto* line = qobject_cast<QLineEdit*>(widget)) line->selectAll();
    if (widget != m_text || problem.cursor < 0) return;
    QTextCursor cursor = m_text->textCursor();
    cursor.setPosition(std::min(problem.cursor, m_text->document()->characterCount() - 1));
    m_text->setTextCursor(cursor);
    m_text->ensureCursorVisible();
}

void CQeltFormulaEdit::OnTest() {
    if (std::optional<FormulaFieldProblem> problem = m_model.Test(Fields())) {
        Place(*problem);
        return;
    }
    m_verdict->setText(Utf8(FormulaEditModel::kTestPassed));
}

void CQeltFormulaEdit::OnInsertFunction() {
    CQeltInsertFunction picker(this);
    const bool taken = picker.exec() == QDialog::Accepted && picker.Chosen();
    m_text->setFocus(Qt::OtherFocusReason);
    if (!taken) return;
    const formula::FunctionInsertion insertion = formula::InsertionOf(*picker.Chosen());
    // In place of a selection, as typing would; then the argument template selected, so that
    // what is typed next replaces it.
    QTextCursor cursor = m_text->textCursor();
    const int start = cursor.selectionStart();
    cursor.insertText(Utf8(insertion.text));
    cursor.setPosition(start + insertion.selectFrom);
    cursor.setPosition(start + insertion.selectFrom + insertion.selectLength, QTextCursor::KeepAnchor);
    m_text->setTextCursor(cursor);
    m_text->ensureCursorVisible();
}

void CQeltFormulaEdit::accept() {
    const FormulaEditOutcome outcome = m_model.Accept(Fields());
    if (outcome.problem) {
        // The focus and the cursor first: the message box gives the focus back where it was.
        Place(*outcome.problem);
        m_boxes.Show(this, outcome.problem->message, kMessageCaption);
        return;
    }
    m_savedId = outcome.id;
    if (!outcome.notice.empty()) m_boxes.Show(this, outcome.notice, kMessageCaption);
    QDialog::accept();
}

}  // namespace qelt
