// The frame's commands in the offline client: states read when a menu opens, a disabled
// command that does nothing whichever way it arrives, the exports' confirmation in the status
// bar, and a view kind of its own that gets its menu entry, its button and its switch.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QToolBar>

#include "OfflineOptions.h"
#include "TestApplication.h"
#include "common/Commands.h"
#include "common/Files.h"
#include "common/Messages.h"
#include "support/TempDir.h"
#include "ui/CMainFrame.h"
#include "ui/CQeltApp.h"
#include "ui/CQeltPassWord.h"
#include "ui/QtPoster.h"
#include "ui/ViewHostWidget.h"

namespace qelt {
namespace {

using test::App;
using test::OfflineOptions;

/// The menu of the menu bar that holds `action`.
QMenu* MenuOf(CMainFrame& frame, QAction* action) {
    for (QMenu* menu : frame.menuBar()->findChildren<QMenu*>())
        if (menu->actions().contains(action)) return menu;
    return nullptr;
}

class FrameCommands : public ::testing::Test {
  protected:
    FrameCommands() : app((App(), OfflineOptions(home))) {}
    void SetUp() override { ASSERT_TRUE(app.InitInstance()); }
    void TearDown() override {
        if (app.Frame()) app.Frame()->close();
    }
    test::TempDir home;
    CQeltApp app;
};

TEST_F(FrameCommands, MenusReadTheStatesWhenTheyOpenAndDisabledCommandsDoNothing) {
    CMainFrame& frame = *app.Frame();
    QAction* alarmOn = frame.Action(cmd::kAlarmOn);
    ASSERT_NE(alarmOn, nullptr);
    EXPECT_TRUE(alarmOn->isEnabled());
    app.Settings().SetAlarmWindowOn(true);  // switched on elsewhere (the alarm list's button)
    QMenu* menu = MenuOf(frame, alarmOn);
    ASSERT_NE(menu, nullptr);
    emit menu->aboutToShow();
    EXPECT_FALSE(alarmOn->isEnabled()) << "the menu shows the state as it is when it opens";
    EXPECT_TRUE(frame.Action(cmd::kAlarmOff)->isEnabled());

    // 修改密码 offline, from a menu entry shown enabled a moment ago and from the context.
    int passwordDialogs = 0;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<CQeltPassWord*>(w); dialog && dialog->isVisible()) {
                ++passwordDialogs;
                dialog->reject();
            }
    });
    watcher.start(10);
    QAction* password = frame.Action(cmd::kPassword);
    password->setEnabled(true);  // as a stale menu would show it
    password->trigger();
    EXPECT_FALSE(app.Context().RunCommand(cmd::kPassword));
    EXPECT_EQ(passwordDialogs, 0) << "no password dialog while offline";
    EXPECT_FALSE(password->isEnabled()) << "the states are read again after a command";
}

TEST_F(FrameCommands, WrittenExportsAreConfirmedInTheStatusBar) {
    struct Dialog : SaveFileDialog {
        std::string path;
        std::optional<std::string> AskSavePath(const SaveRequest&) override { return path; }
    } dialog;
    ViewHostWidget* host = app.HostWidget();
    ASSERT_NE(host, nullptr);
    host->SetSaveDialog(&dialog);
    dialog.path = home.File("board.csv");
    ASSERT_TRUE(app.Context().RunCommand(cmd::kExportCsv));
    EXPECT_TRUE(FileExists(dialog.path));
    EXPECT_EQ(app.Frame()->StatusText(),
              QString::fromUtf8("已导出到文件：") + QString::fromStdString(dialog.path));

    dialog.path = home.File("board.txt");
    ASSERT_TRUE(app.Context().RunCommand(cmd::kExportText));
    EXPECT_TRUE(app.Frame()->StatusText().endsWith("board.txt"));

    app.Frame()->ShowStatus("");
    dialog.path.clear();  // cancelled: nothing to confirm
    app.Context().RunCommand(cmd::kExportCsv);
    EXPECT_TRUE(app.Frame()->StatusText().isEmpty());
    host->SetSaveDialog(nullptr);
}

/// Stands in for a view kind the client does not have.
class OwnKindView : public View {
  public:
    explicit OwnKindView(int argument) : argument(argument) {}
    void Paint(Canvas& canvas, Size client, const DisplayScheme&) override {
        canvas.FillRect({0, 0, client.cx, client.cy}, 0);
    }
    std::optional<std::vector<std::string>> StandingRequests() const override {
        return std::vector<std::string>{"real::0101:20070325:1:"};
    }
    int argument;
};

TEST_F(FrameCommands, AViewKindOfItsOwnIsOneRegistration) {
    constexpr int kOwnKind = 8;
    constexpr int kOwnCommand = 40008;
    ViewKind kind;
    kind.id = kOwnKind;
    kind.name = "自选分析";
    kind.command = kOwnCommand;
    kind.menuText = "自选分析\tF8";
    kind.toolbarText = "自";
    kind.factory = [](ViewServices&, int argument) { return std::make_unique<OwnKindView>(argument); };
    app.Context().RegisterView(kind);

    CMainFrame& frame = *app.Frame();
    QAction* action = frame.Action(kOwnCommand);
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->text(), QString::fromUtf8("自选分析\tF8"));
    QMenu* analysis = MenuOf(frame, action);
    ASSERT_NE(analysis, nullptr);
    const QList<QAction*> entries = analysis->actions();
    EXPECT_EQ(entries.indexOf(action), 6) << "after the client's six kinds, before the separator";
    EXPECT_TRUE(entries.at(7)->isSeparator());
    auto* bar = frame.findChild<QToolBar*>("mainToolBar");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->actions().indexOf(action), 5) << "its button after the client's five";
    EXPECT_TRUE(action->isEnabled());

    action->trigger();
    EXPECT_EQ(app.Context().ActiveKind(), kOwnKind);
    auto* view = dynamic_cast<OwnKindView*>(app.Context().ActiveView());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->argument, 1);
    WindowMessageEvent withArgument(WM_SWITCH_VIEW, kOwnKind, 3);
    QCoreApplication::sendEvent(&app, &withArgument);
    view = dynamic_cast<OwnKindView*>(app.Context().ActiveView());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->argument, 3) << "the switch's argument reaches the factory";
    WindowMessageEvent unknown(WM_SWITCH_VIEW, 9, 0);
    QCoreApplication::sendEvent(&app, &unknown);
    EXPECT_EQ(app.Context().ActiveKind(), kOwnKind) << "a kind nobody registered changes nothing";
}

}  // namespace
}  // namespace qelt
