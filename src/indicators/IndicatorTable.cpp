#include "indicators/IndicatorTable.h"

#include <algorithm>
#include <array>

#include "common/Numbers.h"
#include "indicators/ComputeSupport.h"
#include "indicators/PaneContext.h"

namespace qelt {
namespace {

/// "KEY(p1,p2,...)" with the table values at `positions`.
template <std::size_t N>
std::string Titled(std::string_view key, const IndicatorParameters& table,
                   const std::array<int, N>& positions) {
    std::string title(key);
    title += '(';
    for (std::size_t i = 0; i < N; ++i) {
        if (i) title += ',';
        title += FormatInt(table[positions[i]]);
    }
    return title + ')';
}

std::string SarTitle(const IndicatorParameters& table) {
    // The initial factor (position 34) is shown before the step (position 33).
    auto hundredths = [&](int position) {
        return FormatFixed(static_cast<float>(table[position]) / 100.0f * 100.0f, 0);
    };
    return "SAR(" + FormatInt(table[param::kSarPeriod]) + "," + hundredths(param::kSarInitial) + "," +
           hundredths(param::kSarStep) + "," + hundredths(param::kSarCeiling) + ")";
}

using namespace param;

constexpr std::string_view kVolLines[] = {"VOLUME", "MA5", "MA10"};
constexpr std::string_view kCclLines[] = {"CCL", "MA5", "MA10"};
constexpr std::string_view kVrLines[] = {"VR", "MAVR"};
constexpr std::string_view kObvLines[] = {"OBV"};
constexpr std::string_view kPvtLines[] = {"PVT", "MAPVT"};
constexpr std::string_view kMacdLines[] = {"DIF", "DEA", "MACD"};
constexpr std::string_view kDmiLines[] = {"PDI", "MDI", "ADX", "ADXR"};
constexpr std::string_view kBollLines[] = {"BOLL", "UPPER", "LOWER"};
constexpr std::string_view kSarLines[] = {"SAR"};
constexpr std::string_view kJsLines[] = {"JS", "MA1", "MA2", "MA3"};
constexpr std::string_view kCdpLines[] = {"CDP", "AH", "AL", "NH", "NL"};
constexpr std::string_view kExpmaLines[] = {"EXP1", "EXP2"};
constexpr std::string_view kRsiLines[] = {"RSI1", "RSI2", "RSI3"};
constexpr std::string_view kRocLines[] = {"ROC", "MAROC"};
constexpr std::string_view kKdjLines[] = {"K", "D", "J"};
constexpr std::string_view kEmvLines[] = {"EMV", "MAEMV"};
constexpr std::string_view kWrLines[] = {"WR1", "WR2"};
constexpr std::string_view kAdtmLines[] = {"ADTM", "MAADTM"};
constexpr std::string_view kBbiLines[] = {"BBI"};
constexpr std::string_view kAmvLines[] = {"MA1", "MA2", "MA3", "MA4"};
constexpr std::string_view kCciLines[] = {"CCI"};

constexpr TitleItem kVolItems[] = {{1, 120, 0}, {2, 200, 0}};
constexpr TitleItem kTwoAt190Whole[] = {{0, 120, 0}, {1, 190, 0}};           // VR, WR
constexpr TitleItem kOneWhole[] = {{0, 120, 0}};                             // OBV
constexpr TitleItem kOne[] = {{0, 120, 2}};                                  // SAR, BBI, CCI
constexpr TitleItem kTwoAt200[] = {{0, 120, 2}, {1, 200, 2}};                // PVT, ADTM
constexpr TitleItem kTwoAt190[] = {{0, 120, 2}, {1, 190, 2}};                // ROC, EMV
constexpr TitleItem kTwoAt210[] = {{0, 120, 2}, {1, 210, 2}};                // EXPMA
constexpr TitleItem kThreeBy80[] = {{0, 120, 2}, {1, 200, 2}, {2, 280, 2}};  // MACD, RSI
constexpr TitleItem kKdjItems[] = {{0, 120, 0}, {1, 200, 0}, {2, 280, 0}};
constexpr TitleItem kDmiItems[] = {{0, 120, 2}, {1, 190, 2}, {2, 260, 2}, {3, 350, 2}};
constexpr TitleItem kBollItems[] = {{0, 120, 2}, {1, 210, 2}, {2, 300, 2}};
constexpr TitleItem kJsItems[] = {{0, 120, 2}, {1, 190, 2}, {2, 260, 2}, {3, 330, 2}};
constexpr TitleItem kCdpItems[] = {{0, 40, 2}, {1, 120, 2}, {2, 200, 2}, {3, 280, 2}, {4, 360, 2}};
constexpr TitleItem kAmvItems[] = {{0, 120, 2}, {1, 200, 2}, {2, 280, 2}, {3, 360, 2}};

const IndicatorDefinition kDefinitions[] = {
    {1, "VOL", kVolLines, ComputeVol, nullptr, kVolItems, 0b110, 20, 0, ScaleVol, DrawVolumeBars},
    {2, "CCL", kCclLines, ComputeCcl, nullptr, kVolItems, 0b110, 20, 0, ScaleCcl, DrawVolumeBars},
    {3, "VR", kVrLines, ComputeVr,
     [](const IndicatorParameters& t) {
         return Titled("VR", t, std::array{kVrPeriod, kVrAverage});
     },
     kTwoAt190Whole, 0b11, 20, 2, ScaleVr, nullptr},
    {4, "OBV", kObvLines, ComputeObv,
     [](const IndicatorParameters& t) { return Titled("OBV", t, std::array{kObvAverage}); }, kOneWhole, 0b1,
     20, 2, ScaleObv, nullptr},
    {5, "PVT", kPvtLines, ComputePvt,
     [](const IndicatorParameters& t) { return Titled("PVT", t, std::array{kPvtAverage}); }, kTwoAt200, 0b11,
     20, 2, ScalePvt, nullptr},
    {21, "MACD", kMacdLines, ComputeMacd,
     [](const IndicatorParameters& t) {
         return Titled("MACD", t, std::array{kMacdFast, kMacdSlow, kMacdSignal});
     },
     kThreeBy80, 0b11, 20, 2, ScaleMacd, DrawMacdBars},
    {22, "DMI", kDmiLines, ComputeDmi,
     [](const IndicatorParameters& t) {
         return Titled("DMI", t, std::array{kDmiPeriod, kDmiAverage});
     },
     kDmiItems, 0b1111, 50, 2, ScaleDmi, nullptr},
    {23, "BOLL", kBollLines, ComputeBoll,
     [](const IndicatorParameters& t) { return Titled("BOLL", t, std::array{kBoll}); }, kBollItems, 0b111, 20,
     2, ScaleBoll, nullptr},
    {24, "SAR", kSarLines, ComputeSar, SarTitle, kOne, 0, 20, 2, ScaleSar, DrawSarChart},
    {25, "JS", kJsLines, ComputeJs,
     [](const IndicatorParameters& t) {
         return Titled("JS", t, std::array{kJsPeriod, kJsAverage1, kJsAverage2, kJsAverage3});
     },
     kJsItems, 0b1111, 20, 2, ScaleJs, nullptr},
    {26, "CDP", kCdpLines, ComputeCdp, [](const IndicatorParameters&) { return std::string("CDP "); },
     kCdpItems, 0b11111, 20, 2, ScaleCdp, nullptr},
    {27, "EXPMA", kExpmaLines, ComputeExpma,
     [](const IndicatorParameters& t) {
         return Titled("EXPMA", t, std::array{kExpma1, kExpma2});
     },
     kTwoAt210, 0b11, 20, 2, ScaleExpma, nullptr},
    {41, "RSI", kRsiLines, ComputeRsi,
     [](const IndicatorParameters& t) {
         return Titled("RSI", t, std::array{kRsi1, kRsi2, kRsi3});
     },
     kThreeBy80, 0b111, 20, 2, ScaleRsi, nullptr},
    {42, "ROC", kRocLines, ComputeRoc,
     [](const IndicatorParameters& t) {
         return Titled("ROC", t, std::array{kRocPeriod, kRocAverage});
     },
     kTwoAt190, 0b11, 20, 2, ScaleRoc, nullptr},
    {43, "KDJ", kKdjLines, ComputeKdj,
     [](const IndicatorParameters& t) {
         return Titled("KDJ", t, std::array{kKdj1, kKdj2, kKdj3});
     },
     kKdjItems, 0b111, 20, 2, ScaleKdj, nullptr},
    {44, "EMV", kEmvLines, ComputeEmv,
     [](const IndicatorParameters& t) {
         return Titled("EMV", t, std::array{kEmvPeriod, kEmvAverage});
     },
     kTwoAt190, 0b11, 20, 2, ScaleEmv, DrawEmvZeroLine},
    {45, "WR", kWrLines, ComputeWr,
     [](const IndicatorParameters& t) {
         return Titled("WR", t, std::array{kWr1, kWr2});
     },
     kTwoAt190Whole, 0b11, 20, 2, ScaleWr, nullptr},
    {46, "ADTM", kAdtmLines, ComputeAdtm,
     [](const IndicatorParameters& t) {
         return Titled("ADTM", t, std::array{kAdtmPeriod, kAdtmAverage});
     },
     kTwoAt200, 0b11, 20, 2, ScaleAdtm, nullptr},
    {47, "BBI", kBbiLines, ComputeBbi,
     [](const IndicatorParameters& t) {
         return Titled("BBI", t, std::array{kBbi1, kBbi2, kBbi3, kBbi4});
     },
     kOne, 0b1, 20, 2, ScaleBbi, nullptr},
    {48, "AMV", kAmvLines, ComputeAmv,
     [](const IndicatorParameters& t) {
         return Titled("AMV", t, std::array{kAmv1, kAmv2, kAmv3, kAmv4});
     },
     kAmvItems, 0b1111, 20, 2, ScaleAmv, nullptr},
    {49, "CCI", kCciLines, ComputeCci,
     [](const IndicatorParameters& t) { return Titled("CCI", t, std::array{kCci}); }, kOne, 0b1, 20, 2,
     ScaleCci, DrawCciReferences},
};

}  // namespace

std::span<const IndicatorDefinition> IndicatorDefinitions() { return kDefinitions; }

const IndicatorDefinition* FindIndicatorDefinition(int code) {
    for (const IndicatorDefinition& definition : kDefinitions) {
        if (definition.code == code) return &definition;
    }
    return nullptr;
}

namespace {

void Run(int code, BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
         int resumeLimit, IndicatorResult& result) {
    const IndicatorDefinition* definition = FindIndicatorDefinition(code);
    if (!definition) {
        result.valid = false;
        result.lines.clear();
        result.rising.clear();
        result.checkpoint = {};
        return;
    }
    // The checkpoint is offered when nothing it was drawn from changed; the computation
    // saves a new one, or none.
    IndicatorCheckpoint& checkpoint = result.checkpoint;
    checkpoint.offered = checkpoint.bar >= 0 && checkpoint.bar <= resumeLimit ? checkpoint.bar : -1;
    checkpoint.bar = -1;
    definition->compute(bars, window, table, result);
    checkpoint.offered = -1;
    compute::FinishLines(result);
    result.lines.resize(definition->lines.size());
    for (std::size_t i = 0; i < result.lines.size(); ++i) result.lines[i].name = definition->lines[i];
}

}  // namespace

void ComputeIndicator(int code, BarColumns& bars, const IndicatorWindow& window,
                      const IndicatorParameters& table, IndicatorResult& result) {
    result.checkpoint = {};
    Run(code, bars, window, table, -1, result);
}

void UpdateIndicator(int code, BarColumns& bars, const IndicatorWindow& window,
                     const IndicatorParameters& table, int changed, IndicatorResult& result) {
    Run(code, bars, window, table, std::max(changed, -1), result);
}

IndicatorResult ComputeIndicator(int code, BarColumns& bars, const IndicatorWindow& window,
                                 const IndicatorParameters& table) {
    IndicatorResult result;
    ComputeIndicator(code, bars, window, table, result);
    return result;
}

IndicatorResult ComputeIndicator(int code, const BarSeries& bars, const IndicatorWindow& window,
                                 const IndicatorParameters& table) {
    BarColumns columns(bars);
    return ComputeIndicator(code, columns, window, table);
}

}  // namespace qelt
