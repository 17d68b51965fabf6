#include "data/settings/IndicatorParameters.h"

#include "common/Files.h"
#include "common/Numbers.h"
#include "common/Split.h"

namespace qelt {
namespace {

constexpr std::array<int, kIndicatorParameterCount> kDefaults{
    12, 26, 9,  6,  12, 24, 14, 12, 6, 26, 6,  10, 9, 3,  3,  14, 9, 5, 5,  10, 20, 14, 6, 10, 6, 20,
    5,  10, 20, 30, 60, 6,  4,  2,  2, 20, 23, 8,  5, 13, 34, 60, 3, 6, 12, 24, 12, 50, 0, 0,  0, 1};

constexpr std::array<std::string_view, kIndicatorParameterCount> kLabels{"日快线移动平均",
                                                                         "日慢线移动平均",
                                                                         "日移动平均",
                                                                         "日RSI",
                                                                         "日RSI",
                                                                         "日RSI",
                                                                         "天",
                                                                         "日变动率",
                                                                         "日移动平均",
                                                                         "日成交量变异率",
                                                                         "日移动平均",
                                                                         "日移动平均",
                                                                         "天",
                                                                         "天",
                                                                         "天",
                                                                         "日EMV",
                                                                         "日移动平均",
                                                                         "日加速线",
                                                                         "日移动平均",
                                                                         "日移动平均",
                                                                         "日移动平均",
                                                                         "日DMI",
                                                                         "日移动平均",
                                                                         "日威廉指标",
                                                                         "日威廉指标",
                                                                         "日布林线",
                                                                         "日移动平均",
                                                                         "日移动平均",
                                                                         "日移动平均",
                                                                         "日移动平均",
                                                                         "日移动平均",
                                                                         "日移动平均",
                                                                         "天",
                                                                         "加速因子增量",
                                                                         "加速因子参数",
                                                                         "反向临界参数",
                                                                         "天",
                                                                         "日移动平均",
                                                                         "日成本价均线",
                                                                         "日成本价均线",
                                                                         "日成本价均线",
                                                                         "日成本价均线",
                                                                         "日移动平均",
                                                                         "日移动平均",
                                                                         "日移动平均",
                                                                         "日移动平均",
                                                                         "天",
                                                                         "天",
                                                                         "点指数(0为自动调整)",
                                                                         "元生丝(0为自动调整)",
                                                                         "元干茧(0为自动调整)",
                                                                         "格转向"};

}  // namespace

const std::array<int, kIndicatorParameterCount>& DefaultIndicatorParameters() { return kDefaults; }

std::string_view ParameterLabel(int position) {
    if (position < 0 || position >= kIndicatorParameterCount) return {};
    return kLabels[static_cast<size_t>(position)];
}

std::vector<int> ParseIndicatorValues(std::string_view text) {
    std::vector<int> values;
    for (std::string_view token : SplitViews(text, ",")) values.push_back(LeadingInt(token));
    return values;
}

std::string FormatIndicatorValues(const std::array<int, kIndicatorParameterCount>& values) {
    std::string out;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i) out += ',';
        out += FormatInt(values[i]);
    }
    return out;
}

void IndicatorParameters::Load(const std::string& programDirectory) {
    SetFromText(ReadWholeFile(programDirectory + "indi.ini", kMaxIndicatorFileBytes).value_or(""));
}

void IndicatorParameters::SetFromText(std::string_view text) {
    SetDefaults();
    std::vector<int> values = ParseIndicatorValues(text);
    for (size_t i = 0; i < values.size() && i < m_values.size(); ++i) m_values[i] = values[i];
}

}  // namespace qelt
