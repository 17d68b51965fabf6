#pragma once
/// The save-file dialog of the exports: default name, default extension and filter as the
/// export asks, confirmation before overwriting. It opens in the folder the last export of
/// the run was saved to (every export of the client shares it), so a trader who keeps the
/// exports in one folder picks it once a run.
#include <QString>

#include "views/ExportFile.h"

class QWidget;

namespace qelt {

class QtSaveFileDialog : public SaveFileDialog {
  public:
    explicit QtSaveFileDialog(QWidget* parent) : m_parent(parent) {}
    std::optional<std::string> AskSavePath(const SaveRequest& request) override;
    /// "Excel文档(*.CSV)|*.CSV" → "Excel文档(*.CSV)": the filter as the file dialog wants it.
    static QString NameFilter(const std::string& filter);
    /// The folder the next dialog opens in: the last chosen file's folder this run, empty
    /// before the first export (the dialog's own default then).
    static QString LastFolder();
    /// The file the dialog starts with: the default name in the last folder.
    static QString StartFile(const SaveRequest& request);

  private:
    QWidget* m_parent;
};

}  // namespace qelt
