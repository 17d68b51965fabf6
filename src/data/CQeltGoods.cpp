#include "data/CQeltGoods.h"

namespace qelt {

namespace {

using Member = std::string CQeltGoods::*;

// The "list" reply's field order; entry k is list field k + 1.
constexpr Member kListOrder[kListFields] = {
    &CQeltGoods::due_date,        &CQeltGoods::last_sale_num,
    &CQeltGoods::last_invest_num, &CQeltGoods::last_price,
    &CQeltGoods::last_section,    &CQeltGoods::all_num,
    &CQeltGoods::lowest_price,    &CQeltGoods::highest_price,
    &CQeltGoods::open_price,      &CQeltGoods::goods_no,
    &CQeltGoods::null_num,        &CQeltGoods::price,
    &CQeltGoods::last_sale_input, &CQeltGoods::last_invest_input,
    &CQeltGoods::pure_num,        &CQeltGoods::pre_close,
    &CQeltGoods::state,           &CQeltGoods::pre_avg_price,
    &CQeltGoods::avg_price,       &CQeltGoods::last_date,
    &CQeltGoods::invest_price,    &CQeltGoods::invest_input,
    &CQeltGoods::sale_price,      &CQeltGoods::sale_input,
    &CQeltGoods::newest_price,    &CQeltGoods::all_num_d,
    &CQeltGoods::pre_newest,
};

// Record order, goods_no .. pre_newest.
constexpr Member kQuoteOrder[] = {
    &CQeltGoods::goods_no,        &CQeltGoods::due_date,
    &CQeltGoods::last_section,    &CQeltGoods::last_sale_num,
    &CQeltGoods::last_invest_num, &CQeltGoods::all_num,
    &CQeltGoods::null_num,        &CQeltGoods::pure_num,
    &CQeltGoods::lowest_price,    &CQeltGoods::highest_price,
    &CQeltGoods::open_price,      &CQeltGoods::last_price,
    &CQeltGoods::price,           &CQeltGoods::pre_close,
    &CQeltGoods::last_sale_input, &CQeltGoods::last_invest_input,
    &CQeltGoods::state,           &CQeltGoods::avg_price,
    &CQeltGoods::pre_avg_price,   &CQeltGoods::last_date,
    &CQeltGoods::invest_price,    &CQeltGoods::invest_input,
    &CQeltGoods::sale_price,      &CQeltGoods::sale_input,
    &CQeltGoods::newest_price,    &CQeltGoods::all_num_d,
    &CQeltGoods::spare,           &CQeltGoods::pre_newest,
};

}  // namespace

std::string CQeltGoods::*ListField(std::size_t number) {
    if (number < 1 || number > kListFields) return nullptr;
    return kListOrder[number - 1];
}

bool IsListPriceField(std::size_t number) {
    switch (number) {
        case 4:
        case 7:
        case 8:
        case 9:
        case 12:
        case 16:
        case 18:
        case 19:
            return true;
        default:
            return false;
    }
}

void CopyListFields(const CQeltGoods& from, CQeltGoods& to, std::size_t first, std::size_t last) {
    for (std::size_t n = first; n <= last && n <= kListFields; ++n) {
        Member m = ListField(n);
        if (m != nullptr) to.*m = from.*m;
    }
}

void CopyQuoteFields(const CQeltGoods& from, CQeltGoods& to) {
    for (Member m : kQuoteOrder) to.*m = from.*m;
}

}  // namespace qelt
