#pragma once
/// `CHotKey`'s rules without the dialog: the keyboard wizard (键盘精灵) lists the contracts
/// whose goods number starts with the typed text; beyond four characters the first four are
/// the goods-number prefix and the rest a delivery-month prefix.
#include <string>
#include <string_view>
#include <vector>

#include "data/GoodsSummary.h"
#include "gfx/GfxTypes.h"

namespace qelt {

struct HotKeyRow {
    std::string goodsNo;  ///< column "分类"
    std::string name;     ///< column "名称"
    int goodsIndex = -1;  ///< index in the main goods list
    friend bool operator==(const HotKeyRow&, const HotKeyRow&) = default;
};

/// Rows for `typed` over the main goods list, in list order.
std::vector<HotKeyRow> FilterHotKeyRows(const std::vector<GoodsSummary>& mainList, std::string_view typed);

/// The dialog's rectangle for an anchor point (screen): top-left (x - 153, y - 155), 150 × 230.
Rect HotKeyPlacement(Point anchor);

}  // namespace qelt
