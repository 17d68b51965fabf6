#include "MainWindow.h"

#include <QLabel>

#include "net/Requests.h"

namespace qelt {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName("mainFrame");
    setMinimumSize(600, 450);
    auto* placeholder = new QLabel(this);
    placeholder->setAutoFillBackground(true);
    placeholder->setStyleSheet("background: black;");
    setCentralWidget(placeholder);
    SetOnline(false);
}

QString MainWindow::TitleFor(bool online) {
    QString title = QString::fromUtf8("Qelt行情分析系统 ") + QString::fromUtf8(kClientVersion.data(),
                                                                            static_cast<int>(kClientVersion.size()));
    if (!online) title += QString::fromUtf8(" [脱机]");
    return title;
}

void MainWindow::SetOnline(bool online) { setWindowTitle(TitleFor(online)); }

}  // namespace qelt
