#pragma once
/// The kinds of main view, as WM_SWITCH_VIEW names them in its wParam.

namespace qelt {

enum ViewKind : int {
    kViewQuoteList = 1,   ///< 报价分析
    kViewKLine = 2,       ///< 技术分析
    kViewIntraday = 3,    ///< 即时分析
    kViewTradeList = 4,   ///< 成交明细
    kViewWeb = 5,         ///< 资讯系统
    kViewMultiGoods = 6,  ///< 多股同列
};

}  // namespace qelt
