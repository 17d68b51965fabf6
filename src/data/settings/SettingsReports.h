#pragma once
/// How a settings file that could not be written, or that exists but could not be read (and so
/// is never written over this run: SettingsFile), is told: once per file and run, in qelt.log
/// and through the application's message box; the value stays in effect in memory and every
/// later change tries the file again. Every settings file the client rewrites goes through
/// here (mylist.ini, indi.ini, alarm.ini, myline.txt, head.ini, mutiview.ini, winfile.ini,
/// logscale.ini, mainformula.ini, formulaparam.ini; config.ini's dialog shows the same texts itself).
///
/// Interface thread only.
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace qelt {

inline constexpr const char* kSelfSelectedFileName = "mylist.ini";
inline constexpr const char* kIndicatorFileName = "indi.ini";
inline constexpr const char* kServerListFileName = "config.ini";
inline constexpr const char* kAlarmFileName = "alarm.ini";
inline constexpr const char* kMyLineFileName = "myline.txt";
inline constexpr const char* kHeadFileName = "head.ini";
inline constexpr const char* kMultiGoodsFileName = "mutiview.ini";
/// The values of the user's formulas' parameters (formula/FormulaValueTable.h).
inline constexpr const char* kFormulaValuesFileName = "formulaparam.ini";

class SettingsReports {
  public:
    /// Shows one message (text, caption); the application's message box.
    using Sink = std::function<void(const std::string& text, const std::string& caption)>;

    /// Where the messages go. Until there is a sink they wait (a file read at start-up is
    /// reported once the main window is there); setting one shows the waiting messages.
    void SetSink(Sink sink);

    /// `fileName` could not be written: "无法保存<what>！" the first time this run.
    void WriteFailed(const std::string& fileName);
    /// `fileName` exists but could not be read, so this run leaves it as it is:
    /// "无法读取<what>（<file>），本次运行不会改写它！" the first time this run.
    void ReadFailed(const std::string& fileName);
    /// Whether `fileName` was reported this run.
    bool Reported(const std::string& fileName) const { return m_reported.count(fileName) != 0; }

    /// What the user calls the content of `fileName` ("预警设置" for alarm.ini); the file
    /// name itself for a file without a name of its own.
    static std::string ContentOf(const std::string& fileName);
    /// The texts WriteFailed and ReadFailed show.
    static std::string WriteFailedText(const std::string& fileName);
    static std::string ReadFailedText(const std::string& fileName);

  private:
    void Report(const std::string& fileName, const std::string& logText, const std::string& text);

    Sink m_sink;
    std::set<std::string> m_reported;
    std::vector<std::string> m_waiting;
};

}  // namespace qelt
