#pragma once
/// Saving an export: the save dialog behind a small interface (tested without a modal
/// window), the file written as GBK text, atomically. A cancelled dialog abandons the
/// export; a file that cannot be written is left as it was and reported as failed.
#include <optional>
#include <string>

namespace qelt {

/// What the save dialog is asked to show.
struct SaveRequest {
    std::string defaultExtension;  ///< "CSV" / "txt" / "bmp"
    std::string defaultName;       ///< "Qelt行情列表" / "Qelt行情列表.txt"
    std::string filter;            ///< "Excel文档(*.CSV)|*.CSV" / "文本文档(*.txt)|*.txt"
};

class SaveFileDialog {
  public:
    virtual ~SaveFileDialog() = default;
    /// The chosen path (the dialog asks before overwriting), or nothing when cancelled.
    virtual std::optional<std::string> AskSavePath(const SaveRequest& request) = 0;
};

/// A save dialog that remembers the path it gave (for the status line after the save).
class RememberingSaveDialog : public SaveFileDialog {
  public:
    explicit RememberingSaveDialog(SaveFileDialog& dialog) : m_dialog(dialog) {}
    std::optional<std::string> AskSavePath(const SaveRequest& request) override {
        std::optional<std::string> path = m_dialog.AskSavePath(request);
        if (path) chosen = *path;
        return path;
    }
    std::string chosen;

  private:
    SaveFileDialog& m_dialog;
};

enum class ExportResult { Written, Cancelled, Failed };

/// The two text exports: "导出到EXCEL" (comma-separated) and "导出到文本文件" (tab-separated).
enum class ExportKind { Csv, Text };

/// A text export: the save dialog's request and the file content in UTF-8.
struct ExportDocument {
    SaveRequest request;
    std::string content;
};

/// Asks for a path and writes the content as GBK.
ExportResult SaveExport(const ExportDocument& document, SaveFileDialog& dialog);

/// The message box of a failed export (caption "系统提示").
inline constexpr const char* kExportFailedText = "无法保存导出文件！";

}  // namespace qelt
