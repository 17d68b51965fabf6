// The one place where the program's objects are wired together.
//
//   qelt [--home DIR] [--auto-login] [--offline] [--send-pause MS]
//        [--screenshot FILE [--screenshot-delay MS]]
#include <QApplication>
#include <QDialog>
#include <QLocale>
#include <QStringList>

#include "CMainFrame.h"
#include "CQeltApp.h"
#include "SignalBridge.h"
#include "common/ProgramDir.h"

namespace {

qelt::AppOptions ParseOptions(int argc, char** argv) {
    qelt::AppOptions options;
    options.programDirectory = qelt::ResolveProgramDirectory(argc, argv);
    QStringList args = QCoreApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--auto-login") options.autoLogin = true;
        if (args[i] == "--offline") options.offline = true;
        if (args[i] == "--screenshot" && i + 1 < args.size()) options.screenshot = args[++i];
        if (args[i] == "--screenshot-delay" && i + 1 < args.size()) options.screenshotDelay = args[++i].toInt();
        if (args[i] == "--send-pause" && i + 1 < args.size())
            options.sendPause = std::chrono::milliseconds(qBound(0, args[++i].toInt(), 1000));
    }
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Qelt");
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    qelt::CQeltApp qelt(ParseOptions(argc, argv));
    qelt::SignalBridge stopOnSignal([&qelt] {
        // As the user would: leave the dialog on top (the login dialog ends the program),
        // then close the main window.
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->reject();
        if (qelt.Frame())
            qelt.Frame()->close();
        else
            QCoreApplication::quit();
    });
    if (!qelt.InitInstance()) return 0;
    const int code = app.exec();
    qelt.ExitInstance();
    return code;
}
