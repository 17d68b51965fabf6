#pragma once
/// The save-file dialog of the exports: default name, default extension and filter as the
/// export asks, confirmation before overwriting.
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

  private:
    QWidget* m_parent;
};

}  // namespace qelt
