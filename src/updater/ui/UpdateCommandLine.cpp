#include "updater/ui/UpdateCommandLine.h"

#include <QCommandLineParser>
#include <QRegularExpression>

#include "common/ProgramDir.h"
#include "common/Version.h"

namespace qelt {

UpdateCommandLine ParseUpdateCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QString::fromUtf8("Qelt 升级程序: downloads the new program and database files "
                          "from the first server of config.ini that answers."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption batch("batch",
                                   "No window: print each status on a line and end with 0 (done), 1 (no "
                                   "server), 2 (interrupted) or 3 (no networking).");
    const QCommandLineOption home("home",
                                  "The client's program directory (config.ini; the files go there and to "
                                  "its his/); default: QELT_HOME, else the directory the client would "
                                  "choose.",
                                  "DIR");
    parser.addOptions({batch, home});
    parser.addPositionalArgument("ADDRESS|PORT", "The server the client was talking to (ignored).",
                                 "[ADDRESS|PORT]");
    for (const char* name : {"platform", "platformtheme", "style", "display", "qwindowgeometry"}) {
        QCommandLineOption qt(name, "Qt's own option.", "VALUE");
        qt.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qt);
    }
    auto helpText = [&] {
        QString text = parser.helpText();
        text.replace(QRegularExpression("^Usage: \\S+"), "Usage: update");
        return text;
    };

    UpdateCommandLine result;
    auto fail = [&](const QString& error) {
        result.exitCode = 2;
        result.text = "update: " + error + "\n\n" + helpText();
        return result;
    };
    if (!parser.parse(arguments)) return fail(parser.errorText());
    if (parser.isSet(help) || parser.isSet("help-all")) {
        result.exitCode = 0;
        result.text = helpText();
        return result;
    }
    if (parser.isSet(version)) {
        result.exitCode = 0;
        result.text = "update " QELT_VERSION_TEXT "\n";
        return result;
    }
    if (parser.positionalArguments().size() > 1)
        return fail("unexpected argument '" + parser.positionalArguments().at(1) + "'.");
    result.batch = parser.isSet(batch);
    if (parser.isSet(home)) {
        if (parser.value(home).isEmpty()) return fail("--home needs a directory.");
        result.programDirectory = WithTrailingSlash(parser.value(home).toStdString());
    } else {
        const char* noArguments[] = {"update"};
        result.programDirectory = ResolveProgramDirectory(1, noArguments);
    }
    return result;
}

}  // namespace qelt
