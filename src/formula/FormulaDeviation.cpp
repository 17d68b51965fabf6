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
    double scale;
    x = Tamed(x, n, scratch.scaled, scale);
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
        out[i] = Valued(deviation * scale);
    }
}

namespace {

/// The window's values in a segment tree over the ranks of the series' distinct values:
/// per node, how many of the window's values have ranks in its range and their sum.
class RankTree {
  public:
    RankTree(SeriesScratch& scratch, int distinct) : m_sorted(scratch.sorted.data()), m_distinct(distinct) {
        m_size = static_cast<int>(std::bit_ceil(static_cast<unsigned>(std::max(distinct, 1))));
        scratch.nodes.assign(static_cast<std::size_t>(2 * m_size), RankNode{});
        m_nodes = scratch.nodes.data();
    }

    /// One value of rank `rank` enters (+1) or leaves (-1). Every node on the way up is
    /// recomputed from its two children, so no sum keeps a trace of what has left.
    void Change(int rank, int delta) {
        int node = m_size + rank;
        m_nodes[node].count += delta;
        m_nodes[node].sum = m_nodes[node].count * m_sorted[rank];
        for (node /= 2; node >= 1; node /= 2) {
            const RankNode& left = m_nodes[2 * node];
            const RankNode& right = m_nodes[2 * node + 1];
            m_nodes[node] = RankNode{left.sum + right.sum, left.count + right.count};
        }
    }

    double Total() const { return m_nodes[1].sum; }

    /// Count and sum of the values at or below `limit`, in one walk from the root: a left
    /// child whose largest value is at or below the limit is taken whole.
    void AtOrBelow(double limit, int& count, double& sum) const {
        count = 0;
        sum = 0.0;
        int node = 1, low = 0, span = m_size;
        while (node < m_size) {
            span /= 2;
            const int middle = low + span;  // the right child's first rank
            if (middle <= m_distinct && m_sorted[middle - 1] <= limit) {
                count += m_nodes[2 * node].count;
                sum += m_nodes[2 * node].sum;
                node = 2 * node + 1;
                low = middle;
            } else {
                node = 2 * node;
            }
        }
        if (low < m_distinct && m_sorted[low] <= limit)
            count += m_nodes[node].count, sum += m_nodes[node].sum;
    }

  private:
    const double* m_sorted;
    int m_distinct;
    int m_size = 1;
    RankNode* m_nodes = nullptr;
};

/// Sorts the distinct values of x into scratch.sorted and gives every bar with a value its
/// rank (-1 without): one sort of (value, bar) pairs, no search per bar.
int RankValues(const double* x, int n, SeriesScratch& scratch) {
    std::vector<std::pair<double, int>>& order = scratch.order;
    order.clear();
    for (int i = 0; i < n; ++i)
        if (HasValue(x[i])) order.emplace_back(x[i], i);
    std::sort(order.begin(), order.end());
    scratch.ranks.assign(static_cast<std::size_t>(n), -1);
    scratch.sorted.clear();
    for (const auto& [value, bar] : order) {
        if (scratch.sorted.empty() || scratch.sorted.back() != value) scratch.sorted.push_back(value);
        scratch.ranks[static_cast<std::size_t>(bar)] = static_cast<int>(scratch.sorted.size()) - 1;
    }
    return static_cast<int>(scratch.sorted.size());
}

}  // namespace

void MeanAbsoluteDeviation(const double* x, double* out, int n, int window, SeriesScratch& scratch) {
    double scale;
    x = Tamed(x, n, scratch.scaled, scale);
    const int distinct = RankValues(x, n, scratch);
    RankTree tree(scratch, distinct);
    const int* ranks = scratch.ranks.data();
    int values = 0;
    for (int i = 0; i < n; ++i) {
        if (i >= window && ranks[i - window] >= 0) tree.Change(ranks[i - window], -1), --values;
        if (ranks[i] >= 0) tree.Change(ranks[i], +1), ++values;
        if (values < window) {
            out[i] = kNoValue;
            continue;
        }
        // With k values of sum S- at or below the mean m and S in all:
        // sum |x - m| = (m k - S-) + ((S - S-) - m (N - k)).
        const double total = tree.Total();
        const double mean = total / window;
        int below = 0;
        double sumBelow = 0.0;
        tree.AtOrBelow(mean, below, sumBelow);
        const double deviations = (mean * below - sumBelow) + ((total - sumBelow) - mean * (window - below));
        out[i] = Valued(std::max(deviations, 0.0) / window * scale);
    }
}

}  // namespace qelt::formula
