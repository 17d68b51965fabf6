#pragma once
/// The board's 24 column slots: a title and a width each. A column's content is chosen by
/// its title, never by its slot; the width travels with the title when the user moves a
/// column. Slots 1 to 3 are frozen at the left, 4 to 24 scroll.
///
/// head.ini (data/settings/HeadFile) holds "title|width|" for every slot in order, then, when
/// the board is not sorted by contract ascending, its sort as one more pair: "排序|" followed
/// by the sort column's title with its header arrow and "|" ("排序|价格↓|"). A reader that
/// takes 24 slots ignores the pair.
/// The settings keep its text for the run (ViewSettings::BoardColumns).
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "views/BoardSort.h"

namespace qelt {

inline constexpr int kColumnSlots = 24;
inline constexpr int kFrozenSlots = 3;

struct Column {
    std::string title;
    int width = 0;
    friend bool operator==(const Column&, const Column&) = default;
};

class ColumnTable {
  public:
    /// The default titles and widths.
    ColumnTable();

    /// Slot 1..24.
    const Column& Slot(int slot) const { return m_slots[static_cast<size_t>(slot - 1)]; }
    const std::array<Column, kColumnSlots>& Slots() const { return m_slots; }

    /// Swaps title and width between `clickedSlot` and the slot that holds `title` (searched
    /// from the last slot backwards). When no slot holds the title (a head.ini with foreign
    /// titles), the clicked slot takes the title with its default width.
    void Choose(int clickedSlot, const std::string& title);

    /// The sort head.ini holds (after ParseHeadText or Load); nothing when it holds none or
    /// one this board does not know.
    const std::optional<BoardSort>& Sort() const { return m_sort; }
    /// The sort the next write keeps in the file.
    void SetSort(const BoardSort& sort) { m_sort = sort; }

    /// The file text in UTF-8: "title|width|" per slot, then the sort pair for a sort other
    /// than the default.
    std::string HeadText() const;
    /// Reads entries from the start of `utf8Text` while text remains; slots without an entry
    /// keep their values. Widths are clamped to 0..kMaxWidth so a damaged file cannot lay the
    /// board out far off screen. The sort pair is looked for after the 24 slots.
    void ParseHeadText(std::string_view utf8Text);

    static constexpr int kMaxWidth = 1000;
    /// Default width of a known title, 80 for an unknown one.
    static int DefaultWidth(std::string_view title);

  private:
    std::array<Column, kColumnSlots> m_slots;
    std::optional<BoardSort> m_sort;
};

/// The sort pair's name in head.ini.
inline constexpr const char* kSortEntryName = "排序";

/// One entry of the "list head" popup.
struct ColumnCommand {
    int id;
    const char* title;  ///< the column title the command puts into the slot
    const char* label;  ///< the menu text ("净持有量" for "净持仓量")
};
inline constexpr std::array<ColumnCommand, 24> kColumnCommands = {{
    {32845, "编号", "编号"},         {32846, "商品名称", "商品名称"}, {32847, "交货月", "交货月"},
    {32848, "涨幅", "涨幅"},         {32849, "价格", "价格"},         {32850, "涨跌", "涨跌"},
    {32851, "买进", "买进"},         {32852, "卖出", "卖出"},         {32853, "净持仓量", "净持有量"},
    {32854, "购销总量", "购销总量"}, {32855, "上节价", "上节价"},     {32856, "小节数", "小节数"},
    {32857, "成交量", "成交量"},     {32858, "最低价", "最低价"},     {32859, "最高价", "最高价"},
    {32860, "开盘价", "开盘价"},     {32861, "品种号", "品种号"},     {32862, "昨收", "昨收"},
    {32941, "申卖价", "申卖价"},     {32942, "动盘价格", "动盘价格"}, {32943, "动盘成交", "动盘成交"},
    {32944, "申买价", "申买价"},     {32945, "申买量", "申买量"},     {32946, "申卖量", "申卖量"},
}};

/// The title a column command stands for; nothing for another id.
std::optional<std::string> TitleOfColumnCommand(int id);

}  // namespace qelt
