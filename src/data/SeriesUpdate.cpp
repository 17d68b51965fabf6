#include "data/SeriesUpdate.h"

#include <cmath>

#include "common/Numbers.h"
#include "net/Requests.h"

namespace qelt {

namespace {

const std::string& LiveClose(const CQeltGoods& goods) {
    return goods.flagged ? goods.newest_price : goods.price;
}

const std::string& LiveVolume(const CQeltGoods& goods) {
    return goods.flagged ? goods.all_num_d : goods.all_num;
}

}  // namespace

CBarRow BarFromQuote(const CQeltGoods& goods) {
    CBarRow bar;
    bar.Assign({goods.last_date, goods.open_price, LiveClose(goods), goods.highest_price, goods.lowest_price,
                LiveVolume(goods), goods.avg_price, goods.pure_num, goods.null_num, goods.due_date});
    return bar;
}

std::optional<std::string> UpdateSeriesFromQuote(CQeltGoods& goods, bool online) {
    if (goods.series.empty()) {
        if (goods.seriesWanted) {
            // Cleared before sending: the request goes out once even if no reply comes.
            goods.seriesWanted = false;
            if (online) return LineRequest(goods.listTag, goods.Key(), goods.coverMode);
            return std::nullopt;
        }
        if (goods.trades.empty()) goods.series.push_back(BarFromQuote(goods));
        return std::nullopt;
    }
    if (goods.flagged && std::fabs(LeadingDouble(goods.newest_price)) < 0.0001) return std::nullopt;
    if (goods.listTag == kTagDelivery) return std::nullopt;

    CBarRow& last = goods.series.back();
    if (last.Get(kBarDate) != goods.last_date) {
        goods.series.push_back(BarFromQuote(goods));
        return std::nullopt;
    }
    // Date, open and due_date of today's bar stay as they are.
    last.Assign({last.Get(kBarDate), last.Get(kBarOpen), LiveClose(goods), goods.highest_price,
                 goods.lowest_price, LiveVolume(goods), goods.avg_price, goods.pure_num, goods.null_num,
                 last.Get(kBarDue)});
    return std::nullopt;
}

}  // namespace qelt
