#include "ui/QtSaveFileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace qelt {

QString QtSaveFileDialog::NameFilter(const std::string& filter) {
    const QString text = QString::fromStdString(filter);
    const qsizetype bar = text.indexOf(QLatin1Char('|'));
    return bar < 0 ? text : text.left(bar);
}

namespace {

/// Interface thread only, as every dialog.
QString& RememberedFolder() {
    static QString folder;
    return folder;
}

}  // namespace

QString QtSaveFileDialog::LastFolder() { return RememberedFolder(); }

QString QtSaveFileDialog::StartFile(const SaveRequest& request) {
    const QString name = QString::fromStdString(request.defaultName);
    return RememberedFolder().isEmpty() ? name : QDir(RememberedFolder()).filePath(name);
}

std::optional<std::string> QtSaveFileDialog::AskSavePath(const SaveRequest& request) {
    QFileDialog dialog(m_parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    dialog.setNameFilter(NameFilter(request.filter));
    if (!RememberedFolder().isEmpty()) dialog.setDirectory(RememberedFolder());
    dialog.selectFile(StartFile(request));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString chosen = dialog.selectedFiles().front();
    RememberedFolder() = QFileInfo(chosen).absolutePath();
    return chosen.toStdString();
}

}  // namespace qelt
