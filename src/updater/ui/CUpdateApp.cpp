#include "updater/ui/CUpdateApp.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <iostream>
#include <string_view>

#include "updater/CUpDateSocket.h"
#include "updater/UpdateBatch.h"
#include "updater/UpdateStatus.h"
#include "updater/ui/CUpdateDlg.h"
#include "updater/ui/UpdateCommandLine.h"

namespace qelt {

namespace {

/// The client's icon (built into the updater too) on the dialog, and the windows counted as
/// the client's desktop entry's.
void SetUpdaterIdentity() {
    QIcon icon;
    for (const int size : {48, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1x%1/apps/qelt.png").arg(size));
    QGuiApplication::setWindowIcon(icon);
    QGuiApplication::setDesktopFileName(QStringLiteral("qelt"));
}

}  // namespace

bool CUpdateApp::WantsBatch(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--batch") return true;
    }
    return false;
}

int CUpdateApp::Run(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const UpdateCommandLine commandLine = ParseUpdateCommandLine(arguments);
    if (commandLine.exitCode) {
        (*commandLine.exitCode == 0 ? std::cout : std::cerr) << commandLine.text.toLocal8Bit().constData();
        return *commandLine.exitCode;
    }
    const std::string& home = commandLine.programDirectory;
    if (commandLine.batch) return RunBatchUpdate(home, std::cout, std::cerr);

    QApplication app(argc, argv);
    SetUpdaterIdentity();
    if (!SocketsAvailable()) {
        QMessageBox::critical(nullptr, QStringLiteral("Update"), QString::fromUtf8(kNetworkStartFailedText));
        return 1;
    }
    CUpdateDlg dialog([home](const UpdateProgress& progress, const std::atomic<bool>& stop) {
        UpdateOptions options;
        options.stop = &stop;
        RunUpdate(home, progress, options);
    });
    dialog.show();
    dialog.Start();
    dialog.exec();
    return 0;
}

}  // namespace qelt
