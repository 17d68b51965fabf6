#include "app/OptimisationTable.h"

#include "common/Numbers.h"
#include "formula/FormulaNumbers.h"

namespace qelt {

void OptimisationTable::Set(std::vector<std::string> parameterNames, std::vector<ParameterRange> ranges,
                            std::vector<OptimisationRow> rows) {
    m_names = std::move(parameterNames);
    m_ranges = std::move(ranges);
    m_rows = std::move(rows);
    m_order.Reset(m_rows.size());
}

std::vector<std::string> OptimisationTable::Headers() const {
    std::vector<std::string> headers;
    for (const ParameterRange& range : m_ranges)
        headers.push_back(static_cast<std::size_t>(range.parameter) < m_names.size()
                              ? m_names[static_cast<std::size_t>(range.parameter)]
                              : "参数" + FormatInt(range.parameter + 1));
    for (const char* figure : {"净利润", "最大回撤", "交易次数", "胜率(%)"}) headers.emplace_back(figure);
    return headers;
}

std::optional<double> OptimisationTable::Figure(int k, int f) const {
    const OptimisationRow& row = m_rows[static_cast<std::size_t>(k)];
    if (row.fault) return std::nullopt;
    switch (f) {
        case 0:
            return row.report.netProfit;
        case 1:
            return row.report.maxDrawdown;
        case 2:
            return row.report.trades;
        default:
            return row.report.winRate;
    }
}

std::optional<double> OptimisationTable::Cell(int k, int column) const {
    const int parameters = static_cast<int>(m_ranges.size());
    if (column < parameters) {
        const std::vector<double>& values = m_rows[static_cast<std::size_t>(k)].values;
        if (static_cast<std::size_t>(column) < values.size()) return values[static_cast<std::size_t>(column)];
        return std::nullopt;
    }
    return Figure(k, column - parameters);
}

std::vector<std::string> OptimisationTable::RowTexts(int row) const {
    std::vector<std::string> texts;
    if (row < 0 || row >= RowCount()) return texts;
    const int k = m_order.ItemOf(row);
    const int parameters = static_cast<int>(m_ranges.size());
    for (int column = 0; column < ColumnCount(); ++column) {
        const std::optional<double> value = Cell(k, column);
        if (!value)
            texts.emplace_back("--");
        else if (column < parameters)
            texts.push_back(formula::FormatShortest(*value));
        else if (column == parameters + 2)
            texts.push_back(FormatInt(static_cast<std::int64_t>(*value)));
        else
            texts.push_back(FormatFixed2(*value));
    }
    return texts;
}

void OptimisationTable::SortBy(int column) {
    if (column < 0 || column >= ColumnCount()) return;
    m_order.Click(column, true);
    m_order.Sort<double>([this, column](int k) { return Cell(k, column); });
}

std::vector<std::pair<int, double>> OptimisationTable::ValuesOf(int row) const {
    std::vector<std::pair<int, double>> values;
    if (row < 0 || row >= RowCount()) return values;
    const OptimisationRow& combination = m_rows[static_cast<std::size_t>(m_order.ItemOf(row))];
    for (std::size_t i = 0; i < m_ranges.size() && i < combination.values.size(); ++i)
        values.emplace_back(m_ranges[i].parameter, combination.values[i]);
    return values;
}

int OptimisationTable::CombinationOf(int row) const { return m_order.ItemOf(row); }

int OptimisationTable::RowOf(int combination) const { return m_order.RowOf(combination); }

std::optional<HeatMap> OptimisationTable::HeatMapOf(int selected) const {
    if (m_ranges.size() != 2 || m_rows.empty()) return std::nullopt;
    HeatMap map;
    const std::vector<std::string> headers = Headers();
    map.rowName = headers[0];
    map.columnName = headers[1];
    for (std::int64_t k = 0; k < RangeValueCount(m_ranges[0]); ++k)
        map.rowValues.push_back(RangeValue(m_ranges[0], k));
    for (std::int64_t k = 0; k < RangeValueCount(m_ranges[1]); ++k)
        map.columnValues.push_back(RangeValue(m_ranges[1], k));
    if (map.rowValues.size() * map.columnValues.size() != m_rows.size()) return std::nullopt;
    for (int k = 0; k < RowCount(); ++k) map.cells.push_back(Figure(k, 0));
    map.selected = CombinationOf(selected);
    return map;
}

}  // namespace qelt
