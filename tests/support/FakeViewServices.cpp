#include "support/FakeViewServices.h"

#include "common/ProgramDir.h"

namespace qelt::test {

CQeltGoods MakeGoods(const std::string& goodsNo, const std::string& dueDate, const std::string& price,
                     const std::string& preClose, int position) {
    CQeltGoods g;
    g.goods_no = goodsNo;
    g.due_date = dueDate;
    g.name = "桑蚕丝-" + dueDate.substr(dueDate.size() > 2 ? 2 : 0);
    g.price = price;
    g.pre_close = preClose;
    g.state = "3";
    g.last_section = "4";
    g.last_price = price;
    g.open_price = preClose;
    g.lowest_price = preClose;
    g.highest_price = price;
    g.all_num = "120";
    g.pure_num = "300";
    g.null_num = "450";
    g.last_invest_input = "11";
    g.last_sale_input = "12";
    g.invest_price = price;
    g.sale_price = price;
    g.invest_input = "5";
    g.sale_input = "6";
    g.newest_price = price;
    g.all_num_d = "7";
    g.position = position;
    return g;
}

std::vector<CQeltGoods> FakeViewServices::GoodsOfCategory(int index) const {
    auto it = goods.find(index);
    return it == goods.end() ? std::vector<CQeltGoods>{} : it->second;
}

std::vector<GoodsSummary> FakeViewServices::MainSummaries() const {
    std::vector<GoodsSummary> out;
    for (const CQeltGoods& g : mainList) out.push_back(SummaryOf(g));
    return out;
}

bool FakeViewServices::IsFlagged(std::string_view goodsNo) const {
    for (const auto& f : flagged)
        if (f == goodsNo) return true;
    return false;
}

CQeltGoods FakeViewServices::CurrentGoods() const {
    if (selection.goods >= 0 && static_cast<size_t>(selection.goods) < mainList.size())
        return mainList[static_cast<size_t>(selection.goods)];
    return {};
}

std::optional<CQeltGoods> FakeViewServices::GoodsQuote(const std::string& goodsNo,
                                                       const std::string& dueDate) const {
    for (const CQeltGoods& g : mainList) {
        if (g.goods_no != goodsNo || g.due_date != dueDate) continue;
        CQeltGoods quote = g;
        quote.trades.clear();
        quote.series.clear();
        return quote;
    }
    return std::nullopt;
}

TradeUpdate FakeViewServices::TradesAfter(const std::string& goodsNo, const std::string& dueDate,
                                          std::size_t held, const std::string& lastIdentity) const {
    ++tradeFetches;
    TradeUpdate update;
    for (const CQeltGoods& g : mainList) {
        if (g.goods_no != goodsNo || g.due_date != dueDate) continue;
        update.found = true;
        const bool continues =
            held > 0 && held <= g.trades.size() && IdentityOf(g.trades[held - 1]) == lastIdentity;
        update.restart = !continues;
        update.rows.assign(g.trades.begin() + static_cast<std::ptrdiff_t>(continues ? held : 0),
                           g.trades.end());
        return update;
    }
    return update;
}

void FakeViewServices::EditCurrentGoods(const std::function<void(CQeltGoods&)>& edit) {
    if (selection.goods >= 0 && static_cast<size_t>(selection.goods) < mainList.size())
        edit(mainList[static_cast<size_t>(selection.goods)]);
}

const CQeltCFG& FakeViewServices::Settings() const {
    if (!cfg || cfg->ProgramDirectory() != WithTrailingSlash(dir)) cfg = std::make_unique<CQeltCFG>(dir);
    if (cfg->DisplayScale() != scale) cfg->SetDisplayScale(scale);
    return *cfg;
}

IndicatorParameters& FakeViewServices::EditableIndicators() {
    Settings();
    return cfg->m_indicators;
}

FormulaLibrary& FakeViewServices::MutableFormulas() const {
    if (!library || library->Path() != WithTrailingSlash(dir) + kFormulaFileName) {
        library = std::make_unique<FormulaLibrary>(dir);
        library->Load();
        formulaValues = std::make_unique<FormulaValueTable>(dir);
        formulaValues->Load();
    }
    return *library;
}

std::vector<double> FakeViewServices::FormulaValues(int id) const {
    const StoredFormula* formula = MutableFormulas().Find(id);
    return formula ? formulaValues->ValuesFor(*formula) : std::vector<double>{};
}

void FakeViewServices::SetFormulaValues(int id, const std::vector<double>& values) {
    const StoredFormula* formula = MutableFormulas().Find(id);
    if (formula && !formulaValues->Set(*formula, values)) ReportSaveFailed(kFormulaValuesFileName);
}

bool FakeViewServices::GoBack() {
    if (history.size() < 2) return false;
    history.pop_back();
    selection.goods = history.back().first;
    selection.category = history.back().second;
    return true;
}

void FakeViewServices::CommitLines(const std::vector<CMyLine>& before, const std::vector<CMyLine>& after) {
    EditCurrentGoods([&after](CQeltGoods& g) { g.lines = after; });
    lineCommits.push_back({before, after});
    lineUndo.push_back({before, after});
    lineRedo.clear();
}

std::optional<std::vector<CMyLine>> FakeViewServices::StepLines(bool redo) {
    std::vector<LineStep>& from = redo ? lineRedo : lineUndo;
    if (from.empty()) return std::nullopt;
    LineStep step = from.back();
    from.pop_back();
    (redo ? lineUndo : lineRedo).push_back(step);
    const std::vector<CMyLine> lines = redo ? step.after : step.before;
    EditCurrentGoods([&lines](CQeltGoods& g) { g.lines = lines; });
    return lines;
}

}  // namespace qelt::test
