#pragma once
/// The day bars of every contract, from its listing up to the last trading day before
/// today. Generated deterministically from the seed the first time (and again when a new
/// trading day has passed), kept in "<data>/history.txt" and loaded from there afterwards.
///
/// History record ids ("his") are (day number since the generator's first day) x 1000 +
/// a per-contract slot, so they grow with time and a user can be sent "everything after
/// the last id you have".
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "common/GoodsKey.h"
#include "server/Bars.h"
#include "server/Catalog.h"

namespace qelt::server {

struct Series {
    std::string goodsNo;
    std::string dueDate;
    int dueDay = 0;  ///< futures only
    int slot = 0;    ///< per-day part of the history id
    std::vector<Bar> bars;
};

class HistoryStore {
  public:
    explicit HistoryStore(std::uint64_t seed) : m_seed(seed) {}

    /// Makes the history cover `contracts` up to the trading day before `today`: loads
    /// "<dataDir>history.txt" when it matches, otherwise generates and rewrites it.
    /// An empty dataDir only generates (tests, fuzzing).
    void Prepare(const std::string& dataDir, int today, const std::vector<ContractSpec>& contracts);

    const Series* Find(const std::string& key) const;
    /// The day before the market's current day (the last bar of a running contract).
    int LastDay() const { return m_lastDay; }
    bool LoadedFromFile() const { return m_loaded; }

    /// Bars for a "line" request. Contract-list entries (tag "3") and delivery-month entries
    /// (tag "0") get a continuous series of the goods: cover mode 1 ("later covers") is the
    /// contract's own bars with the latest earlier delivery filling the days before its
    /// listing; cover mode 0 ("earlier covers") gives each day to the nearest delivery still
    /// to come among the past deliveries and this contract. Other lists get the own bars.
    std::vector<std::pair<const Bar*, const std::string*>> LineBars(const GoodsKey& contract,
                                                                    const std::string& tag, int cover) const;

    /// History records with an id above `afterId`, oldest first.
    size_t PendingAfter(std::int64_t afterId) const;
    /// Appends up to `max` "his" records (13 fields, "||"-separated) after `afterId` to
    /// `out`; returns the id of the last one appended (afterId when none).
    std::int64_t AppendRecords(std::int64_t afterId, size_t max, std::string& out) const;
    std::int64_t LastId() const { return m_ids.empty() ? 0 : m_ids.back().id; }

  private:
    struct IdEntry {
        std::int64_t id;
        std::uint32_t series;
        std::uint32_t bar;
    };
    void Generate(int today, const std::vector<ContractSpec>& contracts);
    bool Load(const std::string& path, const std::vector<ContractSpec>& contracts);
    void Save(const std::string& path) const;
    void BuildIds();

    std::uint64_t m_seed;
    int m_lastDay = 0;
    bool m_loaded = false;
    std::vector<Series> m_series;
    std::map<std::string, size_t> m_byKey;
    std::vector<IdEntry> m_ids;
};

/// First day of every generated history; ids count days from it.
inline constexpr int kHistoryGenesis = 20200101;
/// Per-day slot of a contract's history id (unique among the contracts of one day).
int HistorySlot(const ContractSpec& contract);

}  // namespace qelt::server
