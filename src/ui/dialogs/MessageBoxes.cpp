#include "ui/dialogs/MessageBoxes.h"

#include <QMessageBox>

namespace qelt {

void QtMessageBoxes::Show(QWidget* owner, const std::string& text, const std::string& caption) {
    QMessageBox::information(owner, QString::fromStdString(caption), QString::fromStdString(text));
}

MessageBoxes& DefaultMessageBoxes() {
    static QtMessageBoxes boxes;
    return boxes;
}

}  // namespace qelt
