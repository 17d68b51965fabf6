#include "app/SystemGoods.h"

#include <optional>

#include "chart/SeriesWindow.h"
#include "data/SeriesUpdate.h"

namespace qelt {

SystemGoods GoodsForSystemTest(const ViewServices& services, int period) {
    CQeltGoods goods = services.CurrentGoods();
    // A derived list's entry mirrors a main record, which has the live quote and the name.
    if (const std::optional<CQeltGoods> main = services.GoodsQuote(goods.Key())) {
        CopyQuoteFields(*main, goods);
        goods.name = main->name;
    }
    UpdateSeriesFromQuote(goods, false);
    SeriesWindow window;
    window.period = period;
    SystemGoods chosen{goods.Key(), goods.name, {}};
    if (!goods.series.empty()) chosen.bars = TakeSeries(goods, window);
    return chosen;
}

}  // namespace qelt
