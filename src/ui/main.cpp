// The one place where the program's objects are wired together.
//
//   qelt [--home DIR] [--auto-login] [--offline] [--verbose] [--help] [--version]
//        developer: [--send-pause MS]
//                   [--screenshot FILE [--screenshot-delay MS] [--screenshot-view NAME]
//                                      [--screenshot-goods DIGITS]]
//   NAME: board, kline, intraday, trades, multi or info (--screenshot-kline: kline)
#include <QApplication>
#include <QLocale>
#include <cstdio>

#include "CMainFrame.h"
#include "CQeltApp.h"
#include "CommandLine.h"
#include "QtTranslations.h"
#include "SignalBridge.h"
#include "common/DiagnosticLog.h"
#include "icon/ApplicationIcon.h"
#include "net/Requests.h"
#include "web/WebEngineEnvironment.h"

int main(int argc, char** argv) {
    // The command line first: --help needs no display, and the browser engine is prepared
    // before the application object exists.
    const qelt::ClientCommandLine commandLine = qelt::ParseClientCommandLine(qelt::ArgumentList(argc, argv));
    if (commandLine.exitCode) {
        std::fputs(commandLine.text.toLocal8Bit().constData(), *commandLine.exitCode == 0 ? stdout : stderr);
        return *commandLine.exitCode;
    }
    qelt::PrepareWebEngine(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName("Qelt");
    qelt::SetApplicationIdentity();
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    const int qtCatalogues = qelt::InstallQtTranslations(app, QStringLiteral("zh_CN"));

    qelt::LogSettings log;
    log.directory = commandLine.options.programDirectory;
    log.verbose = commandLine.verbose;
    qelt::StartLog(log);
    qelt::Log("Qelt " + std::string(qelt::kClientVersion) + " started, program directory " + log.directory);
    if (qtCatalogues == 0)
        qelt::Log("Qt's Chinese translations are not installed: standard dialogs speak English");

    int code = 0;
    {
        qelt::CQeltApp qelt(commandLine.options);
        qelt::SignalBridge stopOnSignal([&qelt] { qelt.StopOnSignal(); });
        if (qelt.InitInstance()) {
            code = app.exec();
            qelt.ExitInstance();
        }
    }
    qelt::Log("Qelt ended");
    qelt::StopLog();
    return code;
}
