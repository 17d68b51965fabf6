#include "indicators/IndicatorCatalogue.h"

#include <array>

#include "common/Text.h"

namespace qelt {
namespace {

constexpr int kNone[] = {0};  // placeholder storage; spans below take zero elements of it
constexpr int kVr[] = {9, 10};
constexpr int kObv[] = {11};
constexpr int kPvt[] = {31};
constexpr int kMacd[] = {0, 1, 2};
constexpr int kDmi[] = {21, 22};
constexpr int kBoll[] = {25};
// The SAR rows show the initial factor (34) before the step (33).
constexpr int kSar[] = {32, 34, 33, 35};
constexpr int kJs[] = {17, 18, 19, 20};
constexpr int kExpma[] = {46, 47};
constexpr int kRsi[] = {3, 4, 5};
constexpr int kRoc[] = {7, 8};
constexpr int kKdj[] = {12, 13, 14};
constexpr int kEmv[] = {15, 16};
constexpr int kWr[] = {23, 24};
constexpr int kAdtm[] = {36, 37};
constexpr int kBbi[] = {42, 43, 44, 45};
constexpr int kAmv[] = {38, 39, 40, 41};
constexpr int kCci[] = {6};
constexpr int kMa[] = {26, 27, 28, 29, 30};
constexpr int kOxgz[] = {48, 49, 50, 51};

constexpr std::span<const int> kEmpty(kNone, 0);

using G = IndicatorGroup;
const std::array<IndicatorInfo, 23> kCatalogue{{
    {"VOL", G::VolumePosition, 1, "VOL    成交量", "VOL   成交量", kEmpty},
    {"CCL", G::VolumePosition, 2, "CCL    净持仓量", "CCL   净持仓量", kEmpty},
    {"VR", G::VolumePosition, 3, "VR     成交量变异率", "VR    成交量变异率", kVr},
    {"OBV", G::VolumePosition, 4, "OBV    累计能量线", "OBV   累计能量线", kObv},
    {"PVT", G::VolumePosition, 5, "PVT    价量趋势指数", "PVT   价量趋势指数", kPvt},
    {"MACD", G::Trend, 21, "MACD   平滑异同平均", "MACD  平滑异同平均", kMacd},
    {"DMI", G::Trend, 22, "DMI    趋向指标", "DMI   趋向指标", kDmi},
    {"BOLL", G::Trend, 23, "BOLL   布林线", "BOLL  布林线", kBoll},
    {"SAR", G::Trend, 24, "SAR    止损点", "SAR   止损点", kSar},
    {"JS", G::Trend, 25, "JS     加速线", "JS    加速线", kJs},
    {"CDP", G::Trend, 26, "CDP    逆势操作", "CDP   逆势操作", kEmpty},
    {"EXPMA", G::Trend, 27, "EXPMA  指数平均线", "EXPMA 指数平均线", kExpma},
    {"RSI", G::Oscillator, 41, "RSI    相对强弱", "RSI   相对强弱", kRsi},
    {"ROC", G::Oscillator, 42, "ROC    变动率指标", "ROC   变动率指标", kRoc},
    {"KDJ", G::Oscillator, 43, "KDJ    随机指标", "KDJ   随机指标", kKdj},
    {"EMV", G::Oscillator, 44, "EMV    简易波动指标", "EMV   简易波动指标", kEmv},
    {"WR", G::Oscillator, 45, "WR     威廉指标", "WR    威廉指标", kWr},
    {"ADTM", G::Oscillator, 46, "ADTM   动态买卖气指标", "ADTM  动态买卖气指标", kAdtm},
    {"BBI", G::Oscillator, 47, "BBI    多空指数", "BBI   多空指数", kBbi},
    {"AMV", G::Oscillator, 48, "AMV    成本价均线", "AMV   成本价均线", kAmv},
    {"CCI", G::Oscillator, 49, "CCI    商品路径指标", "CCI   商品路径指标", kCci},
    {"MA", G::MainChart, 0, "", "MA    移动平均线", kMa},
    {"OXGZ", G::MainChart, -1, "", "OXGZ  OX图格值设置", kOxgz},
}};

constexpr std::array<std::string_view, 22> kKeyList{
    "MA",  "VOL",   "CCL", "VR",  "OBV", "PVT", "MACD", "DMI",  "BOLL", "SAR", "JS",
    "CDP", "EXPMA", "RSI", "ROC", "KDJ", "EMV", "WR",   "ADTM", "BBI",  "AMV", "CCI"};

}  // namespace

std::string_view GroupText(IndicatorGroup group) {
    switch (group) {
        case IndicatorGroup::VolumePosition:
            return "量仓指标";
        case IndicatorGroup::Trend:
            return "趋势指标";
        case IndicatorGroup::Oscillator:
            return "摆动指标";
        case IndicatorGroup::MainChart:
            return "主图参数";
    }
    return {};
}

std::span<const IndicatorInfo> IndicatorCatalogue() { return kCatalogue; }

const IndicatorInfo* FindIndicatorByKey(std::string_view key) {
    for (const IndicatorInfo& info : kCatalogue)
        if (info.key == key) return &info;
    return nullptr;
}

const IndicatorInfo* FindIndicatorByCode(int code) {
    int position = CodeToKeyPosition(code);
    return position < 0 ? nullptr : FindIndicatorByKey(kKeyList[static_cast<size_t>(position)]);
}

std::span<const std::string_view> IndicatorKeyList() { return kKeyList; }

int CodeToKeyPosition(int code) {
    if (code < 0) return -1;
    int position = code <= 20 ? code : code <= 40 ? code - 15 : code - 28;
    // Codes in the gaps between the groups (6 to 20, 28 to 40) would land on another
    // group's keys; they name no indicator.
    if ((code > 5 && code <= 20) || (code > 27 && code <= 40)) return -1;
    return position < static_cast<int>(kKeyList.size()) ? position : -1;
}

std::string_view KeyFromTreeText(std::string_view treeText) { return TrimRight(treeText.substr(0, 6)); }

bool HasNoParameters(std::string_view key) { return key == "VOL" || key == "CCL" || key == "CDP"; }

}  // namespace qelt
