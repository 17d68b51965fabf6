#include "server/Catalog.h"

#include "common/Numbers.h"
#include "server/Calendar.h"

namespace qelt::server {

const std::vector<Category>& Categories() {
    // Contracts are quoted in 万元 (ten thousand yuan) with two decimals: 生丝 about 15.80.
    static const std::vector<Category> categories = {
        {"0112", "生丝", "0", 15.80, 0.01},
        {"0121", "干茧", "0", 5.60, 0.01},
        {"0131", "厂丝", "1", 16.20, 0.01},
        {"0145", "绢丝", "0", 9.30, 0.01},
    };
    return categories;
}

namespace {

constexpr int kMonthsBack = 3;
constexpr int kMonthsAhead = 8;

ContractSpec MakeFuture(int category, int dueDay, int monthOffset) {
    const Category& cat = Categories()[static_cast<size_t>(category)];
    ContractSpec c;
    c.goodsNo = cat.code;
    c.dueDate = FormatInt(dueDay);
    c.kind = ContractKind::Future;
    c.category = category;
    c.dueDay = dueDay;
    c.onBoard = monthOffset >= 0;
    // The first month ahead is the spot (delivery) month, the third is the third month;
    // the month running now has delivered or is delivering and no longer trades.
    c.state = monthOffset <= 0 ? -1 : monthOffset == 1 ? 1 : monthOffset == 3 ? 2 : 3 + monthOffset % 3;
    // Later months carry a small premium (cost of carry).
    c.basePrice = cat.basePrice * (1.0 + 0.004 * monthOffset);
    c.tick = cat.tick;
    return c;
}

}  // namespace

std::vector<ContractSpec> ContractsFor(int today) {
    std::vector<ContractSpec> out;
    // The index records come first, 干茧指数 / 生丝指数 / 综合指数: the client's index panes
    // jump to goods 0, 1 and 2 (counted from the right-hand pane).
    const char* indices[] = {"干茧指数", "生丝指数", "综合指数"};
    for (const char* name : indices) {
        ContractSpec c;
        c.goodsNo = kIndexGoodsNo;
        c.dueDate = name;
        c.kind = ContractKind::Index;
        c.state = 3;
        c.basePrice = 1000.0;
        c.tick = 0.01;
        out.push_back(c);
    }
    const auto& cats = Categories();
    for (int k = 0; k < static_cast<int>(cats.size()); ++k) {
        for (int m = -kMonthsBack; m <= kMonthsAhead; ++m) {
            int month = AddMonths(today, m);
            out.push_back(MakeFuture(k, month + 24, m));
            if (k == 0 && (m == 1 || m == 2)) {
                // Mid-month deliveries: the client lists them apart (due dates in "05"/"15").
                ContractSpec mid = MakeFuture(k, month + (m == 1 ? 14 : 4), m);
                mid.state = 4;
                out.push_back(mid);
            }
        }
    }
    const char* noMonth[] = {"0151", "0152"};
    for (int i = 0; i < 2; ++i) {
        ContractSpec c;
        c.goodsNo = noMonth[i];
        c.dueDate = " ";  // blank, not empty: an empty first field would swallow the record
        c.kind = ContractKind::NoMonth;
        c.state = 3;
        c.basePrice = i == 0 ? 2.38 : 3.15;
        c.tick = 0.01;
        out.push_back(c);
    }
    return out;
}

}  // namespace qelt::server
