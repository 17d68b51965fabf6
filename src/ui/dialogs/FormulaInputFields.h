#pragma once
/// The pieces the windows that put a formula to work share (交易评测, 条件选股): the input
/// fields with their captions (Alt letters reach a field through its caption), the rows of a
/// formula's parameters (four a row, each with its name and its range as a tip, hidden past
/// the formula's count), the action buttons with the progress bar and the status line, and
/// 导出 of a result through the save dialog.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "app/FormulaParamModel.h"
#include "formula/FormulaParameters.h"
#include "views/ExportFile.h"

class QGridLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QWidget;

namespace qelt {

class MessageBoxes;

using ParameterCaptions = std::array<QLabel*, kMaxFormulaParameters>;
using ParameterEdits = std::array<QLineEdit*, kMaxFormulaParameters>;

QLineEdit* InputField(QWidget* parent, const char* name, const char* text, int width);
QLabel* FieldCaption(QWidget* parent, const char* text, QWidget* buddy);
/// A field's text, blanks at either end left out.
std::string TypedText(const QLineEdit* edit);

/// The parameter fields ("param0".., captions "paramName0"..) in `grid` from `firstRow` on,
/// over its columns 0 to 7.
void BuildParameterFields(QWidget* box, QGridLayout* grid, int firstRow, ParameterCaptions& captions,
                          ParameterEdits& edits);
/// One field per row shown with the row's name, value and range; the others hidden.
void ShowParameterRows(const std::vector<FormulaParamRow>& rows, ParameterCaptions& captions,
                       ParameterEdits& edits);
/// The texts of the fields shown in `window`, in order.
std::vector<std::string> TypedParameters(const QWidget* window, const ParameterEdits& edits);

/// A button of the window's actions ("开始(&S)", object name "start"): Enter in a field does
/// not press it, only its Alt letter, Space or a click does.
QPushButton* ActionButton(QWidget* owner, const char* text, const char* name);
/// The row of `buttons` with the progress bar ("progress") beside them, and under it the
/// status line ("status") the window says what happened in.
QWidget* ActionsWithProgress(QWidget* owner, const std::vector<QPushButton*>& buttons,
                             QProgressBar*& progress, QLabel*& status);
/// The status line says `text`, in red when it tells of a fault.
void ShowStatusLine(QLabel* status, const std::string& text, bool fault);

/// 导出: asks for the path (`dialog`, or the Qt one when null) and writes `document` as every
/// export is written (GBK, replaced whole or not at all). The path written; nothing when the
/// user cancelled or the write failed (then the failure box has been shown).
std::optional<std::string> ExportFromWindow(QWidget* owner, SaveFileDialog* dialog, MessageBoxes& boxes,
                                            const ExportDocument& document);

}  // namespace qelt
