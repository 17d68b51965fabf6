#pragma once
/// Keeps computed indicator lines between repaints, and brings them up to date when the
/// series changes only at its end.
///
/// The pane painter draws the lines it is given; a view that repaints often (mouse moves,
/// the crosshair) can take them from here instead of recomputing. An entry is reused as it
/// is when the series (its identity, a generation the caller bumps whenever it reloads the
/// series, its length and the full text of its last bar), the window, the whole parameter
/// table and the code are all equal. When only the last bar's texts changed or bars were
/// appended (a live quote, a new day), or only the window moved, an indicator over the whole
/// series picks up from the running values it kept instead of going over every bar again
/// (UpdateIndicator); the others compute afresh. Either way a result is exactly a
/// recomputed one. The parsed bar numbers are kept on the same terms and shared by all panes;
/// after a change only the changed and new bars are read again.
///
/// The series must stay alive and unchanged between the calls that use it, except through
/// a reload (bump the generation, or see Replacing) or a change at its end: new bars after
/// the last one and new texts in the last one, which the key sees. Interface thread only.
#include <array>
#include <climits>
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

    /// A caller about to replace its series `current` (of `generation`) with `next`, to be
    /// known as `nextGeneration`: when `next` only continues `current` (the same bars but
    /// for the texts of the last one, and perhaps more bars after it), the kept numbers and
    /// running values stay in use for it, as for a change at the end of one series.
    void Replacing(const BarSeries& current, std::uint64_t generation, const BarSeries& next,
                   std::uint64_t nextGeneration);

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
        int changed = INT_MAX;  ///< the first bar whose texts changed since the lines were made
        IndicatorResult result;
    };

    static SeriesKey KeyOf(const BarSeries& bars, std::uint64_t generation);
    void Track(const BarSeries& bars, std::uint64_t generation);

    SeriesKey m_series;
    std::unique_ptr<BarColumns> m_columns;
    std::map<int, Entry> m_entries;
};

}  // namespace qelt
