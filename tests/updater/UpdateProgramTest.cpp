// The `update` program as the client starts it, and the dialog driving a real download, both
// against a loopback update service.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <chrono>
#include <cstdio>
#include <thread>

#include "common/Files.h"
#include "support/LoopbackServer.h"
#include "support/TempDir.h"
#include "updater/UpdateDownload.h"
#include "updater/UpdateFileHeader.h"
#include "updater/ui/CUpdateDlg.h"

namespace qelt {
namespace {

using test::LoopbackServer;
using test::TempDir;

std::string Served(const std::string& name, const std::string& content) {
    UpdateFileHeader h;
    h.lastWriteTime = 132223104000000000ull;
    h.sizeLow = static_cast<std::uint32_t>(content.size());
    h.name = name;
    return EncodeUpdateFileHeader(h) + content;
}

/// Serves `stream` once on `server` from its own thread.
std::thread ServeOnce(LoopbackServer& server, std::string stream) {
    return std::thread([&server, stream = std::move(stream)] {
        if (!server.Accept()) return;
        server.ReadAtLeast(11);
        server.Write(stream);
        server.CloseClient();
    });
}

TEST(UpdateProgram, BatchRunFetchesIntoTheHomeAndIgnoresTheClientsArgument) {
    TempDir home;
    LoopbackServer server;
    ASSERT_TRUE(
        WriteFileAtomic(home.File("config.ini"), "s:127.0.0.1:" + std::to_string(server.Port()) + "\r\n"));
    std::thread serving = ServeOnce(server, Served("qelt.db", "db") + Served("qelt", "program"));
    // The client passes "<address>|<port>"; a wrong one shows that config.ini is used.
    std::string command =
        std::string(QELT_UPDATE_BINARY) + " \"10.255.255.1|1\" --batch --home " + home.Path();
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
    int status = ::pclose(pipe);
    serving.join();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;
    EXPECT_EQ(output.substr(output.size() - std::string("下载完成!\n").size()), "下载完成!\n");
    EXPECT_EQ(ReadWholeFile(home.File("his/qelt.db")), "db");
    EXPECT_EQ(ReadWholeFile(home.File("qelt")), "program");
}

TEST(UpdateProgram, DialogShowsDoneAfterARealDownload) {
    static int argc = 1;
    static char name[] = "qelt_updater_ui_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);

    TempDir home;
    LoopbackServer server;
    ASSERT_TRUE(
        WriteFileAtomic(home.File("config.ini"), "s:127.0.0.1:" + std::to_string(server.Port()) + "\r\n"));
    std::thread serving = ServeOnce(server, Served("a.txt", std::string(3000, 'a')));
    CUpdateDlg dlg([&home](const UpdateProgress& progress, const std::atomic<bool>& stop) {
        UpdateOptions options;
        options.stop = &stop;
        RunUpdate(home.Path(), progress, options);
    });
    dlg.Start();
    auto* ok = dlg.findChild<QPushButton*>("ok");
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!ok->isEnabled() && std::chrono::steady_clock::now() < deadline)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    serving.join();
    EXPECT_EQ(dlg.findChild<QLabel*>("status")->text().toStdString(), "下载完成!");
    EXPECT_EQ(ReadWholeFile(home.File("a.txt")), std::string(3000, 'a'));
}

}  // namespace
}  // namespace qelt
