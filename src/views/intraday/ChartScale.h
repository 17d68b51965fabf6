#pragma once
/// Geometry and scaling of one intraday chart (the section chart, the dynamic-board chart and
/// the flagged chart share them).
///
/// For a chart rectangle (left, top, right, bottom): the plot runs from left + 50 to
/// right - 50; a 30-pixel title band; H = bottom - top - 30; the price area is Z = 0.7 H high
/// from top + 30, with its middle line at top + 30 + Z / 2; the volume area fills the rest down
/// to the bottom. Slot i is drawn at x = plot left + i × slot width, the slot width being the
/// plot's width over days × slots per day.
///
/// Prices: K is the first record's price, d = max(high - K, K - low) and at least 0.07; the
/// price area spans K ± 1.1 d. Volumes: the largest slot volume m, at least 6; the volume area
/// spans 1.1 m; the volume grid steps by m / 7 rounded up.
#include <cstdint>
#include <vector>

#include "gfx/GfxTypes.h"
#include "views/intraday/IntradaySeries.h"

namespace qelt {

struct ChartFrame {
    Rect area;
    int plotLeft = 0;
    int plotRight = 0;
    int priceTop = 0;
    int priceHeight = 1;  ///< Z
    int middle = 0;
    int bottom = 0;      ///< the volume area's bottom (the chart's)
    int height = 0;      ///< H
    int totalSlots = 1;  ///< days × slots per day
    double slotWidth = 1;

    int PriceBottom() const { return priceTop + priceHeight; }
    int SlotX(int slot) const { return plotLeft + static_cast<int>(slot * slotWidth); }
    /// The slot a cursor at `x` stands on: (x - plot left + 3) / slot width.
    int SlotAt(int x) const;
    /// A cursor x that stands on `slot` (the first such x, as near its slot x as the rule
    /// above allows).
    int CursorXFor(int slot) const;
    bool InPlot(Point p) const {
        return p.x >= plotLeft && p.x <= plotRight && p.y >= area.top && p.y < bottom;
    }
};

ChartFrame FrameFor(const Rect& area, int days, int slotsPerDay);

struct ChartScale {
    bool empty = true;            ///< no records: every level reads 0
    double reference = 0;         ///< K
    double deviation = 0.07;      ///< d
    double pricePerPixel = 1;     ///< u
    std::int64_t volumeMax = 6;   ///< m
    double volumePerPixel = 1;    ///< v
    std::int64_t volumeStep = 1;  ///< g

    int PriceY(const ChartFrame& frame, double price) const;
    /// Top of a volume bar; the bar is drawn only when this lies above the bottom.
    int VolumeTop(const ChartFrame& frame, std::int64_t volume) const;
    /// The price at band line k (0 = the price area's top, 7 = K, 13 the lowest labelled).
    double LevelPrice(int k) const;
};

/// Slot volumes: field 3 (or, for the dynamic-board chart, field 13) minus the previous
/// record's when both have the same date, else the field itself.
std::vector<std::int64_t> SlotVolumes(const IntradaySeries& series, bool dynamicBoard);

ChartScale ScaleFor(const ChartFrame& frame, const IntradaySeries& series,
                    const std::vector<std::int64_t>& volumes);

}  // namespace qelt
