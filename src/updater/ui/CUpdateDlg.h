#pragma once
/// `CUpdateDlg`: the updater's one window. It starts the download on its own thread and
/// follows it through WM_UPDATE_PROGRESS: a status line, a bar from 0 to 100 and "确定",
/// which stays disabled until the download has ended one way or the other. Closing the
/// window early stops the download; a file in the middle of arriving is then dropped, the
/// old one stays.
#include <QDialog>
#include <QEvent>
#include <QString>
#include <atomic>
#include <functional>
#include <thread>

#include "updater/UpdateDownload.h"

class QAction;
class QLabel;
class QProgressBar;
class QPushButton;

namespace qelt {

/// WM_UPDATE_PROGRESS as a posted event: the code and its own copy of the current file name,
/// so the download thread never shares a string with the dialog.
class UpdateProgressEvent : public QEvent {
  public:
    UpdateProgressEvent(int code, QString fileName);
    int Code() const { return m_code; }
    const QString& FileName() const { return m_fileName; }

  private:
    int m_code;
    QString m_fileName;
};

class CUpdateDlg : public QDialog {
    Q_OBJECT
  public:
    /// The download to run; it must return soon after `stop` turns true.
    using Job = std::function<void(const UpdateProgress& progress, const std::atomic<bool>& stop)>;

    explicit CUpdateDlg(Job job, QWidget* parent = nullptr);
    ~CUpdateDlg() override;

    /// Status "开始下载...", bar at 0, download thread started. Once only.
    void Start();

    /// Applies one progress code, as the posted event does.
    void OnProgress(int code, const QString& fileName);

    static QString Title() { return QStringLiteral("Qelt行情系统自动更新"); }

  public slots:
    void reject() override;

  protected:
    bool event(QEvent* e) override;

  private:
    void StopDownload();
    static void ShowAbout(QWidget* parent);

    Job m_job;
    QLabel* m_status = nullptr;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_ok = nullptr;
    QAction* m_about = nullptr;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
};

}  // namespace qelt
