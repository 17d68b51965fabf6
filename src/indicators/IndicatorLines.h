#pragma once
/// What an indicator computation hands to the pane painter and to qelt-ta: its named lines,
/// each a run of values over consecutive bars, and the visible window it was computed for.
///
/// "No value" is expressed by position, not by a marker: a line has values exactly for the
/// bars first .. first + size - 1 and none elsewhere. Inside that run a value may still be
/// non-finite (PVT and JS divide by a close that may be 0); such a value takes no part in a
/// range, is not drawn and is printed as an empty field. `At` folds both cases together.
///
/// Values are computed in 32-bit floats as the indicators define them and stored widened to
/// double, which is exact; OBV's integer totals and the volume lines stay exact as well.
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace qelt {

/// The bars on show: first visible bar f, last visible bar l and the visible count V (the
/// view's N). Computations read bars up to l only, except where an indicator is defined over
/// the whole series.
struct IndicatorWindow {
    int first = 0;
    int last = -1;
    int visible = 0;
    friend bool operator==(const IndicatorWindow&, const IndicatorWindow&) = default;
};

/// The window of a view whose last visible bar is `lastVisible` (-1 or beyond the series:
/// the newest bar) with `visibleCount` slots over a series of `seriesLength` bars:
/// l = min(L, n - 1), V = max(N, 1), f = max(0, l - V + 1). An empty series gives l = -1.
IndicatorWindow MakeIndicatorWindow(int lastVisible, int visibleCount, int seriesLength);

struct IndicatorLine {
    std::string_view name;       ///< "DIF"; the name qelt-ta prints and the title item shows
    int first = 0;               ///< bar index of values[0]
    std::vector<double> values;  ///< one per bar from `first` on

    bool Empty() const { return values.empty(); }
    /// Bar index of the last value; first - 1 when empty.
    int Last() const { return first + static_cast<int>(values.size()) - 1; }
    /// The value at `bar`, or nothing when the line has none there or it is not finite.
    std::optional<double> At(int bar) const {
        if (bar < first || bar > Last()) return std::nullopt;
        double v = values[static_cast<std::size_t>(bar - first)];
        if (!std::isfinite(v)) return std::nullopt;
        return v;
    }
    /// The title items' rule: the value at `bar`, where a bar before the first value reads
    /// the first value and one beyond the last reads the last. The line must not be empty.
    double Clamped(int bar) const {
        int i = bar < first ? 0 : bar > Last() ? Last() - first : bar - first;
        return values[static_cast<std::size_t>(i)];
    }
};

/// What a computation over the whole series (VOL, CCL, OBV, PVT, MACD, BOLL, SAR, ADTM, BBI)
/// carried from bar to bar, as it stood before the last bar it computed: with the lines, it
/// is all that is needed to compute that bar and later ones again when the series changes
/// at its end (a live quote rewrites the last bar, a new day appends one), with exactly the
/// values a computation from the first bar gives.
struct IndicatorCheckpoint {
    int bar = -1;  ///< the state is the one before this bar; -1: none
    std::array<float, 4> sums{};
    std::int64_t total = 0;  ///< OBV's running total
    bool rising = false;     ///< SAR's trend
    /// Set for one computation (UpdateIndicator): the bar it may pick up at (`bar` when
    /// the texts before it are unchanged); -1: compute from the first bar.
    int offered = -1;
};

/// The lines of one indicator, in the order of its definition (IndicatorTable.h).
struct IndicatorResult {
    /// False when the parameters were refused (a period below 1, SAR's N below 2, BBI
    /// with a fourth period shorter than another): every line is then empty and the pane
    /// shows its title only.
    bool valid = true;
    std::vector<IndicatorLine> lines;
    /// SAR only: 1 where the trend of the bar is rising, 0 falling; same bars as lines[0].
    std::vector<std::uint8_t> rising;
    /// Not part of the values (not compared): where a later computation may pick up.
    IndicatorCheckpoint checkpoint;
    /// Not part of the values (not compared): the storage of lines an indicator with fewer
    /// lines left over, for the next one computed into this result (a painter that computes
    /// one pane after the other into one result does not allocate and clear them anew).
    std::vector<IndicatorLine> spare;

    friend bool operator==(const IndicatorResult& a, const IndicatorResult& b);
};

}  // namespace qelt
