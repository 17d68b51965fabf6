// The K-line view on an entry of a derived list (a category that is not the all-goods or the
// self-selected list): the entry's own bars, with the live quote, name, flag and today's
// trades of the main record it mirrors.
#include <gtest/gtest.h>

#include "support/KLineTestSupport.h"

namespace qelt {
namespace {

TEST(KLineDerivedEntry, ShowsItsOwnBarsWithTheMainRecordsQuoteNameFlagAndTrades) {
    test::KLineFixture f;
    CQeltGoods& main = f.services.mainList[0];
    main.name = "桑蚕丝-0706";
    main.flagged = true;
    main.trades = {{"3", "106.00", "5", "7", main.last_date, "1", "2", "id7"}};
    // The entry the category shows: the same contract with a quote of its own from an older
    // board and bars of its own.
    CQeltGoods entry = main;
    entry.name = "旧名";
    entry.flagged = false;
    entry.price = "99.00";
    entry.trades.clear();
    entry.series.erase(entry.series.begin(), entry.series.end() - 40);  // the newest 40 days
    const CQeltGoods live = main;
    f.services.mainList.push_back(entry);  // `main` goes with the list's storage
    f.services.selection.goods = 2;
    f.Open();
    const CQeltGoods& shown = f.view->Goods();
    EXPECT_EQ(shown.price, live.price);
    EXPECT_EQ(shown.name, "桑蚕丝-0706");
    EXPECT_TRUE(shown.flagged);
    EXPECT_EQ(shown.trades, live.trades);
    EXPECT_EQ(f.view->Series().size(), 40u);

    // In the all-goods list the entry is the main record itself: nothing is taken over.
    f.services.selection.category = 2;  // "0001"
    f.Open();
    EXPECT_EQ(f.view->Goods().name, "旧名");
    EXPECT_EQ(f.view->Goods().price, "99.00");
}

}  // namespace
}  // namespace qelt
