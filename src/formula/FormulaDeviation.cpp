// STD and STDP: the deviations over a window (FormulaSeries.h).
#include <algorithm>

#include "formula/FormulaArithmetic.h"
#include "formula/FormulaSeries.h"

namespace qelt::formula {
namespace {

/// The values of a window as compensated sums of their deviations from a reference value
/// and of the squared deviations, at one scale (1, or kHugeScale for the window with a huge
/// value in it, whose squares would overflow at 1).
class ShiftedSums {
  public:
    ShiftedSums(DeviationSums& sums, double scale) : m_sums(sums), m_scale(scale) {}

    void Add(double v, int sign) {
        const double d = v * m_scale - m_sums.reference;
        m_sums.count += sign;
        m_sums.deviations.Add(sign * d);
        m_sums.squares.Add(sign * d * d);
        if (m_sums.count == 0) m_sums.deviations.Clear(), m_sums.squares.Clear();
    }
    /// Makes the window's mean the reference and recomputes both sums from its values.
    void Rebase(const double* x, int from, int to) {
        double total = 0.0;
        for (int i = from; i <= to; ++i) total += x[i] * m_scale;
        m_sums.count = to - from + 1;
        m_sums.reference = total / m_sums.count;
        m_sums.deviations.Clear();
        m_sums.squares.Clear();
        for (int i = from; i <= to; ++i) {
            const double d = x[i] * m_scale - m_sums.reference;
            m_sums.deviations.Add(d);
            m_sums.squares.Add(d * d);
        }
    }
    /// Sum of squared deviations from the window's own mean.
    double SquaredDeviations() const {
        const double d = m_sums.deviations.Value();
        return m_sums.squares.Value() - d * d / m_sums.count;
    }
    /// The window's mean lies so far from the reference, measured in its own spread, that
    /// the squares have lost the digits the deviation needs (a spike of 1e17 has just left
    /// a window of prices): the digits lost grow with (offset / deviation)^2.
    bool FarFromReference() const {
        const double offset = m_sums.deviations.Value() / m_sums.count;
        return offset * offset > 1e6 * (std::max(SquaredDeviations(), 0.0) / m_sums.count);
    }

    /// The deviation of the full window ending at bar i, the reference moved first where the
    /// window was refilled or has drifted from it. Rebasing costs N steps. It happens when the
    /// window is full again (which takes N bars of refilling) and, when the reference has
    /// fallen far behind, at most once per N bars (`credit` counts the bars since), so hostile
    /// series keep the cost O(1) per bar.
    double Deviation(const double* x, int i, int window, double divisor) {
        if (m_sums.refilled || (m_sums.credit == window && FarFromReference())) {
            if (!m_sums.refilled) m_sums.credit = 0;
            Rebase(x, i - window + 1, i);
            m_sums.refilled = false;
        }
        return std::sqrt(std::max(SquaredDeviations(), 0.0) / divisor) / m_scale;
    }

  private:
    DeviationSums& m_sums;
    double m_scale;
};

}  // namespace

void Deviation(const double* x, double* out, int n, int window, bool sample, int from, SeriesState& state) {
    SeriesState running;
    if (from > 0) {
        running = state;
    } else {
        for (DeviationSums& sums : running.deviations) sums.credit = window;
    }
    // The values up to kHugeLimit at scale 1; every value scaled, while the full window holds
    // a huge one (its sums are made from the window when it is first needed).
    ShiftedSums small(running.deviations[0], 1.0), all(running.deviations[1], kHugeScale);
    const double divisor = sample ? window - 1 : window;
    for (int i = from; i < n; ++i) {
        if (i == n - 1) state = running;
        const double leaving = i >= window ? x[i - window] : kNoValue;
        for (const auto& [v, sign] : {std::pair{leaving, -1}, std::pair{x[i], +1}}) {
            if (!HasValue(v)) continue;
            running.count += sign;
            if (IsHuge(v)) running.huge += sign;
            if (!IsHuge(v)) small.Add(v, sign);
            if (running.deviations[1].active) all.Add(v, sign);
        }
        for (DeviationSums& sums : running.deviations) sums.credit = std::min(sums.credit + 1, window);
        if (running.deviations[0].count < window) running.deviations[0].refilled = true;
        if (running.count < window || running.huge == 0) running.deviations[1].active = false;
        if (running.count < window) {
            out[i] = kNoValue;
            continue;
        }
        if (running.huge == 0) {
            out[i] = Valued(small.Deviation(x, i, window, divisor));
            continue;
        }
        if (!running.deviations[1].active) {
            running.deviations[1].active = true;
            running.deviations[1].refilled = true;
        }
        out[i] = Valued(all.Deviation(x, i, window, divisor));
    }
}

}  // namespace qelt::formula
