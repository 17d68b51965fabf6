#pragma once
/// The display order of a result table sorted by a column header's clicks, as 参数优化's and
/// 条件选股's tables sort: a click on a new column sorts it in its first direction, a click
/// again on the same column turns the order round; cells without a value stay last either
/// way, and equal cells keep the order the work gave their rows (a stable sort from that
/// order, not from the previous sort).
///
///     TableOrder order;
///     order.Reset(rows.size());
///     order.Click(column, /*firstDescending=*/true);
///     order.Sort<double>([&](int item) { return FigureOf(item, column); });   // std::optional<double>
///     rows[order.ItemOf(displayRow)]
#include <algorithm>
#include <functional>
#include <numeric>
#include <optional>
#include <vector>

namespace qelt {

class TableOrder {
  public:
    /// `rows` rows in the work's order, no column sorted.
    void Reset(std::size_t rows) {
        m_order.resize(rows);
        std::iota(m_order.begin(), m_order.end(), 0);
        m_column = -1;
        m_descending = true;
    }
    /// A click on `column`'s header: its first direction, or the other one on the column
    /// sorted already. Sort then puts the rows in that order.
    void Click(int column, bool firstDescending) {
        m_descending = column == m_column ? !m_descending : firstDescending;
        m_column = column;
    }
    /// Sorts by the key of each row (`keyOf(item)`, nothing: no value) in the direction
    /// Click chose. Key is compared with <.
    template <typename Key, typename KeyOf>
    void Sort(KeyOf keyOf) {
        std::vector<std::optional<Key>> keys(m_order.size());
        for (std::size_t i = 0; i < keys.size(); ++i) keys[i] = keyOf(static_cast<int>(i));
        std::iota(m_order.begin(), m_order.end(), 0);
        std::stable_sort(m_order.begin(), m_order.end(), [this, &keys](int a, int b) {
            const std::optional<Key>& x = keys[static_cast<std::size_t>(a)];
            const std::optional<Key>& y = keys[static_cast<std::size_t>(b)];
            if (!x || !y) return x.has_value() && !y.has_value();  // those without a value last
            return m_descending ? *y < *x : *x < *y;
        });
    }

    int Column() const { return m_column; }
    bool Descending() const { return m_descending; }
    int Rows() const { return static_cast<int>(m_order.size()); }
    /// The row of the work's order shown at display row `row`, or -1.
    int ItemOf(int row) const {
        return row >= 0 && row < Rows() ? m_order[static_cast<std::size_t>(row)] : -1;
    }
    /// The display row of the work's row `item`, or -1.
    int RowOf(int item) const {
        const auto found = std::find(m_order.begin(), m_order.end(), item);
        return found == m_order.end() ? -1 : static_cast<int>(found - m_order.begin());
    }

  private:
    std::vector<int> m_order;  ///< display row -> the work's row
    int m_column = -1;
    bool m_descending = true;
};

}  // namespace qelt
