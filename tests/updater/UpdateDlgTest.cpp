// The progress dialog: status texts, the bar and "确定", driven by posted progress events.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <chrono>
#include <thread>

#include "common/Messages.h"
#include "updater/ui/CUpdateApp.h"
#include "updater/ui/CUpdateDlg.h"

namespace qelt {
namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "qelt_updater_ui_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
    return *qApp;
}

struct DialogParts {
    QLabel* status;
    QProgressBar* bar;
    QPushButton* ok;
};

DialogParts Parts(CUpdateDlg& dlg) {
    return {dlg.findChild<QLabel*>("status"), dlg.findChild<QProgressBar*>("progress"),
            dlg.findChild<QPushButton*>("ok")};
}

void Post(CUpdateDlg& dlg, int code, const QString& file = {}) {
    QCoreApplication::postEvent(&dlg, new UpdateProgressEvent(code, file));
    QCoreApplication::processEvents();
}

TEST(CUpdateDlg, OkStaysDisabledUntilTheDownloadEnds) {
    App();
    CUpdateDlg dlg(nullptr);
    DialogParts p = Parts(dlg);
    ASSERT_TRUE(p.status && p.bar && p.ok);
    EXPECT_EQ(dlg.windowTitle().toStdString(), "Qelt行情系统自动更新");
    EXPECT_EQ(p.status->text().toStdString(), "下载进度");
    EXPECT_EQ(p.ok->text().toStdString(), "确定");
    EXPECT_FALSE(p.ok->isEnabled());
    auto* about = dlg.findChild<QAction*>("about");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->text().toStdString(), "关于 Update(&A)...");
    EXPECT_TRUE(dlg.actions().contains(about)) << "reachable from the dialog's context menu";

    Post(dlg, 0);
    EXPECT_EQ(p.status->text().toStdString(), "开始下载...");
    Post(dlg, 40, QStringLiteral("qelt.db"));
    EXPECT_EQ(p.status->text().toStdString(), "正在下载qelt.db...40%");
    EXPECT_EQ(p.bar->value(), 40);
    Post(dlg, 99, QStringLiteral("qelt.db"));
    EXPECT_FALSE(p.ok->isEnabled());
    Post(dlg, 100);
    EXPECT_EQ(p.status->text().toStdString(), "下载完成!");
    EXPECT_EQ(p.bar->value(), 100);
    EXPECT_TRUE(p.ok->isEnabled());
}

TEST(CUpdateDlg, FailureAndBreakEnableOkAndLeaveTheBar) {
    App();
    for (int code : {-1, -2}) {
        CUpdateDlg dlg(nullptr);
        DialogParts p = Parts(dlg);
        Post(dlg, 30, QStringLiteral("a"));
        Post(dlg, code);
        EXPECT_TRUE(p.ok->isEnabled()) << code;
        EXPECT_EQ(p.bar->value(), 30) << code;
        EXPECT_EQ(p.status->text().toStdString(),
                  code == -1 ? "无法连接服务器，下载失败！" : "下载中断，更新未完成！");
    }
}

TEST(CUpdateDlg, DownloadThreadPostsAndClosingStopsIt) {
    App();
    std::atomic<bool> stopped{false};
    CUpdateDlg dlg([&](const UpdateProgress& progress, const std::atomic<bool>& stop) {
        progress(0, {});
        progress(50, "行情.txt");
        while (!stop) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        stopped = true;
    });
    dlg.Start();
    DialogParts p = Parts(dlg);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (p.bar->value() != 50 && std::chrono::steady_clock::now() < deadline)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(p.status->text().toStdString(), "正在下载行情.txt...50%");
    EXPECT_FALSE(p.ok->isEnabled());
    dlg.reject();
    EXPECT_TRUE(stopped) << "closing the window waits for the download to stop";
}

TEST(CUpdateApp, BatchFlagIsFoundAnywhere) {
    const char* withBatch[] = {"update", "127.0.0.1|3500", "--batch"};
    const char* without[] = {"update", "127.0.0.1|3500"};
    EXPECT_TRUE(CUpdateApp::WantsBatch(3, withBatch));
    EXPECT_FALSE(CUpdateApp::WantsBatch(2, without));
}

// The updater's window shows the client's icon: the pictures are built into the updater too.
TEST(CUpdateApp, CarriesTheClientsIconAtEverySize) {
    App();
    for (const int size : {48, 128, 256}) {
        const QImage image(QStringLiteral(":/icons/%1x%1/apps/qelt.png").arg(size));
        EXPECT_EQ(image.size(), QSize(size, size)) << size;
    }
}

}  // namespace
}  // namespace qelt
