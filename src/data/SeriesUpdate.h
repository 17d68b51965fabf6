#pragma once
/// Keeping a goods record's day series in step with its live quote.
#include <optional>
#include <string>

#include "data/CQeltGoods.h"

namespace qelt {

/// Folds the goods' live quote into its day series:
/// - empty series, series wanted: clears the flag and, when `online`, returns the
///   "line:%s:%s:%s:%d:" request (list tag, goods_no, due_date, cover mode) for the caller
///   to send once it holds no lock;
/// - empty series, not wanted, no trades: appends one bar built from the quote;
/// - otherwise nothing for flagged goods whose newest_price is zero, nothing for the
///   delivery-month list (tag "0"); a last bar of the quote's date (last_date) takes close
///   (newest_price when flagged, else price), high, low, volume (all_num_d when flagged,
///   else all_num), average, net position and null_num; any other date appends a new bar.
std::optional<std::string> UpdateSeriesFromQuote(CQeltGoods& goods, bool online);

/// The bar the quote stands for today: last_date, open, close, high, low, volume, average
/// price, net position, null_num and due_date.
CBarRow BarFromQuote(const CQeltGoods& goods);

}  // namespace qelt
