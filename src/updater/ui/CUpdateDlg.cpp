#include "updater/ui/CUpdateDlg.h"

#include <QAction>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/Messages.h"
#include "updater/UpdateStatus.h"

namespace qelt {

UpdateProgressEvent::UpdateProgressEvent(int code, QString fileName)
    : QEvent(static_cast<QEvent::Type>(WM_UPDATE_PROGRESS)), m_code(code), m_fileName(std::move(fileName)) {}

CUpdateDlg::CUpdateDlg(Job job, QWidget* parent) : QDialog(parent), m_job(std::move(job)) {
    setWindowTitle(Title());
    setObjectName(QStringLiteral("updateDialog"));

    m_status = new QLabel(QStringLiteral("下载进度"), this);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setMinimumWidth(320);
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("progress"));
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_ok = new QPushButton(QStringLiteral("确定"), this);
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setEnabled(false);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    // The about entry lives in the window's system menu elsewhere; Qt has no access to that
    // menu, so it sits in a small menu bar and in the dialog's context menu.
    m_about = new QAction(QStringLiteral("关于 Update(&A)..."), this);
    m_about->setObjectName(QStringLiteral("about"));
    connect(m_about, &QAction::triggered, this, [this] { ShowAbout(this); });
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    addAction(separator);
    addAction(m_about);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* menuBar = new QMenuBar(this);
    menuBar->addMenu(QStringLiteral("帮助(&H)"))->addAction(m_about);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addWidget(m_status);
    layout->addWidget(m_bar);
    layout->addLayout(buttons);
}

CUpdateDlg::~CUpdateDlg() { StopDownload(); }

void CUpdateDlg::Start() {
    if (m_thread.joinable() || !m_job) return;
    OnProgress(kUpdateStarted, {});
    m_thread = std::thread([this] {
        // Runs on the download thread: only posts. A large file reports after every
        // kilobyte; an unchanged code for the same file would show nothing new.
        int lastCode = kUpdateStarted - 100;
        std::string lastFile;
        m_job(
            [this, &lastCode, &lastFile](int code, const std::string& file) {
                if (code == lastCode && file == lastFile) return;
                lastCode = code;
                lastFile = file;
                QCoreApplication::postEvent(this,
                                            new UpdateProgressEvent(code, QString::fromStdString(file)));
            },
            m_stop);
    });
}

void CUpdateDlg::OnProgress(int code, const QString& fileName) {
    m_status->setText(QString::fromStdString(UpdateStatusText(code, fileName.toStdString())));
    if (code >= 0 && code <= 100) m_bar->setValue(code);
    if (IsFinalUpdateCode(code)) {
        m_ok->setEnabled(true);
        m_ok->setFocus();
    }
}

bool CUpdateDlg::event(QEvent* e) {
    if (e->type() == static_cast<QEvent::Type>(WM_UPDATE_PROGRESS)) {
        auto* progress = static_cast<UpdateProgressEvent*>(e);
        OnProgress(progress->Code(), progress->FileName());
        return true;
    }
    return QDialog::event(e);
}

void CUpdateDlg::reject() {
    StopDownload();
    QDialog::reject();
}

void CUpdateDlg::StopDownload() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
}

void CUpdateDlg::ShowAbout(QWidget* parent) {
    QMessageBox box(QMessageBox::Information, QStringLiteral("关于 Update"), QStringLiteral("Update 1.0 版"),
                    QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("aboutBox"));
    box.exec();
}

}  // namespace qelt
