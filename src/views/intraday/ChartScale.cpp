#include "views/intraday/ChartScale.h"

#include <algorithm>
#include <cmath>

namespace qelt {
namespace {

constexpr double kMinimumDeviation = 0.07;
constexpr std::int64_t kMinimumVolume = 6;

/// A pixel offset as an int: absurd values (a broken price) end far off the surface instead
/// of overflowing.
int Pixels(double value) { return static_cast<int>(std::clamp(value, -1e6, 1e6)); }

}  // namespace

int ChartFrame::SlotAt(int x) const {
    if (slotWidth <= 0) return 0;
    return static_cast<int>((x - plotLeft + 3) / slotWidth);
}

int ChartFrame::CursorXFor(int slot) const {
    int x = plotLeft + static_cast<int>(std::ceil(slot * slotWidth)) - 3;
    // Rounding may land one pixel off where slots are narrower than a pixel or two.
    for (int tries = 0; tries < 3 && SlotAt(x) < slot; ++tries) ++x;
    for (int tries = 0; tries < 3 && SlotAt(x) > slot; ++tries) --x;
    return x;
}

ChartFrame FrameFor(const Rect& area, int days, int slotsPerDay) {
    ChartFrame f;
    f.area = area;
    f.plotLeft = area.left + 50;
    f.plotRight = area.right - 50;
    f.priceTop = area.top + 30;
    f.height = std::max(0, area.bottom - area.top - 30);
    f.priceHeight = std::max(1, static_cast<int>(0.7 * f.height));
    f.middle = f.priceTop + f.priceHeight / 2;
    f.bottom = area.bottom;
    f.totalSlots = std::max(1, days * slotsPerDay);
    f.slotWidth = static_cast<double>(f.plotRight - f.plotLeft) / f.totalSlots;
    return f;
}

std::vector<std::int64_t> SlotVolumes(const IntradaySeries& series, bool dynamicBoard) {
    std::vector<std::int64_t> volumes(series.records.size());
    for (std::size_t i = 0; i < series.records.size(); ++i) {
        const TradePoint& r = series.records[i];
        const std::int64_t value = dynamicBoard ? r.dynVolume : r.volume;
        if (i > 0 && series.records[i - 1].date == r.date)
            volumes[i] =
                value - (dynamicBoard ? series.records[i - 1].dynVolume : series.records[i - 1].volume);
        else
            volumes[i] = value;
    }
    return volumes;
}

ChartScale ScaleFor(const ChartFrame& frame, const IntradaySeries& series,
                    const std::vector<std::int64_t>& volumes) {
    ChartScale s;
    s.empty = series.records.empty();
    if (!s.empty) {
        s.reference = series.records.front().price;
        double high = s.reference;
        double low = s.reference;
        for (const TradePoint& r : series.records) {
            high = std::max(high, r.price);
            low = std::min(low, r.price);
        }
        s.deviation = std::max({high - s.reference, s.reference - low, kMinimumDeviation});
    }
    s.pricePerPixel = s.deviation * 2.2 / frame.priceHeight;

    s.volumeMax = kMinimumVolume;
    for (std::int64_t v : volumes) s.volumeMax = std::max(s.volumeMax, v);
    const int volumeHeight = std::max(1, frame.height - frame.priceHeight);
    s.volumePerPixel = static_cast<double>(s.volumeMax) * 1.1 / volumeHeight;
    s.volumeStep = (s.volumeMax + 6) / 7;
    return s;
}

int ChartScale::PriceY(const ChartFrame& frame, double price) const {
    return frame.middle - Pixels((price - reference) / pricePerPixel);
}

int ChartScale::VolumeTop(const ChartFrame& frame, std::int64_t volume) const {
    return frame.bottom - Pixels(static_cast<double>(volume) / volumePerPixel);
}

double ChartScale::LevelPrice(int k) const {
    if (empty) return 0;
    return reference + 1.1 * deviation * (7 - k) / 7;
}

}  // namespace qelt
