#include "views/ExportFile.h"

#include "common/Files.h"
#include "common/Gbk.h"

namespace qelt {

ExportResult SaveExport(const ExportDocument& document, SaveFileDialog& dialog) {
    const std::optional<std::string> path = dialog.AskSavePath(document.request);
    if (!path || path->empty()) return ExportResult::Cancelled;
    return WriteFileAtomic(*path, Utf8ToGbk(document.content)) ? ExportResult::Written : ExportResult::Failed;
}

}  // namespace qelt
