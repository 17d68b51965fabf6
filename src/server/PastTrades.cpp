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

namespace qelt::server {
namespace {

constexpr int kFewestContinuous = 480;  // about two a minute, so a thin day still has a line
constexpr int kMostContinuous = 1500;

/// How many trades a day of `volume` has: about one for three lots, at least two.
int ContinuousCount(long volume) {
    if (volume <= 0) return 0;
    const long fewest = std::min<long>(volume, kFewestContinuous);
    return static_cast<int>(std::max<long>(2, std::clamp<long>(volume / 3, fewest, kMostContinuous)));
}

/// Sorted session seconds of `count` trades, the first near the open, the last near the close.
std::vector<int> TradeSeconds(Random& rng, int count) {
    std::vector<int> seconds(static_cast<std::size_t>(count));
    for (int& s : seconds) s = static_cast<int>(rng.Between(0, kSessionSeconds - 1));
    std::sort(seconds.begin(), seconds.end());
    seconds.front() = static_cast<int>(rng.Between(0, 20));
    seconds.back() = kSessionSeconds - 1 - static_cast<int>(rng.Between(0, 20));
    for (std::size_t i = 1; i + 1 < seconds.size(); ++i)
        seconds[i] = std::clamp(seconds[i], seconds.front(), seconds.back());
    return seconds;
}

/// Prices from open to close on a random bridge, stretched above and below the straight line
/// so that the highest reaches the day's high and the lowest its low, on the tick.
std::vector<double> BridgePrices(Random& rng, const Bar& bar, int count, double tick) {
    const std::size_t n = static_cast<std::size_t>(count);
    std::vector<double> walk(n, 0.0);
    for (std::size_t i = 1; i < n; ++i) walk[i] = walk[i - 1] + rng.Normal();
    std::vector<double> line(n), bridge(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double f = n > 1 ? static_cast<double>(i) / static_cast<double>(n - 1) : 0.0;
        line[i] = bar.open + (bar.close - bar.open) * f;
        bridge[i] = walk[i] - walk[n - 1] * f;  // 0 at both ends
    }
    double up = 0, down = 0;
    std::size_t top = 0, bottom = 0;
    bool anyUp = false, anyDown = false;
    for (std::size_t i = 1; i + 1 < n; ++i) {
        if (bridge[i] > 0) {
            const double room = (bar.high - line[i]) / bridge[i];
            if (!anyUp || room < up) up = room, top = i;
            anyUp = true;
        } else if (bridge[i] < 0) {
            const double room = (line[i] - bar.low) / -bridge[i];
            if (!anyDown || room < down) down = room, bottom = i;
            anyDown = true;
        }
    }
    std::vector<double> prices(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double stretched = line[i] + bridge[i] * (bridge[i] > 0 ? up : down);
        prices[i] = std::clamp(RoundToTick(stretched, tick), bar.low, bar.high);
    }
    // The extremes exactly, whatever the rounding did; the ends last, so open and close hold.
    if (anyUp) prices[top] = bar.high;
    if (anyDown) prices[bottom] = bar.low;
    prices.front() = bar.open;
    prices.back() = bar.close;
    return prices;
}

/// Volumes of `count` trades adding up to `volume` exactly.
std::vector<long> SplitVolume(Random& rng, long volume, int count) {
    std::vector<long> weights(static_cast<std::size_t>(count));
    long total = 0;
    for (long& w : weights) total += (w = rng.Between(1, 30));
    std::vector<long> volumes(weights.size());
    long given = 0, running = 0;
    for (std::size_t i = 0; i < weights.size(); ++i) {
        running += weights[i];
        const long upTo = static_cast<long>(static_cast<double>(volume) * static_cast<double>(running) /
                                            static_cast<double>(total));
        volumes[i] = std::max(0L, upTo - given);
        given += volumes[i];
    }
    volumes.back() += volume - given;
    return volumes;
}

}  // namespace

std::vector<Trade> ContinuousTradesOfPastDay(std::uint64_t seed, const std::string& key, const Bar& bar,
                                             double preClose, long prePure, double tick) {
    const int count = ContinuousCount(bar.num);
    if (count == 0) return {};
    Random rng(MixSeed(MixSeed(seed, HashText(key)), static_cast<std::uint64_t>(bar.date)));
    const std::vector<int> seconds = TradeSeconds(rng, count);
    const std::vector<double> prices = BridgePrices(rng, bar, count, tick);
    const std::vector<long> volumes = SplitVolume(rng, bar.num, count);
    std::vector<Trade> out;
    out.reserve(static_cast<std::size_t>(count));
    long cumulative = 0, minuteVolume = 0;
    int minute = -1;
    double previous = preClose;
    for (int i = 0; i < count; ++i) {
        const std::size_t k = static_cast<std::size_t>(i);
        const double f = static_cast<double>(i + 1) / count;
        cumulative += volumes[k];
        Trade t;
        t.section = seconds[k] / kSectionSeconds;
        t.sectionPrice = t.newest = prices[k];
        t.comparePrice = previous;
        t.cumSection = t.cumContinuous = cumulative;
        t.date = bar.date;
        (rng.Uniform() < 0.5 ? t.buy : t.sell) = volumes[k];
        t.id = static_cast<std::int64_t>(bar.date) * 10000000 + 9000000 + i;
        // The net position wanders from the day before to the day's own.
        t.pure = i + 1 == count ? bar.pure
                                : std::max(0L, prePure + static_cast<long>((bar.pure - prePure) * f) +
                                                   rng.Between(-volumes[k], volumes[k]));
        t.null = static_cast<long>(static_cast<double>(bar.null) * f);
        t.isSection = false;
        t.time = SessionSecondToClock(seconds[k]);
        t.bid = prices[k] - tick;
        t.ask = prices[k] + tick;
        t.bidQty = rng.Between(1, 60);
        t.askQty = rng.Between(1, 60);
        t.reference = preClose;
        if (t.time / 100 != minute) minute = t.time / 100, minuteVolume = 0;
        t.minuteContinuous = minuteVolume += volumes[k];
        out.push_back(t);
        previous = prices[k];
    }
    return out;
}

}  // namespace qelt::server
