#include "DesktopHelp.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QUrl>

#include "common/InstallPaths.h"
#include "common/ProgramDir.h"

namespace qelt {
namespace {

/// xdg-mime answers at once; a desktop that hangs must not freeze the client.
constexpr int kQueryMilliseconds = 3000;

QString Text(const std::string& s) { return QString::fromStdString(s); }

std::string Cleaned(const std::string& path) {
    return QFileInfo(Text(path)).absoluteFilePath().toStdString();
}

}  // namespace

bool QtHelpDesktop::IsFile(const std::string& path) const { return QFileInfo(Text(path)).isFile(); }

bool QtHelpDesktop::HasHandlerFor(const std::string& path) const {
    const QString type = QMimeDatabase().mimeTypeForFile(Text(path)).name();
    QProcess query;
    query.start("xdg-mime", {"query", "default", type});
    if (!query.waitForFinished(kQueryMilliseconds)) {
        query.kill();
        query.waitForFinished();
        return false;
    }
    return query.exitStatus() == QProcess::NormalExit && query.exitCode() == 0 &&
           !query.readAllStandardOutput().trimmed().isEmpty();
}

bool QtHelpDesktop::OpenWithDesktop(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(Text(path)));
}

std::vector<std::string> ManualPages() {
    return {Cleaned(ExecutableDirectory() + install::kManualFromBin), install::kSourceManual};
}

}  // namespace qelt
