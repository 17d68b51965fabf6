#include "indicators/IndicatorCache.h"

#include <algorithm>

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
    const bool atTheEnd = m_columns && key.identity == m_series.identity &&
                          key.generation == m_series.generation && key.size >= m_series.size &&
                          m_series.size > 0;
    if (atTheEnd) {
        // A live quote rewrote the last bar, or days were appended after it: what was read
        // and computed of the bars before stays.
        const std::size_t last = m_series.size - 1;
        const int changed = static_cast<int>(bars[last] == m_series.lastBar ? last + 1 : last);
        m_columns->Forget(changed);
        for (auto& [code, entry] : m_entries) entry.changed = std::min(entry.changed, changed);
    } else {
        m_columns = std::make_unique<BarColumns>(bars);
        m_entries.clear();
    }
    m_series = std::move(key);
}

BarColumns& IndicatorCache::Columns(const BarSeries& bars, std::uint64_t generation) {
    Track(bars, generation);
    return *m_columns;
}

const IndicatorResult& IndicatorCache::Result(int code, const BarSeries& bars, const IndicatorWindow& window,
                                              const IndicatorParameters& table, std::uint64_t generation) {
    Track(bars, generation);
    auto found = m_entries.find(code);
    if (found != m_entries.end() && found->second.parameters == table.Values()) {
        Entry& entry = found->second;
        if (entry.changed != INT_MAX || !(entry.window == window)) {
            UpdateIndicator(code, *m_columns, window, table, entry.changed, entry.result);
            entry.window = window;
            entry.changed = INT_MAX;
        }
        return entry.result;
    }
    Entry& entry = m_entries[code];
    entry.window = window;
    entry.parameters = table.Values();
    entry.changed = INT_MAX;
    ComputeIndicator(code, *m_columns, window, table, entry.result);  // reuses the entry's storage
    return entry.result;
}

void IndicatorCache::Replacing(const BarSeries& current, std::uint64_t generation, const BarSeries& next,
                               std::uint64_t nextGeneration) {
    if (!m_columns || m_series.identity == nullptr || m_series.generation != generation) return;
    // What the cache holds must be `current` as it is, and `next` must keep all of it but
    // the last bar.
    if (m_series.size != current.size() || current.empty() || next.size() < current.size()) return;
    if (!(current.back() == m_series.lastBar)) return;
    if (!std::equal(current.begin(), current.end() - 1, next.begin())) return;
    m_series.generation = nextGeneration;
}

void IndicatorCache::Clear() {
    m_series = {};
    m_columns.reset();
    m_entries.clear();
}

}  // namespace qelt
