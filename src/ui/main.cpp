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
        // As the user would, from any state: every dialog and message box on screen is
        // left (the login dialog ends the program), the main window is closed, and every
        // event loop ends, the nested ones included, even before the main loop has started.
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog->isVisible()) dialog->reject();
        if (qelt.Frame()) qelt.Frame()->close();
        QCoreApplication::exit(0);
    });
    if (!qelt.InitInstance()) return 0;
    const int code = app.exec();
    qelt.ExitInstance();
    return code;
}
