#pragma once
/// The numbers of a bar series, read from its texts once per computation pass.
///
/// Bars keep their fields as text; the indicators need a few fields of many bars, several
/// times per paint (seven panes, several lines each). A BarColumns reads each field of each
/// bar at most once, on first demand and only for the bars asked for, with the same
/// conversions as reading the text directly (prices: leading decimal number as a 32-bit
/// float; volumes and positions: leading integer), so results are identical.
///
/// A BarColumns refers to its series: the series must outlive it and must not change while
/// it is in use, except for bars handed to Forget. Not thread-safe; the interface thread
/// owns it.
#include <cstdint>
#include <vector>

#include "data/Bar.h"

namespace qelt {

class BarColumns {
  public:
    explicit BarColumns(const BarSeries& bars) : m_bars(&bars) {}

    const BarSeries& Bars() const { return *m_bars; }
    int Size() const { return static_cast<int>(m_bars->size()); }

    /// Each accessor makes the values of bars [from, to) ready (the range is clipped to the
    /// series) and returns the column indexed by bar number; only the bars made ready by
    /// this or earlier calls may be read. The pointer stays valid as long as this object.
    const float* Open(int from, int to) { return Ensure(m_open, kBarOpen, from, to); }
    const float* Close(int from, int to) { return Ensure(m_close, kBarClose, from, to); }
    const float* High(int from, int to) { return Ensure(m_high, kBarHigh, from, to); }
    const float* Low(int from, int to) { return Ensure(m_low, kBarLow, from, to); }
    const float* Avg(int from, int to) { return Ensure(m_avg, kBarAvg, from, to); }
    /// `num` (volume), `pure_num` (net position) and `null_num` read as integers.
    const std::int32_t* Num(int from, int to) { return Ensure(m_num, kBarNum, from, to); }
    const std::int32_t* Pure(int from, int to) { return Ensure(m_pure, kBarPure, from, to); }
    const std::int32_t* Null(int from, int to) { return Ensure(m_null, kBarNull, from, to); }

    /// The close of one bar (0..n-1), read on its own: a far bar does not make the bars in
    /// between ready.
    float CloseAt(int bar) const;

    /// Drops what was read of bars `bar` and later, whose texts changed (a live quote
    /// rewrites the last bar); they are read again on demand.
    void Forget(int bar);

  private:
    template <typename T>
    struct Column {
        std::vector<T> values;
        int lo = 0;  ///< bars lo .. hi - 1 are read
        int hi = 0;
    };
    template <typename T>
    const T* Ensure(Column<T>& column, BarField field, int from, int to);

    const BarSeries* m_bars;
    Column<float> m_open, m_close, m_high, m_low, m_avg;
    Column<std::int32_t> m_num, m_pure, m_null;
};

}  // namespace qelt
