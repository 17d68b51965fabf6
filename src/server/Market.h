#pragma once
/// The simulated market: every listed contract's quote and today's trades, advanced second
/// by second on the market clock. Deterministic for a seed: the same day (and demo cycle)
/// replays the same prices and trades, whenever the server starts.
///
/// Ordinary goods trade in numbered sections (one every kSectionSeconds of session time),
/// with continuous trading ("动盘") between them; goods of a kind-"1" category and goods
/// without delivery month trade continuously only. Indices follow their goods. Each day
/// opens and ends near the open and close that the history generator gives that day, so
/// tomorrow's history (and previous close) agrees with what was watched today.
#include <cstdint>
#include <string>
#include <vector>

#include "common/GoodsKey.h"
#include "server/Bars.h"
#include "server/Calendar.h"
#include "server/Catalog.h"
#include "server/HistoryStore.h"
#include "server/Random.h"

namespace qelt::server {

struct Quote {
    ContractSpec contract;
    std::string key;
    bool flagged = false;  ///< quoted by continuous trading only
    double preClose = 0, preAvg = 0, preNewest = 0;
    double open = 0, high = 0, low = 0, price = 0, lastPrice = 0, avg = 0, amount = 0;
    long allNum = 0, pure = 0, null = 0;
    int lastSection = -1;
    long lastSaleNum = 0, lastInvestNum = 0, lastSaleInput = 0, lastInvestInput = 0;
    double newest = 0;
    long allNumD = 0;
    double bid = 0, ask = 0;
    long bidQty = 0, askQty = 0;
    int lastDate = 0;
    double fair = 0;    ///< the value the traders are chasing
    double target = 0;  ///< where the day ends: the close its history bar will have
    /// A burst: from burstStart to burstEnd (session seconds) the traders chase the price one
    /// way, burstDrift (log) a second: the breakouts and sell-offs a trader watches for.
    int burstStart = -1, burstEnd = -1;
    double burstDrift = 0;
    std::vector<Trade> trades;
    std::int64_t nextTradeSeq = 0;
    long minuteContinuous = 0;
    int minute = -1;
};

class Market {
  public:
    Market(std::uint64_t seed, const HistoryStore& history);

    /// Starts the day (or demo cycle) of `time` when it differs from the current one, then
    /// plays every session second up to `time`. Returns true when anything changed.
    bool AdvanceTo(const MarketTime& time);

    const std::vector<Quote>& Quotes() const { return m_quotes; }
    const Quote* Find(const GoodsKey& contract) const;
    /// Grows whenever a quote changed; caches of formatted replies key on it.
    std::uint64_t Version() const { return m_version; }
    int Date() const { return m_time.date; }

    /// The "list" body: 27 fields per listed contract, "||"-separated.
    std::string ListBody() const;

  private:
    void StartDay(const MarketTime& time);
    void Step(int sessionSecond);
    void StepContract(Quote& q, Random& rng, Random& bursts, double goodsShock, int sessionSecond);
    /// The contract's next burst, after a pause from `sessionSecond` on; none late in the day,
    /// so the day still ends at its history bar's close.
    static void PlanBurst(Quote& q, Random& bursts, int sessionSecond, int shortestPause);
    void ClearSection(Quote& q, Random& rng, int sessionSecond);
    void ContinuousTrade(Quote& q, Random& rng, int sessionSecond);
    void UpdateIndices(int s);
    Trade MakeTrade(Quote& q, int sessionSecond, bool isSection, long volume, long buy, long sell);

    std::uint64_t m_seed;
    const HistoryStore& m_history;
    std::vector<Quote> m_quotes;
    std::vector<Random> m_rngs;       ///< one per quote
    std::vector<Random> m_burstRngs;  ///< one per quote, apart so the rest of the day stays as it was
    std::vector<Random> m_goodsRngs;  ///< one per category, for moves shared by its months
    MarketTime m_time;
    bool m_started = false;
    int m_played = 0;  ///< session seconds already played
    std::uint64_t m_version = 1;
};

/// The 27 bar-separated fields of one quote.
std::string FormatListRecord(const Quote& q);

}  // namespace qelt::server
