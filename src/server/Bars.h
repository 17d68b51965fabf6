#pragma once
/// Day bars and trades as the demo exchange keeps them, and their wire forms.
#include <cstdint>
#include <string>

namespace qelt::server {

struct Bar {
    int date = 0;
    double open = 0, close = 0, high = 0, low = 0;
    long num = 0;
    double avg = 0;
    long pure = 0;
    long null = 0;
};

/// One trade of the trade table (20 fields on the wire).
struct Trade {
    int section = 0;  ///< counted from 0
    double sectionPrice = 0;
    double comparePrice = 0;  ///< the previous section's price: the views colour against it
    long cumSection = 0;      ///< day's cumulative section volume
    int date = 0;
    long buy = 0, sell = 0;
    std::int64_t id = 0;  ///< identity, stable for the trade's life
    long pure = 0, null = 0;
    bool isSection = false;  ///< false: a continuous-trading trade (marker blank)
    int time = 0;            ///< HHMMSS
    double newest = 0;
    long cumContinuous = 0;
    double bid = 0;
    long bidQty = 0;
    double ask = 0;
    long askQty = 0;
    double reference = 0;
    long minuteContinuous = 0;
};

/// date|open|close|high|low|num|avg|pure|null|due_date
std::string FormatBar(const Bar& bar, const std::string& dueDate);
/// The 20 fields of a trade, bar-separated (no empty field: the blank marker is " ").
std::string FormatTrade(const Trade& trade);
/// Rounds to a multiple of `tick` (at least 0.01).
double RoundToTick(double value, double tick);

}  // namespace qelt::server
