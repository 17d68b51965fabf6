// AVEDEV: the mean absolute deviation over a window (FormulaSeries.h).
#include <algorithm>
#include <cstdint>

#include "formula/FormulaArithmetic.h"
#include "formula/FormulaSeries.h"

namespace qelt::formula {
namespace {

/// A bar's place in the heap order of the tree: a fixed mix of its index, so the shape
/// of the tree over a window depends on the window's bars alone, never on the bars that
/// went before (a treap's shape is unique for its keys and priorities).
std::uint32_t PriorityOf(int bar) {
    std::uint32_t h = static_cast<std::uint32_t>(bar) * 0x9E3779B1u;
    h ^= h >> 16;
    h *= 0x85EBCA6Bu;
    h ^= h >> 13;
    h *= 0xC2B2AE35u;
    return h ^ (h >> 16);
}

/// The window's values in a treap ordered by (value, bar), each node holding the count
/// and the sum of its subtree, recomputed from its children whenever the subtree changes
/// (so no sum keeps a trace of a value that has left). Depth O(log N) whatever the values:
/// the priorities do not depend on them.
class WindowTree {
  public:
    explicit WindowTree(SeriesScratch& scratch) : m_nodes(scratch.nodes), m_free(scratch.freeNodes) {
        Clear();
    }

    void Clear() {
        m_nodes.clear();
        m_free.clear();
        m_root = -1;
    }

    void Insert(double value, int bar) {
        const int node = NewNode(value, bar);
        auto [below, above] = Split(m_root, value, bar);
        m_root = Merge(Merge(below, node), above);
    }

    void Erase(double value, int bar) { m_root = Erase(m_root, value, bar); }

    double Total() const { return m_root < 0 ? 0.0 : At(m_root).sum; }

    /// Count and sum of the values at or below `limit`, in one walk from the root.
    void AtOrBelow(double limit, int& count, double& sum) const {
        count = 0;
        sum = 0.0;
        for (int t = m_root; t >= 0;) {
            const TreeNode& node = At(t);
            if (node.value <= limit) {
                if (node.left >= 0) count += At(node.left).count, sum += At(node.left).sum;
                count += 1;
                sum += node.value;
                t = node.right;
            } else {
                t = node.left;
            }
        }
    }

  private:
    TreeNode& At(int t) { return m_nodes[static_cast<std::size_t>(t)]; }
    const TreeNode& At(int t) const { return m_nodes[static_cast<std::size_t>(t)]; }

    static bool KeyBelow(const TreeNode& node, double value, int bar) {
        return node.value < value || (node.value == value && node.bar < bar);
    }
    /// Heap order: the higher priority nearer the root, the earlier bar on a tie.
    static bool Above(const TreeNode& a, const TreeNode& b) {
        return a.priority > b.priority || (a.priority == b.priority && a.bar < b.bar);
    }

    int NewNode(double value, int bar) {
        TreeNode node;
        node.value = node.sum = value;
        node.count = 1;
        node.bar = bar;
        node.priority = PriorityOf(bar);
        if (!m_free.empty()) {
            const int t = m_free.back();
            m_free.pop_back();
            At(t) = node;
            return t;
        }
        m_nodes.push_back(node);
        return static_cast<int>(m_nodes.size()) - 1;
    }

    void Update(int t) {
        TreeNode& node = At(t);
        double sum = node.left >= 0 ? At(node.left).sum : 0.0;
        int count = node.left >= 0 ? At(node.left).count : 0;
        sum += node.value;
        count += 1;
        if (node.right >= 0) sum += At(node.right).sum, count += At(node.right).count;
        node.sum = sum;
        node.count = count;
    }

    /// The subtree `t` as the keys below (value, bar) and the others.
    std::pair<int, int> Split(int t, double value, int bar) {
        if (t < 0) return {-1, -1};
        if (KeyBelow(At(t), value, bar)) {
            auto [below, above] = Split(At(t).right, value, bar);
            At(t).right = below;
            Update(t);
            return {t, above};
        }
        auto [below, above] = Split(At(t).left, value, bar);
        At(t).left = above;
        Update(t);
        return {below, t};
    }

    /// Every key of `a` lies below every key of `b`.
    int Merge(int a, int b) {
        if (a < 0) return b;
        if (b < 0) return a;
        if (Above(At(a), At(b))) {
            At(a).right = Merge(At(a).right, b);
            Update(a);
            return a;
        }
        At(b).left = Merge(a, At(b).left);
        Update(b);
        return b;
    }

    int Erase(int t, double value, int bar) {
        if (t < 0) return -1;
        TreeNode& node = At(t);
        if (node.value == value && node.bar == bar) {
            m_free.push_back(t);
            return Merge(node.left, node.right);
        }
        if (KeyBelow(node, value, bar)) {
            const int right = Erase(node.right, value, bar);
            At(t).right = right;
        } else {
            const int left = Erase(node.left, value, bar);
            At(t).left = left;
        }
        Update(t);
        return t;
    }

    std::vector<TreeNode>& m_nodes;
    std::vector<int>& m_free;
    int m_root = -1;
};

/// Σ|x − m| over a short window straight from its values, four lanes at a time in a fixed
/// order: no tree to walk (whose branches a market's prices mispredict), and the same for a
/// window whatever came before it.
double DirectDeviations(const double* w, int count) {
    double lanes[4] = {0.0, 0.0, 0.0, 0.0};
    int k = 0;
    for (; k + 4 <= count; k += 4)
        for (int l = 0; l < 4; ++l) lanes[l] += w[k + l];
    double total = (lanes[0] + lanes[1]) + (lanes[2] + lanes[3]);
    for (; k < count; ++k) total += w[k];
    const double mean = total / count;
    double deviations[4] = {0.0, 0.0, 0.0, 0.0};
    k = 0;
    for (; k + 4 <= count; k += 4)
        for (int l = 0; l < 4; ++l) deviations[l] += std::fabs(w[k + l] - mean);
    double sum = (deviations[0] + deviations[1]) + (deviations[2] + deviations[3]);
    for (; k < count; ++k) sum += std::fabs(w[k] - mean);
    return sum;
}

/// AVEDEV over a window of at most kDirectWindow bars: N steps a bar, fewer than a tree's.
/// A window with a huge value in it is summed scaled (its sums would overflow at 1).
void ShortWindowDeviation(const double* x, double* out, int n, int window, int from, SeriesScratch& scratch) {
    // Bars of the window without a value, and huge ones, counted as they enter and leave.
    int missing = 0, huge = 0;
    for (int i = from > window ? from - window : 0; i < from; ++i)
        missing += !HasValue(x[i]), huge += IsHuge(x[i]);
    for (int i = from; i < n; ++i) {
        missing += !HasValue(x[i]), huge += IsHuge(x[i]);
        if (i >= window) missing -= !HasValue(x[i - window]), huge -= IsHuge(x[i - window]);
        if (i + 1 < window || missing > 0) {
            out[i] = kNoValue;
            continue;
        }
        const double* w = x + i - window + 1;
        if (huge == 0) {
            out[i] = Valued(DirectDeviations(w, window) / window);
            continue;
        }
        scratch.scaled.resize(static_cast<std::size_t>(window));
        for (int k = 0; k < window; ++k) scratch.scaled[static_cast<std::size_t>(k)] = w[k] * kHugeScale;
        out[i] = Valued(DirectDeviations(scratch.scaled.data(), window) / window * kHugeUnscale);
    }
}

/// AVEDEV over a longer window: the tree of its values, at scale 1 or, while a huge value is
/// in the window, every value scaled (the tree is made again when the scale changes: twice
/// per N bars at most, as a huge value must enter and leave).
void LongWindowDeviation(const double* x, double* out, int n, int window, int from, SeriesScratch& scratch) {
    WindowTree tree(scratch);
    int values = 0, huge = 0;
    double scale = 1.0;
    const auto build = [&](int to) {
        tree.Clear();
        for (int i = std::max(to - window + 1, 0); i <= to; ++i)
            if (HasValue(x[i])) tree.Insert(x[i] * scale, i);
    };
    // The window before `from` as it stood: the tree is the same as a pass from bar 0 left.
    for (int i = from > window ? from - window : 0; i < from; ++i)
        if (HasValue(x[i])) ++values, huge += IsHuge(x[i]);
    scale = huge > 0 ? kHugeScale : 1.0;
    build(from - 1);
    for (int i = from; i < n; ++i) {
        if (i >= window && HasValue(x[i - window])) {
            tree.Erase(x[i - window] * scale, i - window), --values, huge -= IsHuge(x[i - window]);
        }
        if (HasValue(x[i])) tree.Insert(x[i] * scale, i), ++values, huge += IsHuge(x[i]);
        if ((huge > 0) != (scale != 1.0)) {
            scale = huge > 0 ? kHugeScale : 1.0;
            build(i);
        }
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
        out[i] = Valued(std::max(deviations, 0.0) / window / scale);
    }
}

}  // namespace

void MeanAbsoluteDeviation(const double* x, double* out, int n, int window, int from,
                           SeriesScratch& scratch) {
    if (window <= kDirectWindow) {
        ShortWindowDeviation(x, out, n, window, from, scratch);
    } else {
        LongWindowDeviation(x, out, n, window, from, scratch);
    }
}

}  // namespace qelt::formula
