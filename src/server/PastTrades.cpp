#include "server/PastTrades.h"

#include <algorithm>
#include <cmath>

#include "server/Calendar.h"
#include "server/Random.h"

namespace qelt::server {

std::vector<Trade> TradesOfPastDay(const std::string& key, const Bar& bar, double preClose) {
    std::vector<Trade> out;
    const int sections = kSessionSeconds / kSectionSeconds;
    Random rng(MixSeed(HashText(key), static_cast<std::uint64_t>(bar.date)));
    long volumeLeft = std::max(bar.num, static_cast<long>(sections));
    long cumulative = 0;
    double previous = preClose;
    for (int i = 0; i < sections; ++i) {
        double f = static_cast<double>(i) / (sections - 1);
        // A bridge from open to close with a wobble that touches the day's extremes.
        double wobble = std::sin(f * 3.14159265 * (1 + static_cast<int>(rng.Between(1, 3)))) * 0.5;
        double px = bar.open + (bar.close - bar.open) * f + wobble * (bar.high - bar.low) * 0.5;
        if (i == 0) px = bar.open;
        if (i == sections - 1) px = bar.close;
        px = std::clamp(std::round(px * 100.0) / 100.0, bar.low, bar.high);
        long volume =
            i == sections - 1 ? volumeLeft : std::min(volumeLeft, rng.Between(1, 2 * bar.num / sections + 1));
        volumeLeft -= volume;
        cumulative += volume;
        Trade t;
        t.section = i;
        t.sectionPrice = px;
        t.comparePrice = previous;
        t.cumSection = cumulative;
        t.date = bar.date;
        t.buy = volume;
        t.sell = volume;
        t.id = static_cast<std::int64_t>(bar.date) * 10000000 + 9000000 + i;
        t.pure = bar.pure;
        t.null = bar.null;
        t.isSection = true;
        t.time = SessionSecondToClock((i + 1) * kSectionSeconds - 1);
        t.newest = px;
        t.cumContinuous = 0;
        t.bid = px;
        t.ask = px;
        t.reference = preClose;
        out.push_back(t);
        previous = px;
    }
    return out;
}

}  // namespace qelt::server
