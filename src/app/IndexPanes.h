#pragma once
/// The index bar: three status-bar panes with the index values, and the double click that
/// jumps to an index goods.
#include <string>

namespace qelt {

/// Pane texts: "综合指数：" + first value, "生丝指数：" + second, "干茧指数：" + third.
std::string IndexPaneText(int pane, const std::string& value);

/// Goods index a double click on index pane `pane` jumps to: counted from the right, the
/// 干茧指数 pane selects goods 0, 生丝指数 goods 1 and 综合指数 goods 2; -1 elsewhere.
int IndexGoodsForPane(int pane);

}  // namespace qelt
