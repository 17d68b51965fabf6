#include "views/widgets/HotKeyFilter.h"

namespace qelt {
namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::vector<HotKeyRow> FilterHotKeyRows(const std::vector<CQeltGoods>& mainList, std::string_view typed) {
    std::string_view number = typed;
    std::string_view month;
    if (typed.size() > 4) {
        number = typed.substr(0, 4);
        month = typed.substr(4);
    }
    std::vector<HotKeyRow> rows;
    for (size_t i = 0; i < mainList.size(); ++i) {
        const CQeltGoods& g = mainList[i];
        if (!StartsWith(g.goods_no, number)) continue;
        if (!month.empty() && !StartsWith(g.due_date, month)) continue;
        rows.push_back({g.goods_no, g.name, static_cast<int>(i)});
    }
    return rows;
}

Rect HotKeyPlacement(Point anchor) {
    return {anchor.x - 153, anchor.y - 155, anchor.x - 153 + 150, anchor.y - 155 + 230};
}

}  // namespace qelt
