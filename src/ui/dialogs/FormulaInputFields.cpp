#include "ui/dialogs/FormulaInputFields.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/QtSaveFileDialog.h"
#include "ui/dialogs/DialogText.h"
#include "ui/dialogs/MessageBoxes.h"

namespace qelt {

QLineEdit* InputField(QWidget* parent, const char* name, const char* text, int width) {
    auto* edit = new QLineEdit(QString::fromUtf8(text), parent);
    edit->setObjectName(name);
    edit->setFixedWidth(width);
    return edit;
}

QLabel* FieldCaption(QWidget* parent, const char* text, QWidget* buddy) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setBuddy(buddy);
    return label;
}

std::string TypedText(const QLineEdit* edit) { return edit->text().trimmed().toStdString(); }

void BuildParameterFields(QWidget* box, QGridLayout* grid, int firstRow, ParameterCaptions& captions,
                          ParameterEdits& edits) {
    for (int i = 0; i < kMaxFormulaParameters; ++i) {
        edits[i] = InputField(box, ("param" + std::to_string(i)).c_str(), "", 70);
        captions[i] = FieldCaption(box, "", edits[i]);
        captions[i]->setObjectName(QString("paramName%1").arg(i));
        grid->addWidget(captions[i], firstRow + i / 4, 2 * (i % 4));
        grid->addWidget(edits[i], firstRow + i / 4, 2 * (i % 4) + 1);
    }
}

void ShowParameterRows(const std::vector<FormulaParamRow>& rows, ParameterCaptions& captions,
                       ParameterEdits& edits) {
    for (int i = 0; i < kMaxFormulaParameters; ++i) {
        const bool shown = static_cast<std::size_t>(i) < rows.size();
        captions[i]->setVisible(shown);
        edits[i]->setVisible(shown);
        if (!shown) continue;
        const FormulaParamRow& row = rows[static_cast<std::size_t>(i)];
        captions[i]->setText(Utf8(row.name));
        edits[i]->setText(Utf8(row.value));
        edits[i]->setToolTip(Utf8(row.range));
    }
}

std::vector<std::string> TypedParameters(const QWidget* window, const ParameterEdits& edits) {
    std::vector<std::string> typed;
    for (const QLineEdit* edit : edits)
        if (edit->isVisibleTo(window)) typed.push_back(TypedText(edit));
    return typed;
}

QPushButton* ActionButton(QWidget* owner, const char* text, const char* name) {
    auto* button = new QPushButton(QString::fromUtf8(text), owner);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QWidget* ActionsWithProgress(QWidget* owner, const std::vector<QPushButton*>& buttons,
                             QProgressBar*& progress, QLabel*& status) {
    auto* column = new QWidget(owner);
    auto* lines = new QVBoxLayout(column);
    lines->setContentsMargins(0, 0, 0, 0);
    auto* row = new QHBoxLayout;
    for (QPushButton* button : buttons) row->addWidget(button);
    progress = new QProgressBar(column);
    progress->setObjectName("progress");
    progress->setRange(0, 1);
    progress->setValue(0);
    row->addWidget(progress, 1);
    lines->addLayout(row);
    status = new QLabel(column);
    status->setObjectName("status");
    status->setWordWrap(true);
    lines->addWidget(status);
    return column;
}

void ShowStatusLine(QLabel* status, const std::string& text, bool fault) {
    status->setStyleSheet(fault ? QStringLiteral("color: #c00000;") : QString());
    status->setText(Utf8(text));
}

std::optional<std::string> ExportFromWindow(QWidget* owner, SaveFileDialog* dialog, MessageBoxes& boxes,
                                            const ExportDocument& document) {
    QtSaveFileDialog files(owner);
    RememberingSaveDialog remembering(dialog ? *dialog : static_cast<SaveFileDialog&>(files));
    const ExportResult written = SaveExport(document, remembering);
    if (written == ExportResult::Failed) boxes.Show(owner, kExportFailedText, "系统提示");
    if (written != ExportResult::Written) return std::nullopt;
    return remembering.chosen;
}

}  // namespace qelt
