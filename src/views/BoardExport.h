#pragma once
/// Export of the quote board to a CSV file ("导出到EXCEL") or a tab-separated text file
/// ("导出到文本文件"): the first nine row texts of every row, in store order, in GBK with
/// "\r\n" line ends. A CSV field holding a comma, a double quote or a line break is quoted
/// as CSV readers expect (CsvField); the tab-separated text stays as it is. The file name
/// comes from a save dialog behind a small interface, so the export is tested without a
/// modal window; a cancelled dialog abandons the export.
#include <optional>
#include <string>
#include <vector>

#include "views/BoardRow.h"
#include "views/ExportFile.h"

namespace qelt {

using BoardExportKind = ExportKind;

SaveRequest SaveRequestFor(BoardExportKind kind);
/// The file content in UTF-8 (converted to GBK when written).
std::string BoardExportText(BoardExportKind kind, const std::vector<BoardRow>& rows);
/// Asks for a file name and writes the export. A file that cannot be written is left as it
/// was (Failed).
ExportResult ExportBoard(BoardExportKind kind, const std::vector<BoardRow>& rows, SaveFileDialog& dialog);

}  // namespace qelt
