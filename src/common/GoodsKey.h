#pragma once
/// A contract's identity: its goods number (`goods_no`) and delivery month (`due_date`).
/// The store, the settings files, the requests and the views all name a contract by it.
///
/// Both texts are kept and compared exactly as they came: nothing is trimmed or read as a
/// number, so the blank month " " of a file or a reply is not the empty month of a goods
/// without delivery month. Keys order by goods number, then by month, as texts.
#include <compare>
#include <string>

namespace qelt {

struct GoodsKey {
    std::string goodsNo;
    std::string dueDate;  ///< empty for goods without delivery month
    friend auto operator<=>(const GoodsKey&, const GoodsKey&) = default;
    friend bool operator==(const GoodsKey&, const GoodsKey&) = default;
};

}  // namespace qelt
