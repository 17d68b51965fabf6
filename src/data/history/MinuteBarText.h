#pragma once
/// The text a day's bars of one minute period are kept as in the history database: one line
/// per bar, "HHMM,open_price,close_price,highest_price,lowest_price,num,avg_price,pure_num,
/// null_num", the bar's texts as they are (the date and due_date are the row's).
///
/// The database is a file like any other: reading it takes at most kMaxMinuteBarsPerDay
/// lines of at most kMaxMinuteLine bytes, each with exactly nine fields, a time at which a bar
/// starts (0900-1059, 1330-1529) and numbers where numbers belong; a day whose text breaks any of this gives
/// no bars.
#include <cstddef>
#include <string>
#include <string_view>

#include "data/Bar.h"

namespace qelt {

/// A day has at most 240 one-minute bars.
inline constexpr std::size_t kMaxMinuteBarsPerDay = 240;
inline constexpr std::size_t kMaxMinuteLine = 256;

std::string FormatMinuteBars(const BarSeries& bars);

/// Appends the bars of `text` to `out`, dated `date` with `dueDate`; false (and nothing
/// appended) when the text is not as FormatMinuteBars writes it.
bool ParseMinuteBars(std::string_view text, std::string_view date, std::string_view dueDate, BarSeries& out);

}  // namespace qelt
