#pragma once
/// The result of 条件选股 as the window shows it: one row per selected goods with 代码, 名称,
/// 交割月, 日期 and 收盘, then each output's value ("%.2f", "--" where none); the closing line
/// "共 N 个品种，M 个满足条件，K 个无数据"; sorted by any column (TableOrder: texts in
/// ascending order at the first click, numbers and dates the largest first; rows without a
/// value last); the goods behind a row (the K-line view, 加入自选); the CSV export.
///
/// Display rows are the sorted order; a result row keeps its place in the screening's order.
#include <string>
#include <vector>

#include "analysis/Screening.h"
#include "app/ScreeningModel.h"
#include "app/TableOrder.h"
#include "views/ExportFile.h"

namespace qelt {

class ScreeningTable {
  public:
    /// The columns before the outputs' ones.
    static constexpr int kFixedColumns = 5;

    /// A finished screening of `goods` (in the order they were screened) with `plan`.
    void Set(const ScreeningPlan& plan, std::vector<ScreeningGoods> goods, ScreeningResult result);
    void Clear();
    bool Empty() const { return m_result.rows.empty(); }
    /// A screening's result is held (it may have no rows).
    bool Held() const { return m_held; }
    int RowCount() const { return static_cast<int>(m_result.rows.size()); }
    int ColumnCount() const { return kFixedColumns + static_cast<int>(m_outputs.size()); }

    std::vector<std::string> Headers() const;
    std::vector<std::string> RowTexts(int row) const;
    /// "共 N 个品种，M 个满足条件，K 个无数据"; empty before any screening.
    std::string Summary() const;

    /// A click on `column`'s header.
    void SortBy(int column);
    int SortColumn() const { return m_order.Column(); }
    bool Descending() const { return m_order.Descending(); }

    /// The goods of display row `row`; nothing outside the table.
    std::optional<ScreeningGoods> GoodsOf(int row) const;
    /// The goods of the display rows given (each once, in the rows' order); all rows when
    /// `rows` is empty.
    std::vector<ScreeningGoods> GoodsOfRows(const std::vector<int>& rows) const;
    /// The period the rows were screened in (KLinePeriod): the K-line view opens in it.
    int Period() const { return m_period; }

    /// 导出: the table in display order, under a line naming the formula, its values, the
    /// period and the date, and over the summary line.
    ExportDocument Export() const;

  private:
    const ScreeningRow& RowAt(int row) const;
    const ScreeningGoods& GoodsAt(const ScreeningRow& row) const;

    std::string m_formulaName;
    std::string m_parameters;  ///< "N=5 M=20"
    std::vector<std::string> m_outputs;
    int m_period = kPeriodDay;
    int m_date = 0;
    std::vector<ScreeningGoods> m_goods;
    ScreeningResult m_result;
    bool m_held = false;
    TableOrder m_order;
};

}  // namespace qelt
