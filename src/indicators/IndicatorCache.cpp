#include "indicators/IndicatorCache.h"

#include "indicators/IndicatorTable.h"

namespace qelt {

IndicatorCache::SeriesKey IndicatorCache::KeyOf(const BarSeries& bars, std::uint64_t generation) {
    SeriesKey key;
    key.identity = &bars;
    key.generation = generation;
    key.size = bars.size();
    if (!bars.empty()) key.lastBar = bars.back();
    return key;
}

void IndicatorCache::Track(const BarSeries& bars, std::uint64_t generation) {
    SeriesKey key = KeyOf(bars, generation);
    if (m_columns && key == m_series) return;
    const bool onlyLastBar = m_columns && key.identity == m_series.identity &&
                             key.generation == m_series.generation && key.size == m_series.size &&
                             key.size > 0;
    if (onlyLastBar) {
        m_columns->Forget(static_cast<int>(key.size) - 1);  // a live quote: only that bar is read again
    } else {
        m_columns = std::make_unique<BarColumns>(bars);
    }
    m_series = std::move(key);
    m_entries.clear();
}

BarColumns& IndicatorCache::Columns(const BarSeries& bars, std::uint64_t generation) {
    Track(bars, generation);
    return *m_columns;
}

const IndicatorResult& IndicatorCache::Result(int code, const BarSeries& bars, const IndicatorWindow& window,
                                              const IndicatorParameters& table, std::uint64_t generation) {
    Track(bars, generation);
    auto found = m_entries.find(code);
    if (found != m_entries.end() && found->second.window == window &&
        found->second.parameters == table.Values()) {
        return found->second.result;
    }
    Entry& entry = m_entries[code];
    entry.window = window;
    entry.parameters = table.Values();
    ComputeIndicator(code, *m_columns, window, table, entry.result);  // reuses the entry's storage
    return entry.result;
}

void IndicatorCache::Clear() {
    m_series = {};
    m_columns.reset();
    m_entries.clear();
}

}  // namespace qelt
