#include "app/ViewKindTable.h"

#include "common/Commands.h"
#include "views/CQeltKLineView.h"
#include "views/CQeltMutiView.h"
#include "views/CQeltRealView.h"
#include "views/CQeltTradListView.h"
#include "views/QuoteListView.h"
#include "views/ViewKinds.h"
#include "views/WebPageView.h"

namespace qelt {
namespace {

/// A factory for a view made from the services alone.
template <typename V>
ViewFactory Plain() {
    return [](ViewServices& services, int) { return std::make_unique<V>(services); };
}

}  // namespace

std::vector<ViewKind> BuiltInViewKinds(std::function<std::string()> webSite) {
    std::vector<ViewKind> kinds;
    kinds.push_back(
        {kViewQuoteList, "报价分析", Plain<QuoteListView>(), cmd::kQuoteList, "报价分析\tF2", "报"});
    kinds.push_back({kViewKLine, "技术分析", Plain<CQeltKLineView>(), cmd::kKLine, "技术分析", "技"});
    kinds.push_back({kViewIntraday, "即时分析",
                     [](ViewServices& services, int argument) {
                         return std::make_unique<CQeltRealView>(services, SystemChinaTime, argument);
                     },
                     cmd::kIntraday, "即时分析", "即"});
    kinds.push_back(
        {kViewTradeList, "成交明细", Plain<CQeltTradListView>(), cmd::kTradeList, "成交明细\tF1", "交"});
    kinds.push_back(
        {kViewMultiGoods, "多股同列", Plain<CQeltMutiView>(), cmd::kMultiGoods, "多股同列", "多"});
    kinds.push_back({kViewWeb, "资讯系统",
                     [webSite = std::move(webSite)](ViewServices&, int) {
                         return std::make_unique<WebPageView>(webSite ? webSite() : std::string());
                     },
                     cmd::kWeb, "资讯系统", "资", ToolbarPlace::BesideDrawing});
    return kinds;
}

}  // namespace qelt
