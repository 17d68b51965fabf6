#include "app/AlarmLog.h"

#include <string_view>

#include "common/FileAppend.h"
#include "common/Files.h"
#include "common/Text.h"

namespace qelt {
namespace {

/// The lines of a log file after its header (the whole text when it has none of ours).
std::string_view LogBody(std::string_view text) {
    const std::string_view header = kAlarmLogHeader;
    if (text.starts_with(header)) text.remove_prefix(header.size());
    return text;
}

}  // namespace

std::string AlarmLogLine(const AlarmLogRecord& record) {
    const std::string fields[] = {record.date,    record.time,    record.kind, record.name,
                                  record.goodsNo, record.dueDate, record.price};
    std::string line;
    AppendCsvLine(line, fields);
    return line;
}

AlarmLog::AlarmLog(std::string programDirectory, Tell tell, std::uint64_t limit)
    : m_directory(std::move(programDirectory)), m_tell(std::move(tell)), m_limit(limit) {}

std::string AlarmLog::FailedText() { return std::string("无法写入预警记录（") + kAlarmLogFileName + "）！"; }

void AlarmLog::Failed() {
    if (m_told) return;
    m_told = true;
    if (m_tell) m_tell(FailedText());
}

bool AlarmLog::Append(const std::vector<AlarmLogRecord>& records) {
    // Hits arrive a few at a time: each goes in on its own, so the file rotates at a line.
    bool ok = true;
    for (const AlarmLogRecord& record : records) ok = AppendLines(AlarmLogLine(record)) && ok;
    return ok;
}

bool AlarmLog::AppendLines(const std::string& lines) {
    const std::string path = Path();
    std::uint64_t size = RegularFileSize(path).value_or(0);
    if (size > 0 && size + lines.size() > m_limit) {
        if (!RenameFile(path, OlderPath())) {
            Failed();
            return false;
        }
        size = 0;
    }
    const std::string text = size == 0 ? kAlarmLogHeader + lines : lines;
    if (AppendToFile(path, text)) return true;
    Failed();
    return false;
}

std::string AlarmLog::ExportText() const {
    std::string text = kAlarmLogHeader;
    for (const std::string& path : {OlderPath(), Path()})
        if (const std::optional<std::string> bytes = ReadWholeFile(path, 2 * m_limit + 4096))
            text += LogBody(*bytes);
    return text;
}

}  // namespace qelt
