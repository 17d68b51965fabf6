#include "app/ScreeningTable.h"

#include <cmath>
#include <set>

#include "common/Numbers.h"
#include "common/Text.h"
#include "formula/FormulaNumbers.h"

namespace qelt {
namespace {

constexpr const char* kScreeningFixedHeaders[ScreeningTable::kFixedColumns] = {"代码", "名称", "交割月",
                                                                               "日期", "收盘"};

std::optional<double> ScreeningValue(double value) {
    if (std::isnan(value)) return std::nullopt;
    return value;
}

}  // namespace

void ScreeningTable::Set(const ScreeningPlan& plan, std::vector<ScreeningGoods> goods,
                         ScreeningResult result) {
    m_formulaName = plan.formulaName;
    m_parameters.clear();
    const std::vector<FormulaParameter>& parameters = plan.request.formula.Parameters();
    for (std::size_t i = 0; i < parameters.size() && i < plan.request.values.size(); ++i)
        m_parameters +=
            (i ? " " : "") + parameters[i].name + "=" + formula::FormatShortest(plan.request.values[i]);
    m_outputs = plan.outputNames;
    m_period = plan.request.period;
    m_date = plan.request.date;
    m_goods = std::move(goods);
    m_result = std::move(result);
    // A row naming a goods the caller did not give cannot be shown against one.
    std::erase_if(m_result.rows, [this](const ScreeningRow& row) {
        return row.goods < 0 || static_cast<std::size_t>(row.goods) >= m_goods.size();
    });
    m_result.selected = static_cast<int>(m_result.rows.size());
    m_held = true;
    m_order.Reset(m_result.rows.size());
}

void ScreeningTable::Clear() { *this = ScreeningTable{}; }

std::vector<std::string> ScreeningTable::Headers() const {
    std::vector<std::string> headers(std::begin(kScreeningFixedHeaders), std::end(kScreeningFixedHeaders));
    headers.insert(headers.end(), m_outputs.begin(), m_outputs.end());
    return headers;
}

const ScreeningRow& ScreeningTable::RowAt(int row) const {
    return m_result.rows[static_cast<std::size_t>(m_order.ItemOf(row))];
}

const ScreeningGoods& ScreeningTable::GoodsAt(const ScreeningRow& row) const {
    return m_goods[static_cast<std::size_t>(row.goods)];
}

std::vector<std::string> ScreeningTable::RowTexts(int row) const {
    std::vector<std::string> texts;
    if (row < 0 || row >= RowCount()) return texts;
    const ScreeningRow& result = RowAt(row);
    const ScreeningGoods& goods = GoodsAt(result);
    texts = {goods.key.goodsNo, goods.name, goods.key.dueDate, result.date, FormatFixed2(result.close)};
    for (std::size_t k = 0; k < m_outputs.size(); ++k) {
        const std::optional<double> value =
            k < result.values.size() ? ScreeningValue(result.values[k]) : std::nullopt;
        texts.push_back(value ? FormatFixed2(*value) : "--");
    }
    return texts;
}

std::string ScreeningTable::Summary() const { return m_held ? ScreeningSummary(m_result) : std::string(); }

void ScreeningTable::SortBy(int column) {
    if (column < 0 || column >= ColumnCount()) return;
    const std::vector<ScreeningRow>& rows = m_result.rows;
    auto rowOf = [&rows](int item) -> const ScreeningRow& { return rows[static_cast<std::size_t>(item)]; };
    if (column < 3) {
        m_order.Click(column, false);
        m_order.Sort<std::string>([&](int item) -> std::optional<std::string> {
            const ScreeningGoods& goods = GoodsAt(rowOf(item));
            const std::string& text = column == 0   ? goods.key.goodsNo
                                      : column == 1 ? goods.name
                                                    : goods.key.dueDate;
            if (text.empty()) return std::nullopt;
            return text;
        });
        return;
    }
    m_order.Click(column, true);
    m_order.Sort<double>([&](int item) -> std::optional<double> {
        const ScreeningRow& row = rowOf(item);
        if (column == 3) {
            if (row.date.empty()) return std::nullopt;
            return static_cast<double>(LeadingInt64(row.date));
        }
        if (column == 4) return row.close;
        const std::size_t k = static_cast<std::size_t>(column - kFixedColumns);
        return k < row.values.size() ? ScreeningValue(row.values[k]) : std::nullopt;
    });
}

std::optional<ScreeningGoods> ScreeningTable::GoodsOf(int row) const {
    if (row < 0 || row >= RowCount()) return std::nullopt;
    return GoodsAt(RowAt(row));
}

std::vector<ScreeningGoods> ScreeningTable::GoodsOfRows(const std::vector<int>& rows) const {
    std::vector<ScreeningGoods> goods;
    std::set<GoodsKey> seen;
    auto take = [&](int row) {
        std::optional<ScreeningGoods> one = GoodsOf(row);
        if (one && seen.insert(one->key).second) goods.push_back(std::move(*one));
    };
    if (rows.empty())
        for (int row = 0; row < RowCount(); ++row) take(row);
    for (int row : rows) take(row);
    return goods;
}

ExportDocument ScreeningTable::Export() const {
    ExportDocument document;
    document.request = {"CSV", ReplaceAll("条件选股_" + m_formulaName, "/", "_"), "Excel文档(*.CSV)|*.CSV"};
    std::string& out = document.content;
    const std::string period(SystemPeriodName(m_period));
    AppendCsvLine(out, std::vector<std::string>{"公式", m_formulaName, "参数", m_parameters, "周期", period,
                                                "日期", m_date > 0 ? FormatInt(m_date) : "最新"});
    AppendCsvLine(out, Headers());
    for (int row = 0; row < RowCount(); ++row) AppendCsvLine(out, RowTexts(row));
    AppendCsvLine(out, std::vector<std::string>{Summary()});
    return document;
}

}  // namespace qelt
