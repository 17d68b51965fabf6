#pragma once
/// The main frame window: title with the product name and version, " [脱机]" while offline.
#include <QMainWindow>

namespace qelt {

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    /// "Qelt行情分析系统 1.96", with " [脱机]" appended while offline.
    static QString TitleFor(bool online);
    void SetOnline(bool online);
};

}  // namespace qelt
