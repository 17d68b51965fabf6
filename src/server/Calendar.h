#pragma once
/// Dates as the market writes them (YYYYMMDD integers) and the market's clock: China time
/// (UTC+8, no daylight saving), two sessions 09:00-11:00 and 13:30-15:30.
#include <cstdint>
#include <string>

namespace qelt::server {

/// Days since 1970-01-01 of a YYYYMMDD date, and back.
long DaysFromDate(int yyyymmdd);
int DateFromDays(long days);
int AddDays(int yyyymmdd, int days);
/// 0 = Sunday ... 6 = Saturday.
int Weekday(int yyyymmdd);
bool IsTradingDay(int yyyymmdd);
/// The last trading day strictly before `yyyymmdd`.
int PreviousTradingDay(int yyyymmdd);
/// First day of the month `months` after the month of `yyyymmdd` (negative goes back).
int AddMonths(int yyyymmdd, int months);
std::string DateText(int yyyymmdd);

/// Seconds of trading in one day (two sessions of two hours).
inline constexpr int kSessionSeconds = 4 * 3600;
/// Seconds between two numbered trading sections.
inline constexpr int kSectionSeconds = 120;

/// A moment on the market's clock.
struct MarketTime {
    int date = 0;           ///< China date, YYYYMMDD
    int secondOfDay = 0;    ///< China wall-clock seconds since midnight
    int sessionSecond = 0;  ///< trading seconds elapsed today, 0 .. kSessionSeconds
    int cycle = 0;          ///< demo clock: how many times the day has restarted
};

/// Wall-clock seconds (HHMMSS as an integer) of a session second.
int SessionSecondToClock(int sessionSecond);
/// Trading seconds elapsed at a wall-clock second of the day (clamped to the sessions).
int ClockToSessionSecond(int secondOfDay);

/// Real clock: the China date and the sessions as they are. Demo clock: the same date, but
/// the trading day runs round the clock, restarting every kSessionSeconds (cycle counts the
/// restarts), so the market is always in session.
MarketTime MarketTimeAt(std::int64_t unixSeconds, bool demo);

}  // namespace qelt::server
