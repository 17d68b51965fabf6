#pragma once
/// `CQeltMsg` (dialog 195, "市场公告"): the last notice of the server, in a read-only text
/// box that has the focus.
#include <QDialog>

class QTextEdit;

namespace qelt {

class CQeltMsg : public QDialog {
    Q_OBJECT
  public:
    explicit CQeltMsg(const QString& notice, QWidget* parent = nullptr);
    void SetNotice(const QString& notice);

  private:
    QTextEdit* m_text;
};

/// The about box (dialog 100).
class AboutDialog : public QDialog {
    Q_OBJECT
  public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace qelt
