#include "data/settings/SettingsReports.h"

#include <map>
#include <utility>

#include "common/DiagnosticLog.h"
#include "data/settings/KLineSettingsFiles.h"

namespace qelt {
namespace {

constexpr const char* kCaption = "系统提示";

}  // namespace

std::string SettingsReports::ContentOf(const std::string& fileName) {
    static const std::map<std::string, std::string> kContents = {
        {kSelfSelectedFileName, "自选"},
        {kIndicatorFileName, "指标参数"},
        {kServerListFileName, "服务器列表"},
        {kAlarmFileName, "预警设置"},
        {kMyLineFileName, "画线"},
        {kHeadFileName, "列表设置"},
        {kMultiGoodsFileName, "多股同列的商品"},
        {kWinFileName, "指标窗口的设置"},
        {kLogScaleFileName, "对数坐标的设置"},
        {kMainFormulasFileName, "主图公式的设置"},
        {kPeriodFileName, "分析周期的设置"},
        {kFormulaValuesFileName, "公式的参数"},
        {"condalarm.ini", "条件预警设置"},  // the condition alarms' file (analysis/ConditionAlarmFile.h)
    };
    const auto found = kContents.find(fileName);
    return found == kContents.end() ? fileName : found->second;
}

void SettingsReports::SetSink(Sink sink) {
    m_sink = std::move(sink);
    if (!m_sink) return;
    for (const std::string& text : std::exchange(m_waiting, {})) m_sink(text, kCaption);
}

std::string SettingsReports::WriteFailedText(const std::string& fileName) {
    return "无法保存" + ContentOf(fileName) + "！";
}

std::string SettingsReports::ReadFailedText(const std::string& fileName) {
    return "无法读取" + ContentOf(fileName) + "（" + fileName + "），本次运行不会改写它！";
}

void SettingsReports::WriteFailed(const std::string& fileName) {
    Report(fileName, fileName + " could not be written; the change stays in effect for this run",
           WriteFailedText(fileName));
}

void SettingsReports::ReadFailed(const std::string& fileName) {
    Report(fileName, fileName + " exists but could not be read; it is not written over this run",
           ReadFailedText(fileName));
}

void SettingsReports::Report(const std::string& fileName, const std::string& logText,
                             const std::string& text) {
    Log(logText);
    if (!m_reported.insert(fileName).second) return;
    if (m_sink)
        m_sink(text, kCaption);
    else
        m_waiting.push_back(text);
}

}  // namespace qelt
