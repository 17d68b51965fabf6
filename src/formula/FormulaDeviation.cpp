// STD, STDP and AVEDEV: the deviations over a window (FormulaSeries.h).
#include <algorithm>
#include <bit>

#include "formula/FormulaArithmetic.h"
#include "formula/FormulaSeries.h"
#include "formula/FormulaSums.h"

namespace qelt::formula {
namespace {

/// The values of a window as compensated sums of their deviations from a reference value
/// and of the squared deviations.
struct ShiftedSums {
    int count = 0;
    double reference = 0.0;
    CompensatedSum deviations;
    CompensatedSum squares;

    void Add(double v, int sign) {
        const double d = v - reference;
        count += sign;
        deviations.Add(sign * d);
        squares.Add(sign * d * d);
        if (count == 0) deviations.Clear(), squares.Clear();
    }
    /// Makes the window's mean the reference and recomputes both sums from the values.
    void Rebase(const double* x, int from, int to) {
        double sum = 0.0;
        for (int i = from; i <= to; ++i) sum += x[i];
        reference = sum / count;
        deviations.Clear();
        squares.Clear();
        for (int i = from; i <= to; ++i) {
            const double d = x[i] - reference;
            deviations.Add(d);
            squares.Add(d * d);
        }
    }
    /// Sum of squared deviations from the window's own mean.
    double SquaredDeviations() const {
        const double d = deviations.Value();
        return squares.Value() - d * d / count;
    }
    /// The window's mean lies so far from the reference, measured in its own spread, that
    /// the squares have lost the digits the deviation needs (a spike of 1e17 has just left
    /// a window of prices): the digits lost grow with (offset / deviation)^2.
    bool FarFromReference() const {
        const double offset = deviations.Value() / count;
        return offset * offset > 1e6 * (std::max(SquaredDeviations(), 0.0) / count);
    }
};

}  // namespace

void Deviation(const double* x, double* out, int n, int window, bool sample, SeriesScratch& scratch) {
    int exponent;
    x = Tamed(x, n, scratch.scaled, exponent);
    ShiftedSums sums;
    // Rebasing costs N steps. It happens when the window is full again (which takes N bars
    // of refilling) and, when the reference has fallen far behind, at most once per N bars
    // (`credit` counts the bars since), so hostile series keep the cost O(1) per bar.
    bool refilled = true;
    int credit = window;
    const double divisor = sample ? window - 1 : window;
    for (int i = 0; i < n; ++i) {
        if (i >= window && HasValue(x[i - window])) sums.Add(x[i - window], -1);
        if (HasValue(x[i])) sums.Add(x[i], +1);
        credit = std::min(credit + 1, window);
        if (sums.count < window) {
            refilled = true;
            out[i] = kNoValue;
            continue;
        }
        if (refilled || (credit == window && sums.FarFromReference())) {
            if (!refilled) credit = 0;
            sums.Rebase(x, i - window + 1, i);
            refilled = false;
        }
        const double deviation = std::sqrt(std::max(sums.SquaredDeviations(), 0.0) / divisor);
        out[i] = Valued(std::ldexp(deviation, exponent));
    }
}

namespace {

/// The window's values in a segment tree over the ranks of the series' distinct values.
class RankTree {
  public:
    RankTree(SeriesScratch& scratch, int distinct) : m_sorted(scratch.sorted.data()) {
        m_size = static_cast<int>(std::bit_ceil(static_cast<unsigned>(std::max(distinct, 1))));
        scratch.counts.assign(static_cast<std::size_t>(2 * m_size), 0);
        scratch.sums.assign(static_cast<std::size_t>(2 * m_size), 0.0);
        m_counts = scratch.counts.data();
        m_sums = scratch.sums.data();
    }

    void Change(int rank, int delta) {
        int node = m_size + rank;
        m_counts[node] += delta;
        m_sums[node] = m_counts[node] * m_sorted[rank];
        for (node /= 2; node >= 1; node /= 2) {
            m_counts[node] = m_counts[2 * node] + m_counts[2 * node + 1];
            m_sums[node] = m_sums[2 * node] + m_sums[2 * node + 1];
        }
    }

    double Total() const { return m_sums[1]; }

    /// Count and sum of the values with ranks from..to-1.
    void Range(int from, int to, int& count, double& sum) const {
        count = 0;
        sum = 0.0;
        for (int l = from + m_size, r = to + m_size; l < r; l /= 2, r /= 2) {
            if (l & 1) count += m_counts[l], sum += m_sums[l], ++l;
            if (r & 1) --r, count += m_counts[r], sum += m_sums[r];
        }
    }

  private:
    const double* m_sorted;
    int m_size = 1;
    int* m_counts = nullptr;
    double* m_sums = nullptr;
};

/// Sorts the distinct values of x into scratch.sorted and gives every bar with a value its
/// rank; returns how many distinct values there are.
int RankValues(const double* x, int n, SeriesScratch& scratch) {
    std::vector<double>& sorted = scratch.sorted;
    sorted.clear();
    for (int i = 0; i < n; ++i)
        if (HasValue(x[i])) sorted.push_back(x[i]);
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    scratch.ranks.resize(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        scratch.ranks[static_cast<std::size_t>(i)] =
            HasValue(x[i])
                ? static_cast<int>(std::lower_bound(sorted.begin(), sorted.end(), x[i]) - sorted.begin())
                : -1;
    }
    return static_cast<int>(sorted.size());
}

}  // namespace

void MeanAbsoluteDeviation(const double* x, double* out, int n, int window, SeriesScratch& scratch) {
    int exponent;
    x = Tamed(x, n, scratch.scaled, exponent);
    const int distinct = RankValues(x, n, scratch);
    RankTree tree(scratch, distinct);
    const int* ranks = scratch.ranks.data();
    const double* sorted = scratch.sorted.data();
    int values = 0;
    for (int i = 0; i < n; ++i) {
        if (i >= window && ranks[i - window] >= 0) tree.Change(ranks[i - window], -1), --values;
        if (ranks[i] >= 0) tree.Change(ranks[i], +1), ++values;
        if (values < window) {
            out[i] = kNoValue;
            continue;
        }
        const double mean = tree.Total() / window;
        const int split = static_cast<int>(std::upper_bound(sorted, sorted + distinct, mean) - sorted);
        int below = 0, above = 0;
        double sumBelow = 0.0, sumAbove = 0.0;
        tree.Range(0, split, below, sumBelow);
        tree.Range(split, distinct, above, sumAbove);
        const double deviations = (mean * below - sumBelow) + (sumAbove - mean * above);
        out[i] = Valued(std::ldexp(std::max(deviations, 0.0) / window, exponent));
    }
}

}  // namespace qelt::formula
