#pragma once
/// The few fields of a goods record that lists of goods are searched by: the keyboard
/// wizard, goods navigation and the views' pickers read these instead of whole records
/// (a record carries thousands of bars).
#include <string>

#include "common/GoodsKey.h"

namespace qelt {

struct GoodsSummary {
    int position = 0;  ///< index of the record (or of its main record) in the main list
    std::string goods_no;
    std::string due_date;
    std::string name;
    std::string state;
    GoodsKey Key() const { return {goods_no, due_date}; }
    friend bool operator==(const GoodsSummary&, const GoodsSummary&) = default;
};

/// The store's lists of goods, as the summaries and the snapshot queries name them.
enum class GoodsList { Main, Delivery, SpotMonth, ThirdMonth, Contract };

}  // namespace qelt
