#pragma once
/// Where a past day's minute bars are kept once they have been made from its trades: a past
/// day never changes, so it is asked of the server once and read from here afterwards (the
/// next start, offline browsing). The local history database implements it.
#include <cstdint>
#include <utility>
#include <vector>

#include "common/GoodsKey.h"
#include "data/Bar.h"

namespace qelt {

/// One past day of one contract: its bars in each minute period (minutes, bars), made from
/// its trades. A day without continuous trades has periods without bars: it is kept all
/// the same, so that it is not asked for again.
struct MinuteDay {
    std::int64_t date = 0;
    std::vector<std::pair<int, BarSeries>> periods;
};

class MinuteArchive {
  public:
    virtual ~MinuteArchive() = default;
    /// The dates of the kept days of `contract`, ascending.
    virtual std::vector<std::int64_t> KeptDays(const GoodsKey& contract) const = 0;
    /// Keeps `day`; a day kept before stays as it was. False when it could not be written.
    virtual bool KeepDay(const GoodsKey& contract, const MinuteDay& day) = 0;
    /// The kept bars of the period `minutes` of the days from `fromDate` on, oldest first,
    /// each with its time and `contract`'s due_date.
    virtual BarSeries KeptBars(const GoodsKey& contract, int minutes, std::int64_t fromDate) const = 0;
};

}  // namespace qelt
