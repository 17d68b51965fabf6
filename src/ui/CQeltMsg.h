#pragma once
/// `CQeltMsg` (dialog 195, "市场公告"): the last notice of the server, in a read-only text
/// box that has the focus.
#include <QDialog>

namespace qelt {

class CQeltMsg : public QDialog {
    Q_OBJECT
public:
    explicit CQeltMsg(const QString& notice, QWidget* parent = nullptr);
};

/// The about box (dialog 100).
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace qelt
