#include "ui/QtOpenFileDialog.h"

#include <QFileDialog>

#include "ui/QtSaveFileDialog.h"

namespace qelt {

std::optional<std::string> QtOpenFileDialog::AskOpenPath(const std::string& filter) {
    QFileDialog dialog(m_parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QtSaveFileDialog::NameFilter(filter));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

}  // namespace qelt
