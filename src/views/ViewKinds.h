#pragma once
/// The ids of the client's own kinds of main view, as WM_SWITCH_VIEW names them in its
/// wParam (the kinds themselves are the entries of the application's view table).

namespace qelt {

enum ViewKindId : int {
    kViewQuoteList = 1,   ///< 报价分析
    kViewKLine = 2,       ///< 技术分析
    kViewIntraday = 3,    ///< 即时分析
    kViewTradeList = 4,   ///< 成交明细
    kViewWeb = 5,         ///< 资讯系统
    kViewMultiGoods = 6,  ///< 多股同列
};

}  // namespace qelt
