#pragma once
/// qelt-ta's trades mode: minute bars made from a file of trade records.
///   qelt-ta --trades FILE --period 1min|5min|15min|30min|60min
/// The file holds one trade record per line, its 20 fields separated by commas (a first line
/// that does not start with a digit is a header; blank lines are ignored). The output is
/// "date,time,open_price,close_price,highest_price,lowest_price,num,avg_price,pure_num" and one
/// row per minute bar in time order, the time as four digits HHMM.
#include <string>
#include <string_view>
#include <vector>

#include "data/CQeltGoods.h"

namespace qelt::ta {

/// Whether the arguments ask for the trades mode (--trades is among them).
bool AsksForTrades(const std::vector<std::string>& args);

/// Runs the trades mode: 0 with the output in `out`, or 2 with one line in `error`.
int RunTrades(const std::vector<std::string>& args, std::string& out, std::string& error);

/// The records of a trades file; false with "line N: ..." in `error` for a malformed row
/// (not 20 fields; a counted record whose date is not YYYYMMDD or whose time, price, volume
/// or net position is no plain number).
bool ParseTradesFile(std::string_view text, std::vector<TradeRow>& trades, std::string& error);

/// The minute bars of `trades` in a period of `minutes`, printed as the trades mode prints them.
std::string FormatMinuteBarRows(const std::vector<TradeRow>& trades, int minutes);

}  // namespace qelt::ta
