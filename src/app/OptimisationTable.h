#pragma once
/// The table of 参数优化 as the window shows it: one row per combination with the varied
/// parameters' values, then 净利润, 最大回撤, 交易次数 and 胜率(%); sorted by any column (a
/// second click on the same column turns the order round; rows without the figure stay last
/// either way, equal rows keep the order the optimisation gave them), 选用's values of a
/// row, and for two parameters the heat map of net profit with the row selected.
///
/// Display rows are the sorted order; a combination keeps its own index (its place in the
/// optimisation: the first parameter varying slowest), which is also its heat-map cell.
#include <string>
#include <utility>
#include <vector>

#include "analysis/Optimisation.h"
#include "app/TableOrder.h"
#include "views/system/HeatMapPainter.h"

namespace qelt {

class OptimisationTable {
  public:
    /// The figures' columns after the parameters' ones.
    static constexpr int kFigureColumns = 4;

    /// A finished optimisation: the formula's parameter names, the ranges it varied and its
    /// rows (one per combination, in the optimisation's order). Unsorted.
    void Set(std::vector<std::string> parameterNames, std::vector<ParameterRange> ranges,
             std::vector<OptimisationRow> rows);
    void Clear() { Set({}, {}, {}); }
    bool Empty() const { return m_rows.empty(); }
    int RowCount() const { return static_cast<int>(m_rows.size()); }
    int ColumnCount() const { return static_cast<int>(m_ranges.size()) + kFigureColumns; }

    /// The varied parameters' names, then 净利润, 最大回撤, 交易次数, 胜率(%).
    std::vector<std::string> Headers() const;
    /// Display row `row`'s texts ("--" for a figure without a value; every figure of a
    /// combination whose values put a constant argument out of range).
    std::vector<std::string> RowTexts(int row) const;

    /// Sorts by `column`: descending at the first click on it (the largest profit first),
    /// then round at each click again.
    void SortBy(int column);
    int SortColumn() const { return m_order.Column(); }
    bool Descending() const { return m_order.Descending(); }

    /// 选用: the values of display row `row` as (parameter index, value) pairs.
    std::vector<std::pair<int, double>> ValuesOf(int row) const;

    /// The combination (heat-map cell) of display row `row`, and the display row of one.
    int CombinationOf(int row) const;
    int RowOf(int combination) const;

    /// Two parameters varied: the heat map, the combination of display row `selected` (or
    /// none for -1) marked. Nothing otherwise.
    std::optional<HeatMap> HeatMapOf(int selected) const;

  private:
    /// The figure of combination `k` in figure column `f` (0 net profit .. 3 win rate).
    std::optional<double> Figure(int k, int f) const;
    std::optional<double> Cell(int k, int column) const;

    std::vector<std::string> m_names;
    std::vector<ParameterRange> m_ranges;
    std::vector<OptimisationRow> m_rows;
    TableOrder m_order;  ///< display row -> combination
};

}  // namespace qelt
