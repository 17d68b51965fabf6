#include "server/Market.h"

#include <algorithm>
#include <cmath>

#include "server/HistoryGenerator.h"

namespace qelt::server {
namespace {

// Chances per second of a continuous-trading trade: goods quoted only that way trade more.
constexpr double kContinuousChance = 0.06;
constexpr double kFlaggedChance = 0.12;
constexpr double kGoodsVolatility = 0.00011;     // per second, shared by a goods' months
constexpr double kContractVolatility = 0.00003;  // per second, one contract's own wobble
// Bursts: a pause of 2 to 40 minutes (the first of the day within 5), then 1 to 5 minutes
// that move the price 1.2% to 4% one way (up a little more often than down), none in the last
// half hour, where the day heads for its close.
constexpr int kBurstPauseMin = 120, kBurstPauseMax = 2400, kFirstBurstMax = 300;
constexpr int kBurstLengthMin = 60, kBurstLengthMax = 300;
constexpr double kBurstSizeMin = 0.012, kBurstSizeRange = 0.028, kBurstUpChance = 0.55;
constexpr int kBurstQuietEnd = 1800;
constexpr std::uint64_t kBurstStream = 0x6275727374ULL;

bool Trades(const Quote& q) { return q.contract.state > 0 && q.contract.kind != ContractKind::Index; }

}  // namespace

Market::Market(std::uint64_t seed, const HistoryStore& history) : m_seed(seed), m_history(history) {}

const Quote* Market::Find(const GoodsKey& contract) const {
    for (const auto& q : m_quotes)
        if (q.contract.goodsNo == contract.goodsNo && q.contract.dueDate == contract.dueDate) return &q;
    return nullptr;
}

void Market::StartDay(const MarketTime& time) {
    m_time = time;
    m_played = 0;
    m_started = true;
    m_quotes.clear();
    m_rngs.clear();
    m_burstRngs.clear();
    m_goodsRngs.clear();
    const std::uint64_t daySeed = MixSeed(m_seed, static_cast<std::uint64_t>(time.date) * 100 + time.cycle);
    for (size_t k = 0; k < Categories().size(); ++k) m_goodsRngs.emplace_back(MixSeed(daySeed, k));
    for (const auto& contract : ContractsFor(time.date)) {
        if (!contract.onBoard) continue;
        Quote q;
        q.contract = contract;
        q.key = ContractKey(contract);
        q.flagged =
            contract.kind == ContractKind::NoMonth ||
            (contract.category >= 0 && Categories()[static_cast<size_t>(contract.category)].kindFlag == "1");
        const Series* s = m_history.Find(q.key);
        const Bar* last = s && !s->bars.empty() ? &s->bars.back() : nullptr;
        q.preClose = last ? last->close : contract.basePrice;
        q.preAvg = last ? last->avg : q.preClose;
        q.pure = last ? last->pure : 0;
        if (contract.state < 0 && last) {
            // Not trading: the quote stays as its last day ended.
            q.open = last->open;
            q.high = last->high;
            q.low = last->low;
            q.price = q.lastPrice = q.newest = q.preNewest = last->close;
            q.avg = last->avg;
            q.allNum = last->num;
            q.null = last->null;
            q.lastDate = last->date;
        } else {
            q.open = q.high = q.low = q.price = q.lastPrice = q.preClose;
            q.newest = q.preNewest = q.preClose;
            q.avg = q.preAvg;
            q.lastDate = time.date;
        }
        q.fair = q.preClose;
        if (contract.state > 0 && contract.kind != ContractKind::Index) {
            auto bars = GenerateBars(m_seed, contract, time.date);
            if (!bars.empty() && bars.back().date == time.date) {
                q.fair = bars.back().open;
                q.target = bars.back().close;
            }
        }
        q.bid = q.preClose - contract.tick;
        q.ask = q.preClose + contract.tick;
        q.nextTradeSeq = static_cast<std::int64_t>(time.date) * 10000000 + time.cycle * 1000000;
        m_rngs.emplace_back(MixSeed(daySeed, HashText(q.key)));
        m_burstRngs.emplace_back(MixSeed(daySeed ^ kBurstStream, HashText(q.key)));
        PlanBurst(q, m_burstRngs.back(), 0, 0);
        m_quotes.push_back(std::move(q));
    }
    ++m_version;
}

bool Market::AdvanceTo(const MarketTime& time) {
    bool changed = false;
    if (!m_started || time.date != m_time.date || time.cycle != m_time.cycle) {
        StartDay(time);
        changed = true;
    }
    m_time = time;
    int target = std::min(time.sessionSecond, kSessionSeconds);
    if (m_played >= target) return changed;
    for (; m_played < target; ++m_played) Step(m_played);
    ++m_version;
    return true;
}

void Market::Step(int s) {
    std::vector<double> shocks(m_goodsRngs.size());
    for (size_t k = 0; k < shocks.size(); ++k) shocks[k] = m_goodsRngs[k].Normal() * kGoodsVolatility;
    for (size_t i = 0; i < m_quotes.size(); ++i) {
        Quote& q = m_quotes[i];
        if (!Trades(q)) continue;
        double shock = q.contract.category >= 0 ? shocks[static_cast<size_t>(q.contract.category)]
                                                : m_rngs[i].Normal() * kGoodsVolatility;
        StepContract(q, m_rngs[i], m_burstRngs[i], shock, s);
    }
    UpdateIndices(s);
}

void Market::PlanBurst(Quote& q, Random& bursts, int s, int shortestPause) {
    const int start =
        s + static_cast<int>(bursts.Between(shortestPause, s == 0 ? kFirstBurstMax : kBurstPauseMax));
    const int length = static_cast<int>(bursts.Between(kBurstLengthMin, kBurstLengthMax));
    const double size = kBurstSizeMin + kBurstSizeRange * bursts.Uniform();
    const double sign = bursts.Uniform() < kBurstUpChance ? 1.0 : -1.0;
    if (start + length > kSessionSeconds - kBurstQuietEnd) {
        q.burstStart = q.burstEnd = -1;
        return;
    }
    q.burstStart = start;
    q.burstEnd = start + length;
    q.burstDrift = sign * std::log1p(size) / length;
}

void Market::StepContract(Quote& q, Random& rng, Random& bursts, double goodsShock, int s) {
    // A bridge toward the day's close: the pull grows as the session runs out.
    double pull = 0.00002 * std::log(q.preClose / q.fair);
    if (q.target > 0) pull = std::log(q.target / q.fair) / std::max(60, kSessionSeconds - s);
    double drift = 0.0;
    if (q.burstEnd >= 0 && s >= q.burstStart) {
        if (s < q.burstEnd)
            drift = q.burstDrift;
        else
            PlanBurst(q, bursts, s, kBurstPauseMin);
    }
    q.fair *= std::exp(goodsShock + rng.Normal() * kContractVolatility + pull + drift);
    const double tick = q.contract.tick;
    if (rng.Uniform() < 0.5) {
        double mid = RoundToTick(q.fair, tick);
        q.bid = mid - tick * static_cast<double>(rng.Between(1, 2));
        q.ask = mid + tick * static_cast<double>(rng.Between(1, 2));
        q.bidQty = rng.Between(1, 60);
        q.askQty = rng.Between(1, 60);
    }
    if (rng.Uniform() < (q.flagged ? kFlaggedChance : kContinuousChance)) ContinuousTrade(q, rng, s);
    if (!q.flagged && (s + 1) % kSectionSeconds == 0) ClearSection(q, rng, s);
}

Trade Market::MakeTrade(Quote& q, int s, bool isSection, long volume, long buy, long sell) {
    Trade t;
    t.section = q.lastSection < 0 ? 0 : q.lastSection;
    t.sectionPrice = q.price;
    t.comparePrice = q.lastPrice;
    t.cumSection = q.flagged ? q.allNumD : q.allNum;
    t.date = m_time.date;
    t.buy = buy;
    t.sell = sell;
    t.id = ++q.nextTradeSeq;
    t.pure = q.pure;
    t.null = q.null;
    t.isSection = isSection;
    t.time = SessionSecondToClock(s);
    t.newest = q.newest;
    t.cumContinuous = q.allNumD;
    t.bid = q.bid;
    t.bidQty = q.bidQty;
    t.ask = q.ask;
    t.askQty = q.askQty;
    t.reference = q.preClose;
    int minute = t.time / 100;
    if (minute != q.minute) {
        q.minute = minute;
        q.minuteContinuous = 0;
    }
    if (!isSection) q.minuteContinuous += volume;
    t.minuteContinuous = q.minuteContinuous;
    return t;
}

void Market::ContinuousTrade(Quote& q, Random& rng, int s) {
    bool buyerTakes = rng.Uniform() < 0.5;
    double px = buyerTakes ? q.ask : q.bid;
    long volume = rng.Between(1, 30);
    q.newest = px;
    q.allNumD += volume;
    if (buyerTakes)
        q.lastInvestInput = volume;
    else
        q.lastSaleInput = volume;
    if (q.flagged) {
        // Quoted by continuous trading: the day's figures follow it.
        if (q.allNum == 0) q.open = q.high = q.low = px;
        q.price = px;
        q.high = std::max(q.high, px);
        q.low = std::min(q.low, px);
        q.allNum = q.allNumD;
        q.amount += px * static_cast<double>(volume);
        q.avg = std::round(q.amount / static_cast<double>(q.allNum) * 100.0) / 100.0;
        q.pure = std::max(0L, q.pure + rng.Between(-volume, volume));
        q.null += volume * 2;
    }
    q.trades.push_back(MakeTrade(q, s, false, volume, buyerTakes ? volume : 0, buyerTakes ? 0 : volume));
}

void Market::ClearSection(Quote& q, Random& rng, int s) {
    double px = RoundToTick(q.fair, q.contract.tick);
    long volume = rng.Between(20, 400);
    long buy = rng.Between(volume / 3, volume);
    long sell = rng.Between(volume / 3, volume);
    if (q.lastSection < 0) q.open = q.high = q.low = px;
    q.lastPrice = q.lastSection < 0 ? q.preClose : q.price;
    q.price = px;
    ++q.lastSection;
    q.high = std::max(q.high, px);
    q.low = std::min(q.low, px);
    q.allNum += volume;
    q.amount += px * static_cast<double>(volume);
    q.avg = std::round(q.amount / static_cast<double>(q.allNum) * 100.0) / 100.0;
    q.pure = std::max(0L, q.pure + rng.Between(-volume / 2, volume / 2));
    q.null += buy + sell;
    q.lastInvestNum = buy;
    q.lastSaleNum = sell;
    q.trades.push_back(MakeTrade(q, s, true, volume, buy, sell));
}

void Market::UpdateIndices(int s) {
    // An index moves with the average relative change of the trading months it covers.
    auto ratio = [this](int category) {
        double sum = 0;
        int n = 0;
        for (const auto& q : m_quotes) {
            if (q.contract.kind != ContractKind::Future || q.contract.state <= 0) continue;
            if (category >= 0 && q.contract.category != category) continue;
            if (q.preClose <= 0) continue;
            sum += q.price / q.preClose;
            ++n;
        }
        return n ? sum / n : 1.0;
    };
    for (auto& q : m_quotes) {
        if (q.contract.kind != ContractKind::Index) continue;
        int category = q.contract.dueDate == "生丝指数" ? 0 : q.contract.dueDate == "干茧指数" ? 1 : -1;
        double value = std::round(q.preClose * ratio(category) * 100.0) / 100.0;
        q.price = q.newest = value;
        q.high = std::max(q.high, value);
        q.low = std::min(q.low, value);
        // An index is not traded, but it is quoted: a point at the end of every minute, and
        // a numbered section as the contracts clear theirs, give it an intraday chart as a
        // contract has (the default multi-goods grid opens on the indices).
        if ((s + 1) % 60 != 0) continue;
        Trade point = MakeTrade(q, s, (s + 1) % kSectionSeconds == 0, 0, 0, 0);
        point.section = std::max(0, (s + 1) / kSectionSeconds - 1);  // the contracts' last cleared
        q.trades.push_back(point);
    }
}

}  // namespace qelt::server
