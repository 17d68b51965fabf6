// A server outside our control, scripted over loopback: floods of replies during the login
// must leave the interface answering.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <chrono>
#include <thread>

#include "LoginDeadline.h"
#include "TestApplication.h"
#include "common/ServerList.h"
#include "data/settings/RememberedLogin.h"
#include "support/LoopbackServer.h"
#include "support/TempDir.h"
#include "ui/CMainFrame.h"
#include "ui/CQeltApp.h"
#include "ui/CQeltLogin.h"

namespace qelt {
namespace {

using namespace std::chrono_literals;
using test::App;

/// 3,000 category replies while the dialog synchronises: each asks for the board again, and
/// a command that paused 100 ms on the interface thread would freeze it for five minutes.
TEST(HostileServer, ThousandsOfCategoryRepliesLeaveTheLoginDialogAnswering) {
    App();
    test::TempDir home;
    test::LoopbackServer server;
    WriteServerList(home.Path(), {{"flood", "127.0.0.1", std::to_string(server.Port())}});
    WriteRememberedLogin(home.Path(), {"demo", "demo"});
    std::thread peer([&] {
        if (!server.Accept(10s)) return;
        std::string replies = "login:0|欢迎|1|ENDver:0|END";
        for (int i = 0; i < 3000; ++i) replies += "category:0101|生丝|0||END";
        server.Write(replies);
        server.ReadFor(4s);  // keeps the connection until the client gives up
    });
    int ticks = 0;
    int ticksWhenFlooded = -1;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        ++ticks;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<CQeltLogin*>(w);
            if (!dialog || dialog->Flow().Progress() < 20) continue;  // the categories are arriving
            if (ticksWhenFlooded < 0) ticksWhenFlooded = ticks;
            if (ticks - ticksWhenFlooded >= 50) dialog->reject();  // 50 turns of the loop later
        }
    });
    ticker.start(10);
    AppOptions o;
    o.programDirectory = home.Path();
    o.autoLogin = true;  // the default 100 ms pause after each command
    test::LoginDeadline deadline;
    CQeltApp app(o);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(app.InitInstance());
    EXPECT_GE(ticksWhenFlooded, 0) << "the categories arrived";
    // 50 turns of a 10 ms timer: about half a second; a 100 ms pause per reply would take 5 s.
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s) << "the interface did not freeze";
    app.Socket().Shutdown();
    peer.join();
}

}  // namespace
}  // namespace qelt
