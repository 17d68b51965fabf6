#pragma once
/// The open-file dialog of the imports, behind a small interface as the save dialog of the
/// exports is (views/ExportFile.h), so that an import can be tested without a modal window.
#include <optional>
#include <string>

class QWidget;

namespace qelt {

class OpenFileDialog {
  public:
    virtual ~OpenFileDialog() = default;
    /// The chosen existing file, or nothing when cancelled. `filter` is written as the save
    /// dialog's ("公式文件(*.txt)|*.txt").
    virtual std::optional<std::string> AskOpenPath(const std::string& filter) = 0;
};

class QtOpenFileDialog : public OpenFileDialog {
  public:
    explicit QtOpenFileDialog(QWidget* parent) : m_parent(parent) {}
    std::optional<std::string> AskOpenPath(const std::string& filter) override;

  private:
    QWidget* m_parent;
};

}  // namespace qelt
