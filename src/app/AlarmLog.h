#pragma once
/// alarmlog.csv in the program directory: every alarm hit, the server's and the conditions',
/// appended as it is shown, so a trader keeps a record beyond the window. UTF-8, one header
/// line "日期,时间,类别,名称,品种,交货月,价格", then one line per hit: the date (YYYYMMDD) and
/// time (HH:MM:SS) it was shown at, its kind as the window's 类别 column shows it ("服务器",
/// "条件：<formula name>"), the goods' name, goods number, delivery month and price. A line that
/// would take the file past 1 MB first moves it to alarmlog.1.csv (replacing the older one)
/// and starts a new file. A write that fails is told once per run; the hits stay in the window.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qelt {

inline constexpr const char* kAlarmLogFileName = "alarmlog.csv";
inline constexpr const char* kAlarmLogOlderFileName = "alarmlog.1.csv";
inline constexpr std::uint64_t kAlarmLogLimit = 1u << 20;
inline constexpr const char* kAlarmLogHeader = "日期,时间,类别,名称,品种,交货月,价格\r\n";

struct AlarmLogRecord {
    std::string date;  ///< YYYYMMDD
    std::string time;  ///< HH:MM:SS
    std::string kind;  ///< "服务器" or "条件：<formula name>"
    std::string name;  ///< the goods' name
    std::string goodsNo;
    std::string dueDate;
    std::string price;
};

/// The record as one CSV line with its "\r\n": a field holding a comma, a quote or a line
/// end is quoted, its quotes doubled.
std::string AlarmLogLine(const AlarmLogRecord& record);

class AlarmLog {
  public:
    /// Tells the user once that the log could not be written.
    using Tell = std::function<void(const std::string& text)>;

    /// `programDirectory` ends in "/"; `limit` is the size a file may reach (tests make it small).
    AlarmLog(std::string programDirectory, Tell tell, std::uint64_t limit = kAlarmLogLimit);

    /// Appends the records (rotating first when they would take the file past the limit);
    /// false when they were not all written.
    bool Append(const std::vector<AlarmLogRecord>& records);

    /// What 导出记录 saves: the older file's lines, then the current one's, under one header.
    std::string ExportText() const;

    std::string Path() const { return m_directory + kAlarmLogFileName; }
    std::string OlderPath() const { return m_directory + kAlarmLogOlderFileName; }
    /// The message Tell shows.
    static std::string FailedText();

  private:
    bool AppendLines(const std::string& lines);
    void Failed();

    std::string m_directory;
    Tell m_tell;
    std::uint64_t m_limit;
    bool m_told = false;
};

}  // namespace qelt
