#include "ui/dialogs/MessageBoxes.h"

#include <QMessageBox>

#include "common/DiagnosticLog.h"

namespace qelt {

void QtMessageBoxes::Show(QWidget* owner, const std::string& text, const std::string& caption) {
    // The log tells the story of a run: a box that holds the user up is part of it.
    Log("message box \"" + caption + "\" shown");
    QMessageBox::information(owner, QString::fromStdString(caption), QString::fromStdString(text));
}

bool QtMessageBoxes::Ask(QWidget* owner, const std::string& text, const std::string& caption) {
    return QMessageBox::question(owner, QString::fromStdString(caption), QString::fromStdString(text),
                                 QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Cancel) == QMessageBox::Ok;
}

MessageBoxes& DefaultMessageBoxes() {
    static QtMessageBoxes boxes;
    return boxes;
}

}  // namespace qelt
