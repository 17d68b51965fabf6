#include "server/HistoryGenerator.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>

#include "server/Calendar.h"
#include "server/HistoryStore.h"
#include "server/Random.h"

namespace qelt::server {
namespace {

/// Log-deviation of a goods' level from its base price on each trading day since genesis.
/// Mean-reverting, so years of history stay near realistic levels.
class LevelPaths {
  public:
    /// A copy, so callers never hold a reference into the shared cache.
    std::vector<double> Path(std::uint64_t seed, const std::string& stream, int lastDay) {
        std::lock_guard lock(m_mutex);
        auto& entry = m_paths[std::make_pair(seed, stream)];
        if (entry.lastDay != lastDay) {
            entry.values.clear();
            Random rng(MixSeed(seed, HashText(stream)));
            double x = 0;
            for (int d = kHistoryGenesis; d <= lastDay; d = AddDays(d, 1)) {
                if (!IsTradingDay(d)) continue;
                x = 0.985 * x + 0.014 * rng.Normal();
                entry.values.push_back(x);
            }
            entry.lastDay = lastDay;
        }
        return entry.values;
    }

  private:
    struct Entry {
        int lastDay = 0;
        std::vector<double> values;
    };
    std::mutex m_mutex;
    std::map<std::pair<std::uint64_t, std::string>, Entry> m_paths;
};

LevelPaths& Paths() {
    static LevelPaths paths;
    return paths;
}

/// The level of each trading day since genesis, as a factor around 1: the goods' own path,
/// or for an index the mean of the paths it covers.
std::vector<double> LevelFactors(std::uint64_t seed, const ContractSpec& c, int lastDay) {
    std::vector<std::string> streams;
    const auto& cats = Categories();
    if (c.kind != ContractKind::Index)
        streams.push_back(c.goodsNo);
    else if (c.dueDate == "生丝指数")
        streams.push_back(cats[0].code);
    else if (c.dueDate == "干茧指数")
        streams.push_back(cats[1].code);
    else
        for (const auto& cat : cats) streams.push_back(cat.code);
    std::vector<double> factors;
    for (const auto& stream : streams) {
        auto path = Paths().Path(seed, stream, lastDay);
        if (factors.empty()) factors.assign(path.size(), 0.0);
        for (size_t i = 0; i < path.size() && i < factors.size(); ++i)
            factors[i] += std::exp(path[i]) / static_cast<double>(streams.size());
    }
    return factors;
}

}  // namespace

int ListingDay(const ContractSpec& c) {
    if (c.kind != ContractKind::Future) return kHistoryGenesis;
    return std::max(kHistoryGenesis, AddMonths(c.dueDay, -34));
}

std::vector<Bar> GenerateBars(std::uint64_t seed, const ContractSpec& c, int lastDay) {
    std::vector<Bar> bars;
    int first = ListingDay(c);
    int last = c.kind == ContractKind::Future ? std::min(lastDay, c.dueDay) : lastDay;
    Random rng(MixSeed(seed, HashText(ContractKey(c))));
    double prevClose = 0;
    long pure = 8000 + rng.Between(0, 8000);
    size_t dayIndex = 0;
    const std::vector<double> levels = LevelFactors(seed, c, lastDay);
    for (int d = kHistoryGenesis; d <= last; d = AddDays(d, 1)) {
        if (!IsTradingDay(d)) continue;
        size_t i = dayIndex++;
        if (d < first) continue;
        double level = i < levels.size() ? levels[i] : 1.0;
        double monthsToDue = c.kind == ContractKind::Future
                                 ? static_cast<double>(DaysFromDate(c.dueDay) - DaysFromDate(d)) / 30.0
                                 : 0.0;
        double base = c.kind == ContractKind::Future ? Categories()[static_cast<size_t>(c.category)].basePrice
                                                     : c.basePrice;
        double fair = base * level * (1.0 + 0.004 * monthsToDue);
        Bar b;
        b.date = d;
        b.close = RoundToTick(fair * (1.0 + 0.004 * rng.Normal()), c.tick);
        double open = prevClose > 0 ? prevClose * (1.0 + 0.005 * rng.Normal()) : b.close;
        b.open = RoundToTick(open, c.tick);
        b.high = RoundToTick(std::max(b.open, b.close) * (1.0 + std::fabs(0.006 * rng.Normal())), c.tick);
        b.low = RoundToTick(std::min(b.open, b.close) * (1.0 - std::fabs(0.006 * rng.Normal())), c.tick);
        b.avg = std::round((b.open + b.close + b.high + b.low) * 25.0) / 100.0;
        if (c.kind == ContractKind::Index) {
            b.num = 0;
            b.pure = 0;
            b.null = 0;
        } else {
            double nearness = monthsToDue < 1 ? 0.4 : monthsToDue < 4 ? 1.5 : 1.0;
            b.num = static_cast<long>((300 + rng.Between(0, 2500)) * nearness);
            pure = std::clamp(pure + static_cast<long>(rng.Normal() * 400), 1000L, 40000L);
            b.pure = pure;
            b.null = b.num * 2 + rng.Between(0, 600);
        }
        prevClose = b.close;
        bars.push_back(b);
    }
    return bars;
}

}  // namespace qelt::server
