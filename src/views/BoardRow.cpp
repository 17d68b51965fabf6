#include "views/BoardRow.h"

#include <algorithm>
#include <cmath>

#include "common/Numbers.h"
#include "common/Text.h"
#include "data/Categories.h"

namespace qelt {
namespace {

// A price counts as zero below 0.001, a change below 0.0001.
bool IsZeroPrice(float v) { return std::fabs(v) < 0.001f; }
constexpr float kChangeEpsilon = 0.0001f;

Colour ByComparison(float value, float reference, const BoardColourSet& colours) {
    const float d = value - reference;
    if (d > kChangeEpsilon) return kRiseColour;
    if (d < -kChangeEpsilon) return kFallColour;
    return colours.level;
}

// "%03d": zero-padded to three digits, the sign counting as a digit.
std::string ThreeDigits(int value) {
    std::string digits = FormatInt(value < 0 ? -static_cast<long long>(value) : value);
    const size_t width = value < 0 ? 2 : 3;
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return value < 0 ? "-" + digits : digits;
}

Cell Placeholder(const BoardColourSet& colours) { return {kPlaceholder, colours.text}; }

bool IsIndexName(std::string_view dueDate) {
    return std::find(kIndexNames.begin(), kIndexNames.end(), dueDate) != kIndexNames.end();
}

}  // namespace

BoardRow BuildBoardRow(const CQeltGoods& g, bool flagged) {
    BoardRow row;
    row.flagged = flagged;
    RowTexts& t = row.texts;
    t[kRowName] = g.name;
    t[kRowDueDate] = g.due_date;
    t[kRowChangePercent] = g.changePercent + "%";
    t[kRowPrice] = g.price;
    t[kRowChange] = g.change;
    t[kRowLastInvestInput] = g.last_invest_input;
    t[kRowLastSaleInput] = g.last_sale_input;
    t[kRowPureNum] = g.pure_num;
    t[kRowNullNum] = g.null_num;
    t[kRowLastPrice] = g.last_price;
    t[kRowSectionCount] = FormatInt(static_cast<long long>(LeadingInt(g.last_section)) + 1);
    t[kRowAllNum] = g.all_num;
    t[kRowLowest] = g.lowest_price;
    t[kRowHighest] = g.highest_price;
    t[kRowOpen] = g.open_price;
    t[kRowGoodsNo] = g.goods_no;
    t[kRowPreClose] = g.pre_close;
    t[kRowState] = g.state;
    t[kRowNewest] = g.newest_price;
    t[kRowInvestPrice] = g.invest_price;
    t[kRowSalePrice] = g.sale_price;
    t[kRowInvestInput] = g.invest_input;
    t[kRowSaleInput] = g.sale_input;
    t[kRowAllNumD] = g.all_num_d;
    t[kRowSpare] = g.spare;
    row.keys[0] = LeadingDouble(g.goods_no + g.due_date);
    row.keys[1] = LeadingDouble(g.price);
    row.keys[2] = LeadingDouble(g.changePercent);
    return row;
}

std::optional<Cell> CellFor(std::string_view title, const BoardRow& row, int displayPos,
                            const BoardColourSet& colours) {
    const RowTexts& t = row.texts;
    if (title == "编号") return Cell{FormatInt(displayPos + 1), colours.header};
    const bool noDueDate = Trim(t[kRowDueDate]).empty();
    if (title == "商品名称") return Cell{noDueDate ? "丝绵" + t[kRowGoodsNo] : t[kRowName], colours.name};
    if (title == "交货月") {
        // An index record's due_date holds its name, which "商品名称" shows already.
        if (IsIndexName(t[kRowDueDate])) return Cell{kIndexMonthText, colours.name};
        return Cell{noDueDate ? "20" + t[kRowGoodsNo] : t[kRowDueDate], colours.name};
    }

    const bool stopped = t[kRowState] == "-1";
    const float preClose = LeadingFloat(t[kRowPreClose]);
    const bool newestZero = row.flagged && IsZeroPrice(LeadingFloat(t[kRowNewest]));
    const float change = LeadingFloat(t[kRowChange]);
    const Colour changeColour = ByComparison(change, 0.0f, colours);

    if (title == "涨幅") {
        if (stopped || newestZero) return Placeholder(colours);
        const std::string& text = t[kRowChangePercent];
        return Cell{text == "--%" ? "--" : text, ByComparison(LeadingFloat(t[kRowPrice]), preClose, colours)};
    }
    if (title == "价格") {
        if (stopped || IsZeroPrice(LeadingFloat(t[kRowPrice]))) return Placeholder(colours);
        return Cell{t[kRowPrice], changeColour};
    }
    if (title == "涨跌") {
        if (stopped || newestZero) return Placeholder(colours);
        return Cell{t[kRowChange], changeColour};
    }
    static constexpr std::pair<const char*, int> kRiseColumns[] = {
        {"买进", kRowLastInvestInput}, {"卖出", kRowLastSaleInput}, {"净持仓量", kRowPureNum},
        {"购销总量", kRowNullNum},     {"成交量", kRowAllNum},      {"品种号", kRowGoodsNo}};
    for (const auto& [name, index] : kRiseColumns) {
        if (title != name) continue;
        if (stopped) return Placeholder(colours);
        return Cell{t[static_cast<size_t>(index)], kRiseColour};
    }
    const int sections = LeadingInt(t[kRowSectionCount]);
    if (title == "上节价") {
        if (stopped || sections == 0) return Placeholder(colours);
        return Cell{t[kRowLastPrice], ByComparison(LeadingFloat(t[kRowLastPrice]), preClose, colours)};
    }
    if (title == "小节数") {
        if (stopped || sections == 0) return Placeholder(colours);
        return Cell{ThreeDigits(sections), kRiseColour};
    }
    static constexpr std::pair<const char*, int> kPriceColumns[] = {
        {"最低价", kRowLowest}, {"最高价", kRowHighest}, {"开盘价", kRowOpen}};
    for (const auto& [name, index] : kPriceColumns) {
        if (title != name) continue;
        const std::string& text = t[static_cast<size_t>(index)];
        const float value = LeadingFloat(text);
        if (stopped || IsZeroPrice(value)) return Placeholder(colours);
        return Cell{text, ByComparison(value, preClose, colours)};
    }
    if (title == "昨收") {
        if (stopped) return Placeholder(colours);
        return Cell{t[kRowPreClose], colours.level};
    }
    static constexpr std::pair<const char*, int> kBookColumns[] = {
        {"动盘价格", kRowNewest},    {"申买价", kRowInvestPrice}, {"申卖价", kRowSalePrice},
        {"申买量", kRowInvestInput}, {"申卖量", kRowSaleInput},   {"动盘成交", kRowAllNumD}};
    for (const auto& [name, index] : kBookColumns) {
        if (title != name) continue;
        const std::string& text = t[static_cast<size_t>(index)];
        if (stopped || IsZeroPrice(LeadingFloat(text))) return Placeholder(colours);
        return Cell{text, colours.level};
    }
    return std::nullopt;
}

}  // namespace qelt
