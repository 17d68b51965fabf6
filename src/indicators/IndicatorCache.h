#pragma once
/// Keeps computed indicator lines between repaints while nothing they depend on changed.
///
/// The pane painter draws the lines it is given; a view that repaints often (mouse moves,
/// the crosshair) can take them from here instead of recomputing. An entry is reused only
/// when the series (its identity, a generation the caller bumps whenever it reloads the
/// series, its length and the full text of its last bar), the window, the whole parameter
/// table and the code are all equal, so a reused result is exactly a recomputed one. The
/// parsed bar numbers are kept on the same terms and shared by all panes.
///
/// The series must stay alive and unchanged between the calls that use it, except through
/// a reload (bump the generation) or a change of its last bar (live quotes), which the key
/// sees: then only that bar's numbers are read again. Interface thread only.
#include <array>
#include <cstdint>
#include <map>
#include <memory>

#include "data/settings/IndicatorParameters.h"
#include "indicators/BarColumns.h"
#include "indicators/IndicatorLines.h"

namespace qelt {

class IndicatorCache {
  public:
    /// The bar numbers of `bars`, kept while the series is unchanged.
    BarColumns& Columns(const BarSeries& bars, std::uint64_t generation = 0);

    /// The lines of indicator `code`: the kept ones when the key is unchanged, otherwise
    /// computed (from the kept columns) and kept. Valid until the next call for that code
    /// or a change of series.
    const IndicatorResult& Result(int code, const BarSeries& bars, const IndicatorWindow& window,
                                  const IndicatorParameters& table, std::uint64_t generation = 0);

    /// Drops everything.
    void Clear();

  private:
    struct SeriesKey {
        const BarSeries* identity = nullptr;
        std::uint64_t generation = 0;
        std::size_t size = 0;
        CBarRow lastBar;
        friend bool operator==(const SeriesKey&, const SeriesKey&) = default;
    };
    struct Entry {
        IndicatorWindow window;
        std::array<int, kIndicatorParameterCount> parameters{};
        IndicatorResult result;
    };

    static SeriesKey KeyOf(const BarSeries& bars, std::uint64_t generation);
    void Track(const BarSeries& bars, std::uint64_t generation);

    SeriesKey m_series;
    std::unique_ptr<BarColumns> m_columns;
    std::map<int, Entry> m_entries;
};

}  // namespace qelt
