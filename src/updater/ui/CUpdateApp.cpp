#include "updater/ui/CUpdateApp.h"

#include <QApplication>
#include <QMessageBox>
#include <iostream>
#include <string_view>

#include "common/ProgramDir.h"
#include "updater/CUpDateSocket.h"
#include "updater/UpdateBatch.h"
#include "updater/UpdateStatus.h"
#include "updater/ui/CUpdateDlg.h"

namespace qelt {

bool CUpdateApp::WantsBatch(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--batch") return true;
    }
    return false;
}

int CUpdateApp::Run(int argc, char** argv) {
    const std::string home = ResolveProgramDirectory(argc, argv);
    if (WantsBatch(argc, argv)) return RunBatchUpdate(home, std::cout, std::cerr);

    QApplication app(argc, argv);
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
