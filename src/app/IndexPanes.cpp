#include "IndexPanes.h"

namespace qelt {

std::string IndexPaneText(int pane, const std::string& value) {
    static const char* const kLabels[] = {"综合指数：", "生丝指数：", "干茧指数："};
    if (pane < 0 || pane > 2) return value;
    return kLabels[pane] + value;
}

int IndexGoodsForPane(int pane) { return pane >= 0 && pane <= 2 ? 2 - pane : -1; }

}  // namespace qelt
