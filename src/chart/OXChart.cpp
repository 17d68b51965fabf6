#include "chart/OXChart.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "chart/Series.h"
#include "common/Numbers.h"
#include "common/Saturating.h"

namespace qelt {

namespace {

constexpr double kLevelLimit = 1e9;

std::string Centre(std::int64_t level, float box) {
    const float price = static_cast<float>(level) * box + box / 2.0f;
    return FormatFixed2(price);
}

int ClampCount(std::int64_t count) {
    return static_cast<int>(std::clamp<std::int64_t>(count, -2000000000, 2000000000));
}

/// Folds a bar into the last column: the extremes (ties take the bar's text) and the volume.
void Merge(CBarRow& column, const CBarRow& bar) {
    std::string_view high = bar.High() >= column.High() ? bar[kBarHigh] : column[kBarHigh];
    std::string_view low = bar.Low() <= column.Low() ? bar[kBarLow] : column[kBarLow];
    const std::string num = FormatInt(SaturatingAdd(column.Num(), bar.Num()));
    column.Assign({column[kBarDate], column[kBarOpen], column[kBarClose], high, low, num, column[kBarAvg],
                   column[kBarPure], column[kBarNull], column[kBarDue]});
}

}  // namespace

float OXBoxSize(std::string_view goodsNo, int indexBox, int silkBox, int cocoonBox, double highestClose,
                double lowestClose) {
    const bool index = goodsNo == "0009";
    float box = index ? static_cast<float>(indexBox)
                      : static_cast<float>(goodsNo == "0121" ? cocoonBox : silkBox) / 10000.0f;
    if (box >= 0.0001f) return box;
    box = static_cast<float>(highestClose - lowestClose) / 30.0f;
    if (index) return std::trunc(box / 10.0f) * 10.0f;
    if (box > 0.01f) return std::trunc(box * 100.0f) / 100.0f;
    if (box > 0.001f) return std::trunc(box * 1000.0f) / 1000.0f;
    if (box > 0.0001f) return std::trunc(box * 10000.0f) / 10000.0f;
    return box;
}

int OXLevel(double price, float box) {
    const double level = std::trunc((price + 0.001) / static_cast<double>(box));
    if (!(level > -kLevelLimit)) return static_cast<int>(-kLevelLimit);
    return static_cast<int>(std::min(level, kLevelLimit));
}

OXSeries BuildOX(const BarSeries& source, float box, int reversal) {
    OXSeries ox;
    if (source.empty() || !(box > 0.0f) || !std::isfinite(box)) return ox;
    const CBarRow& first = source.front();
    std::int64_t current = OXLevel(first.Open(), box);
    // Toggled before the first column: a first bar that closed below its open starts falling.
    bool rising = first.Close() + 0.001 < first.Open() + 0.001;
    for (const CBarRow& bar : source) {
        const std::int64_t level = OXLevel(bar.Close(), box);
        const bool reverse =
            !ox.columns.empty() && (rising ? current - level >= reversal : level - current >= reversal);
        if (ox.columns.empty() || reverse) {
            rising = !rising;
            std::int64_t count = level - current;
            CBarRow column = bar;
            if (ox.columns.empty()) {
                count += rising ? 1 : -1;  // the first column counts its starting box
            } else {
                column.Set(kBarOpen, Centre(rising ? current + 1 : current - 1, box));
            }
            ox.columns.push_back(std::move(column));
            ox.boxes.push_back(ClampCount(count));
            current = level;
            continue;
        }
        CBarRow& column = ox.columns.back();
        Merge(column, bar);
        if (rising ? level > current : level < current) {
            ox.boxes.back() = ClampCount(std::int64_t{ox.boxes.back()} + (level - current));
            current = level;
            column.Set(kBarClose, Centre(level, box));
        }
    }
    return ox;
}

void BuildOX(CQeltGoods& goods, int period, float box, int reversal) {
    const BarSeries* source = &goods.series;
    if (period == 2) {
        BuildWeekly(goods);
        source = &goods.weekSeries;
    } else if (period == 3) {
        BuildMonthly(goods);
        source = &goods.monthSeries;
    }
    OXSeries ox = BuildOX(*source, box, reversal);
    goods.oxColumns = std::move(ox.columns);
    goods.oxBoxes = std::move(ox.boxes);
}

}  // namespace qelt
