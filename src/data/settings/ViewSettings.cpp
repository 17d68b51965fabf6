#include "data/settings/ViewSettings.h"

#include "common/Gbk.h"
#include "common/Numbers.h"
#include "data/settings/HeadFile.h"
#include "data/settings/KLineSettingsFiles.h"
#include "data/settings/SettingsReports.h"

namespace qelt {
namespace {

std::optional<std::string> HeadFromBytes(const std::optional<std::string>& bytes) {
    if (!bytes) return std::nullopt;
    return GbkToUtf8(*bytes);
}

std::string HeadToBytes(const std::optional<std::string>& text) { return Utf8ToGbk(text.value_or("")); }

std::optional<std::vector<int>> PanesFromBytes(const std::optional<std::string>& bytes) {
    if (!bytes) return std::nullopt;
    return ParseWinfile(GbkToUtf8(*bytes));
}

std::string PanesToBytes(const std::optional<std::vector<int>>& ids) {
    return Utf8ToGbk(FormatWinfile(ids.value_or(std::vector<int>{})));
}

std::vector<int> MainFormulasFromBytes(const std::optional<std::string>& bytes) {
    if (!bytes) return {};
    return ParseMainFormulas(*bytes);  // digits and "|": GBK and UTF-8 alike
}

std::string MainFormulasToBytes(const std::vector<int>& ids) { return FormatMainFormulas(ids); }

bool LogScaleFromBytes(const std::optional<std::string>& bytes) { return bytes && LeadingInt(*bytes) == 1; }

std::string LogScaleToBytes(const bool& logarithmic) { return logarithmic ? "1" : "0"; }

int PeriodFromBytes(const std::optional<std::string>& bytes) { return ParseKLinePeriod(bytes.value_or("")); }

std::string PeriodToBytes(const int& period) { return FormatKLinePeriod(period); }

MultiGoodsChoices MultiGoodsFromBytes(const std::optional<std::string>& bytes) {
    if (!bytes) return {};
    return ParseMultiGoodsChoices(GbkToUtf8(*bytes));
}

std::string MultiGoodsToBytes(const MultiGoodsChoices& choices) {
    return Utf8ToGbk(FormatMultiGoodsChoices(choices));
}

}  // namespace

ViewSettings::ViewSettings(const std::string& programDirectory, SettingsReports& reports)
    : m_boardColumns(SettingsFile(programDirectory, kHeadFileName, kMaxHeadFileBytes, &reports),
                     HeadFromBytes, HeadToBytes),
      m_kLinePanes(SettingsFile(programDirectory, kWinFileName, kMaxKLineFileBytes, &reports), PanesFromBytes,
                   PanesToBytes),
      m_kLineMainFormulas(SettingsFile(programDirectory, kMainFormulasFileName, kMaxKLineFileBytes, &reports),
                          MainFormulasFromBytes, MainFormulasToBytes),
      m_logScale(SettingsFile(programDirectory, kLogScaleFileName, kMaxKLineFileBytes, &reports),
                 LogScaleFromBytes, LogScaleToBytes),
      m_kLinePeriod(SettingsFile(programDirectory, kPeriodFileName, kMaxKLineFileBytes, &reports),
                    PeriodFromBytes, PeriodToBytes),
      m_multiGoods(SettingsFile(programDirectory, kMultiGoodsFileName, kMaxMultiGoodsFileBytes, &reports),
                   MultiGoodsFromBytes, MultiGoodsToBytes) {}

}  // namespace qelt
