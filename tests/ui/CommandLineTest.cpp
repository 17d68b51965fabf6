// The client's command line: help and version end at once with 0, a bad command line with 2
// and the usage, the options reach the application's settings, Qt's own options pass.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <cstdlib>

#include "ui/CMainFrame.h"
#include "ui/CommandLine.h"
#include "views/ViewKinds.h"

namespace qelt {
namespace {

ClientCommandLine Parse(QStringList arguments) {
    arguments.prepend("/opt/qelt/qelt");
    return ParseClientCommandLine(arguments);
}

TEST(CommandLine, HelpAndVersionEndWithZeroAndListEveryOption) {
    for (const char* help : {"--help", "-h", "--help-all"}) {
        const auto line = Parse({help});
        ASSERT_EQ(line.exitCode, 0) << help;
        EXPECT_TRUE(line.text.startsWith("Usage: qelt [options]")) << line.text.toStdString();
        for (const char* option :
             {"--home <DIR>", "--auto-login", "--offline", "--verbose", "--send-pause <MS>",
              "--screenshot <FILE>", "--screenshot-delay <MS>", "--screenshot-view <NAME>",
              "--screenshot-goods <DIGITS>", "--screenshot-kline", "--version"})
            EXPECT_TRUE(line.text.contains(option)) << option;
        EXPECT_EQ(line.text.count("Developer option"), 6) << "the six developer options say so";
        EXPECT_FALSE(line.text.contains("platform")) << "Qt's own options stay out of the list";
    }
    const auto version = Parse({"--version"});
    ASSERT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.text, "qelt 1.96\n");
}

TEST(CommandLine, UnknownOrMalformedOptionsEndWithTwoAndTheUsage) {
    const QList<QStringList> bad = {{"--colour"},
                                    {"--home"},
                                    {"--home", ""},
                                    {"--send-pause", "abc"},
                                    {"--send-pause", "5000"},
                                    {"--send-pause", "-1"},
                                    {"--screenshot-delay", "9s"},
                                    {"--screenshot-view", "chart"},
                                    {"--screenshot-view", "KLine"},
                                    {"--screenshot-view", ""},
                                    {"--screenshot-view"},
                                    {"--screenshot-view", "trades", "--screenshot-kline"},
                                    {"--screenshot-goods", ""},
                                    {"--screenshot-goods", "01a2"},
                                    {"--screenshot-goods", "-112"},
                                    {"--screenshot-goods", "01122027030"},
                                    {"stray"},
                                    {"--offline=yes"}};
    for (const QStringList& arguments : bad) {
        const auto line = Parse(arguments);
        ASSERT_EQ(line.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(line.text.startsWith("qelt: ")) << line.text.toStdString();
        EXPECT_TRUE(line.text.contains("Usage: qelt")) << arguments.join(' ').toStdString();
    }
}

TEST(CommandLine, OptionsReachTheApplication) {
    ::unsetenv("QELT_HOME");
    auto line = Parse({"--home", "/tmp/q", "--auto-login", "--verbose", "--send-pause", "2", "--screenshot",
                       "/tmp/shot.png", "--screenshot-delay=9000", "--screenshot-kline", "-platform",
                       "offscreen", "-reverse"});
    ASSERT_FALSE(line.exitCode) << line.text.toStdString();
    EXPECT_EQ(line.options.programDirectory, "/tmp/q/");
    EXPECT_TRUE(line.options.autoLogin);
    EXPECT_FALSE(line.options.offline);
    EXPECT_TRUE(line.verbose);
    EXPECT_EQ(line.options.sendPause.count(), 2);
    EXPECT_EQ(line.options.screenshot, "/tmp/shot.png");
    EXPECT_EQ(line.options.screenshotDelay, 9000);
    EXPECT_EQ(line.options.screenshotView, kViewKLine);

    // Without --home: QELT_HOME; the defaults stand.
    ::setenv("QELT_HOME", "/tmp/elsewhere", 1);
    line = Parse({"--offline"});
    ::unsetenv("QELT_HOME");
    ASSERT_FALSE(line.exitCode);
    EXPECT_EQ(line.options.programDirectory, "/tmp/elsewhere/");
    EXPECT_TRUE(line.options.offline);
    EXPECT_FALSE(line.verbose);
    EXPECT_EQ(line.options.sendPause.count(), 100);
    EXPECT_EQ(line.options.screenshotDelay, 8000);
    EXPECT_TRUE(line.options.screenshot.isEmpty());
    EXPECT_EQ(line.options.screenshotView, kViewQuoteList);
    EXPECT_TRUE(line.options.screenshotGoods.empty());
}

TEST(CommandLine, EachScreenshotViewNamePicturesItsKindForTheChosenGoodsAndTheOldKLineOptionStillWorks) {
    const std::pair<const char*, int> views[] = {{"board", kViewQuoteList},   {"kline", kViewKLine},
                                                 {"intraday", kViewIntraday}, {"trades", kViewTradeList},
                                                 {"multi", kViewMultiGoods},  {"info", kViewWeb}};
    for (const auto& [name, kind] : views) {
        const auto line = Parse({"--screenshot", "/tmp/shot.png", "--screenshot-view", name});
        ASSERT_FALSE(line.exitCode) << name << line.text.toStdString();
        EXPECT_EQ(line.options.screenshotView, kind) << name;
    }
    for (const QStringList& kline :
         {QStringList{"--screenshot-kline"}, QStringList{"--screenshot-view=kline", "--screenshot-kline"}}) {
        const auto line = Parse(QStringList{"--screenshot", "/tmp/shot.png"} + kline);
        ASSERT_FALSE(line.exitCode) << kline.join(' ').toStdString();
        EXPECT_EQ(line.options.screenshotView, kViewKLine) << kline.join(' ').toStdString();
    }
    const auto goods = Parse({"--screenshot-view", "trades", "--screenshot-goods", "0112202703"});
    ASSERT_FALSE(goods.exitCode) << goods.text.toStdString();
    EXPECT_EQ(goods.options.screenshotGoods, "0112202703");
    EXPECT_EQ(goods.options.screenshotView, kViewTradeList);
    const auto bad = Parse({"--screenshot-view", "charts"});
    EXPECT_TRUE(bad.text.contains("board, kline, intraday, trades, multi, info"))
        << "the error names the choices";
}

struct ProgramRun {
    int code = -1;
    QString out, err;
};

/// Runs a program without any display: --help and --version must not need one.
ProgramRun RunProgram(const char* program, const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.remove("QT_QPA_PLATFORM");
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    ProgramRun run;
    if (!process.waitForFinished(20000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

TEST(CommandLine, TheThreeProgramsAnswerHelpVersionAndBadOptions) {
    const std::pair<const char*, const char*> programs[] = {
        {QELT_CLIENT_PATH, "qelt"}, {QELT_UPDATE_PATH, "update"}, {QELT_SERVER_PATH, "qelt-server"}};
    for (const auto& [path, name] : programs) {
        const ProgramRun help = RunProgram(path, {"--help"});
        EXPECT_EQ(help.code, 0) << name << help.err.toStdString();
        EXPECT_TRUE(help.out.contains(QString("sage: ") + name)) << name << help.out.toStdString();
        const ProgramRun version = RunProgram(path, {"--version"});
        EXPECT_EQ(version.code, 0) << name;
        EXPECT_EQ(version.out, QString(name) + " 1.96\n");
        const ProgramRun bad = RunProgram(path, {"--no-such-option"});
        EXPECT_EQ(bad.code, 2) << name;
        EXPECT_TRUE(bad.out.isEmpty()) << name;
        EXPECT_TRUE(bad.err.contains("no-such-option")) << name << bad.err.toStdString();
        EXPECT_TRUE(bad.err.contains(QString("sage: ") + name)) << name << bad.err.toStdString();
    }
}

}  // namespace
}  // namespace qelt
