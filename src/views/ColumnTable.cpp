#include "views/ColumnTable.h"

#include <algorithm>

#include "common/Numbers.h"
#include "common/Split.h"

namespace qelt {
namespace {

constexpr std::array<std::pair<const char*, int>, kColumnSlots> kDefaults = {{
    {"编号", 60},      {"商品名称", 150}, {"价格", 100},     {"涨跌", 100},     {"买进", 60},
    {"卖出", 60},      {"成交量", 100},   {"净持仓量", 120}, {"购销总量", 120}, {"上节价", 100},
    {"小节数", 80},    {"申买价", 80},    {"申买量", 100},   {"申卖价", 100},   {"申卖量", 100},
    {"动盘价格", 100}, {"动盘成交", 100}, {"交货月", 100},   {"涨幅", 80},      {"最低价", 80},
    {"最高价", 80},    {"开盘价", 80},    {"品种号", 80},    {"昨收", 80},
}};

/// "价格↓" → key 2, descending; nothing for another text.
std::optional<BoardSort> SortOfText(std::string_view text) {
    for (size_t k = 0; k < kSortTitles.size(); ++k) {
        const std::string_view title = kSortTitles[k];
        if (!text.starts_with(title)) continue;
        const std::string_view arrow = text.substr(title.size());
        if (arrow != kUpArrow && arrow != kDownArrow) return std::nullopt;
        return BoardSort{static_cast<int>(k) + 1, arrow == kDownArrow};
    }
    return std::nullopt;
}

}  // namespace

ColumnTable::ColumnTable() {
    for (size_t i = 0; i < kDefaults.size(); ++i) m_slots[i] = {kDefaults[i].first, kDefaults[i].second};
}

int ColumnTable::DefaultWidth(std::string_view title) {
    for (const auto& [t, w] : kDefaults)
        if (title == t) return w;
    return 80;
}

void ColumnTable::Choose(int clickedSlot, const std::string& title) {
    if (clickedSlot < 1 || clickedSlot > kColumnSlots) return;
    Column& clicked = m_slots[static_cast<size_t>(clickedSlot - 1)];
    for (int i = kColumnSlots - 1; i >= 0; --i) {
        if (m_slots[static_cast<size_t>(i)].title == title) {
            std::swap(m_slots[static_cast<size_t>(i)], clicked);
            return;
        }
    }
    clicked = {title, DefaultWidth(title)};
}

std::string ColumnTable::HeadText() const {
    std::string text;
    for (const Column& c : m_slots) {
        text += c.title;
        text += '|';
        text += FormatInt(c.width);
        text += '|';
    }
    // The default order (by contract, ascending) needs no pair: a board never sorted keeps
    // the file it always had.
    if (m_sort && *m_sort != BoardSort{} && m_sort->key >= 1 &&
        m_sort->key <= static_cast<int>(kSortTitles.size())) {
        text += kSortEntryName;
        text += '|';
        text += kSortTitles[static_cast<size_t>(m_sort->key - 1)];
        text += m_sort->descending ? kDownArrow : kUpArrow;
        text += '|';
    }
    return text;
}

void ColumnTable::ParseHeadText(std::string_view utf8Text) {
    const std::vector<std::string_view> pieces = SplitViews(utf8Text, kFieldSeparator);
    for (size_t slot = 0; slot < m_slots.size() && slot * 2 < pieces.size(); ++slot) {
        m_slots[slot].title = std::string(pieces[slot * 2]);
        if (slot * 2 + 1 < pieces.size())
            m_slots[slot].width = std::clamp(LeadingInt(pieces[slot * 2 + 1]), 0, kMaxWidth);
    }
    m_sort.reset();
    for (size_t i = m_slots.size() * 2; i + 1 < pieces.size(); i += 2)
        if (pieces[i] == kSortEntryName) m_sort = SortOfText(pieces[i + 1]);
}

std::optional<std::string> TitleOfColumnCommand(int id) {
    for (const ColumnCommand& c : kColumnCommands)
        if (c.id == id) return std::string(c.title);
    return std::nullopt;
}

}  // namespace qelt
