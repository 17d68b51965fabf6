#include "views/controls/HotKeyModel.h"

namespace qelt {

std::vector<HotKeyRow> FilterHotKeyRows(const std::vector<GoodsSummary>& mainList, std::string_view typed) {
    std::string_view number = typed;
    std::string_view month;
    if (typed.size() > 4) {
        number = typed.substr(0, 4);
        month = typed.substr(4);
    }
    std::vector<HotKeyRow> rows;
    for (size_t i = 0; i < mainList.size(); ++i) {
        const GoodsSummary& g = mainList[i];
        if (!std::string_view(g.goods_no).starts_with(number)) continue;
        if (!month.empty() && !std::string_view(g.due_date).starts_with(month)) continue;
        rows.push_back({g.goods_no, g.name, static_cast<int>(i)});
    }
    return rows;
}

Rect HotKeyPlacement(Point anchor) {
    return {anchor.x - 153, anchor.y - 155, anchor.x - 153 + 150, anchor.y - 155 + 230};
}

}  // namespace qelt
