#include "CommandLine.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <array>

#include "CMainFrame.h"
#include "common/ProgramDir.h"
#include "net/Requests.h"
#include "views/ViewKinds.h"

namespace qelt {
namespace {

/// Qt's own options that QApplication takes from the command line, with and without a value.
constexpr std::array kQtValueOptions = {
    "platform",    "platformpluginpath", "platformtheme", "plugin",     "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "style",         "stylesheet", "session",
    "display",     "geometry",           "qmljsdebugger"};
constexpr std::array kQtFlagOptions = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

QString HelpText(const QCommandLineParser& parser) {
    // The usage line names the program as users type it, whatever path started it.
    QString help = parser.helpText();
    help.replace(QRegularExpression("^Usage: \\S+"), "Usage: qelt");
    return help;
}

/// The names --screenshot-view takes, with the kind of view each pictures and, for the
/// pictures of 交易评测, 条件选股 and the alarm window, what their window shows over that view.
struct NamedView {
    const char* name;
    int kind;
    ScreenshotSystem system = ScreenshotSystem::None;
};
constexpr std::array kScreenshotViews = {NamedView{"board", kViewQuoteList},
                                         NamedView{"kline", kViewKLine},
                                         NamedView{"intraday", kViewIntraday},
                                         NamedView{"trades", kViewTradeList},
                                         NamedView{"multi", kViewMultiGoods},
                                         NamedView{"info", kViewWeb},
                                         NamedView{"system", kViewKLine, ScreenshotSystem::Report},
                                         NamedView{"heatmap", kViewKLine, ScreenshotSystem::HeatMap},
                                         NamedView{"marks", kViewKLine, ScreenshotSystem::Marks},
                                         NamedView{"screening", kViewQuoteList, ScreenshotSystem::Screening},
                                         NamedView{"alarms", kViewQuoteList, ScreenshotSystem::Alarms}};

const NamedView* ScreenshotView(const QString& name) {
    for (const NamedView& view : kScreenshotViews)
        if (name == QLatin1String(view.name)) return &view;
    return nullptr;
}

QString ScreenshotViewNames() {
    QStringList names;
    for (const NamedView& view : kScreenshotViews) names << view.name;
    return names.join(", ");
}

/// A whole number of milliseconds in [0, max]; nothing otherwise.
std::optional<int> Milliseconds(const QString& text, int max) {
    bool ok = false;
    const int value = text.toInt(&ok);  // toInt reads the C locale's digits whatever the user's
    if (!ok || value < 0 || value > max) return std::nullopt;
    return value;
}

}  // namespace

QStringList ArgumentList(int argc, const char* const* argv) {
    QStringList list;
    for (int i = 0; i < argc; ++i) list << QString::fromLocal8Bit(argv[i]);
    return list;
}

ClientCommandLine ParseClientCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QString::fromUtf8("Qelt 行情分析系统 %1: market quotes and technical analysis.")
            .arg(QString::fromUtf8(kClientVersion.data(), kClientVersion.size())));
    // Qt's options come with one dash ("-platform offscreen"); ours are read the same way.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption home("home",
                                  "The program directory (config.ini, sys.ini, his/qelt.db, qelt.log); "
                                  "default: QELT_HOME, else the executable's directory when it is writable "
                                  "and holds config.ini, else $XDG_DATA_HOME/qelt (~/.local/share/qelt).",
                                  "DIR");
    const QCommandLineOption autoLogin("auto-login",
                                       "Log in with the remembered account (sys.ini) on the first "
                                       "server of config.ini, without a click.");
    const QCommandLineOption offline("offline", "No login dialog: browse the local database.");
    const QCommandLineOption verbose("verbose",
                                     "The log (standard error and qelt.log) also shows the messages "
                                     "received, shortened.");
    const QCommandLineOption sendPause("send-pause",
                                       "Developer option: the pause after each single command, "
                                       "0 to 1000 ms (default 100).",
                                       "MS");
    const QCommandLineOption screenshot("screenshot",
                                        "Developer option: save a picture of the main window to FILE "
                                        "after the delay, then quit.",
                                        "FILE");
    const QCommandLineOption screenshotDelay("screenshot-delay",
                                             "Developer option: the delay before --screenshot, "
                                             "in ms (default 8000).",
                                             "MS");
    const QCommandLineOption screenshotView("screenshot-view",
                                            "Developer option: --screenshot pictures this view of the "
                                            "selected goods (opened half way through the delay): " +
                                                ScreenshotViewNames() + " (default board).",
                                            "NAME");
    const QCommandLineOption screenshotGoods("screenshot-goods",
                                             "Developer option: --screenshot first selects the goods the "
                                             "keyboard wizard lists first for these digits (goods number, "
                                             "then delivery month).",
                                             "DIGITS");
    const QCommandLineOption screenshotKLine("screenshot-kline",
                                             "Developer option: the same as --screenshot-view kline.");
    parser.addOptions({home, autoLogin, offline, verbose, sendPause, screenshot, screenshotDelay,
                       screenshotView, screenshotGoods, screenshotKLine});
    for (const char* name : kQtValueOptions) {
        QCommandLineOption qt(name, "Qt's own option.", "VALUE");
        qt.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qt);
    }
    for (const char* name : kQtFlagOptions) {
        QCommandLineOption qt(name, "Qt's own option.");
        qt.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qt);
    }

    ClientCommandLine result;
    auto fail = [&](const QString& error) {
        result.exitCode = 2;
        result.text = "qelt: " + error + "\n\n" + HelpText(parser);
        return result;
    };
    if (!parser.parse(arguments)) return fail(parser.errorText());
    if (parser.isSet(help) || parser.isSet("help-all")) {
        result.exitCode = 0;
        result.text = HelpText(parser);
        return result;
    }
    if (parser.isSet(version)) {
        result.exitCode = 0;
        result.text = "qelt " + QString::fromUtf8(kClientVersion.data(), kClientVersion.size()) + "\n";
        return result;
    }
    if (!parser.positionalArguments().isEmpty())
        return fail("unexpected argument '" + parser.positionalArguments().first() + "'.");

    AppOptions& o = result.options;
    if (parser.isSet(home)) {
        if (parser.value(home).isEmpty()) return fail("--home needs a directory.");
        o.programDirectory = WithTrailingSlash(parser.value(home).toStdString());
    } else {
        const char* noArguments[] = {"qelt"};
        o.programDirectory = ResolveProgramDirectory(1, noArguments);
    }
    o.autoLogin = parser.isSet(autoLogin);
    o.offline = parser.isSet(offline);
    result.verbose = parser.isSet(verbose);
    if (parser.isSet(sendPause)) {
        const auto ms = Milliseconds(parser.value(sendPause), 1000);
        if (!ms) return fail("--send-pause wants 0 to 1000 ms, not '" + parser.value(sendPause) + "'.");
        o.sendPause = std::chrono::milliseconds(*ms);
    }
    if (parser.isSet(screenshot)) {
        if (parser.value(screenshot).isEmpty()) return fail("--screenshot needs a file.");
        o.screenshot = parser.value(screenshot);
    }
    if (parser.isSet(screenshotDelay)) {
        const auto ms = Milliseconds(parser.value(screenshotDelay), 3600 * 1000);
        if (!ms)
            return fail("--screenshot-delay wants a number of ms, not '" + parser.value(screenshotDelay) +
                        "'.");
        o.screenshotDelay = *ms;
    }
    if (parser.isSet(screenshotView)) {
        const NamedView* view = ScreenshotView(parser.value(screenshotView));
        if (!view)
            return fail("--screenshot-view wants one of " + ScreenshotViewNames() + ", not '" +
                        parser.value(screenshotView) + "'.");
        o.screenshotView = view->kind;
        o.screenshotSystem = view->system;
    }
    if (parser.isSet(screenshotGoods)) {
        static const QRegularExpression digits("^[0-9]{1,10}$");
        if (!digits.match(parser.value(screenshotGoods)).hasMatch())
            return fail("--screenshot-goods wants 1 to 10 digits, not '" + parser.value(screenshotGoods) +
                        "'.");
        o.screenshotGoods = parser.value(screenshotGoods).toStdString();
    }
    if (parser.isSet(screenshotKLine)) {
        if (parser.isSet(screenshotView) && o.screenshotView != kViewKLine)
            return fail("--screenshot-kline and --screenshot-view " + parser.value(screenshotView) +
                        " name two views.");
        o.screenshotView = kViewKLine;
    }
    return result;
}

}  // namespace qelt
