#include "indicators/BarColumns.h"

#include <algorithm>

#include "common/Numbers.h"

namespace qelt {
namespace {

void Read(const BarSeries& bars, BarField field, int from, int to, float* out) {
    for (int i = from; i < to; ++i) out[i] = LeadingFloat(bars[static_cast<std::size_t>(i)].Get(field));
}

void Read(const BarSeries& bars, BarField field, int from, int to, std::int32_t* out) {
    for (int i = from; i < to; ++i) out[i] = LeadingInt(bars[static_cast<std::size_t>(i)].Get(field));
}

}  // namespace

template <typename T>
const T* BarColumns::Ensure(Column<T>& column, BarField field, int from, int to) {
    const int n = Size();
    from = std::clamp(from, 0, n);
    to = std::clamp(to, from, n);
    if (column.values.empty() && n > 0) column.values.resize(static_cast<std::size_t>(n));
    if (from >= to) return column.values.data();
    if (column.lo >= column.hi) {  // nothing read yet
        Read(*m_bars, field, from, to, column.values.data());
        column.lo = from;
        column.hi = to;
        return column.values.data();
    }
    // Keep one contiguous read run: fill the gap between the new range and the old run too.
    if (from < column.lo) {
        Read(*m_bars, field, from, column.lo, column.values.data());
        column.lo = from;
    }
    if (to > column.hi) {
        Read(*m_bars, field, column.hi, to, column.values.data());
        column.hi = to;
    }
    return column.values.data();
}

float BarColumns::CloseAt(int bar) const {
    if (bar >= m_close.lo && bar < m_close.hi) return m_close.values[static_cast<std::size_t>(bar)];
    return LeadingFloat((*m_bars)[static_cast<std::size_t>(bar)].Get(kBarClose));
}

void BarColumns::Forget(int bar) {
    auto cut = [bar](auto& column) {
        column.hi = std::min(column.hi, std::max(bar, 0));
        if (column.hi <= column.lo) column.lo = column.hi = 0;
    };
    cut(m_open), cut(m_close), cut(m_high), cut(m_low), cut(m_avg), cut(m_num), cut(m_pure), cut(m_null);
}

template const float* BarColumns::Ensure(Column<float>&, BarField, int, int);
template const std::int32_t* BarColumns::Ensure(Column<std::int32_t>&, BarField, int, int);

}  // namespace qelt
