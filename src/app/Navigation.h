#pragma once
/// Moving between goods (上一个 / 下一个, Page Up / Page Down in the views) within the main
/// goods list, by the category on show.
#include <string>
#include <vector>

#include "data/GoodsSummary.h"

namespace qelt {

/// The lists navigation walks (their summaries): the store's main list and the three
/// derived lists whose entries are visited in their own order.
struct NavigationLists {
    std::vector<GoodsSummary> main;
    std::vector<GoodsSummary> spotMonth;
    std::vector<GoodsSummary> delivery;
    std::vector<GoodsSummary> thirdMonth;
};

/// The goods index after one step (`forward` or back) from `current`, for the category code
/// `categoryCode` read as an integer k:
/// - 2000: the next record whose due_date is blank (leading blanks ignored);
/// - other k > 10: the next record of that goods number with state >= 0;
/// - 1: the next record with state > 0;
/// - 2, 3, 4: the next entry of the spot-month, delivery-month or third-month list (the
///   entry whose position is `current` is the starting point); its position is returned;
/// - 5: the next record other than goods "0009" whose due_date ends in "25";
/// - 6: likewise ending in "05" or "15";
/// - 0, 7 to 10: no movement.
/// Searches wrap at the ends and look at most at n records; without a match the index stays.
int StepGoods(const NavigationLists& lists, const std::string& categoryCode, int current, bool forward);

}  // namespace qelt
