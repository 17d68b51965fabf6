#pragma once
/// The local history database his/qelt.db (SQLite): the categories and the last quote
/// record of every goods, written at exit while online, the day-bar history, written as
/// "his" records arrive, and the minute bars of past days (table minutebars: one row per
/// contract, date and minute period holding that day's bars, written once when the day is
/// first made from its trades). Offline, LoadStore refills the store by building the
/// messages the server would have sent and dispatching them.
///
/// Every value is bound as a statement parameter, never pasted into the SQL text. Text is
/// stored as UTF-8. Database errors are swallowed: the failed statement has no effect and
/// the others still run. Each operation opens its own connection, so the receive thread
/// (StoreHistory) and the user-interface thread (SaveStore, LoadStore) share none.
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/GoodsKey.h"
#include "data/HistorySink.h"
#include "data/MinuteArchive.h"

struct sqlite3;

namespace qelt {

struct OpenDatabase;

/// What LoadStore fills: the store's dispatcher and the keys of its lists. The application
/// adapts CQeltData to it.
class HistoryLoadTarget {
  public:
    virtual ~HistoryLoadTarget() = default;
    /// One message as the server would send it ("category:...", "list:...", "line:...").
    virtual void Dispatch(std::string_view message) = 0;
    /// Rebuilds the delivery-month, spot-month, third-month and contract lists.
    virtual void RebuildDerivedLists() = 0;
    /// The contract of every record of the main goods list, in order.
    virtual std::vector<GoodsKey> MainKeys() const = 0;
    /// The contract of every record of the delivery-month list, in order.
    virtual std::vector<GoodsKey> DeliveryMonthKeys() const = 0;
};

using SqlRow = std::vector<std::string>;

/// Number of texts of a quote row, in the qeltlist column order.
inline constexpr size_t kQuoteColumnCount = 26;

class HistoryDatabase : public HistorySink, public MinuteArchive {
  public:
    /// The database is "<programDirectory>his/qelt.db".
    explicit HistoryDatabase(std::string programDirectory);

    /// A database held in memory for as long as this object or a copy of it lives: no file
    /// and no directory; every operation runs on one connection that stays open, so one
    /// thread at a time may use it. A process that runs many unrelated round trips (the
    /// fuzz target) keeps one and resets it between them.
    static HistoryDatabase InMemory();
    /// Empties every table of a database in memory, as if it had just been made; a database
    /// file is left as it is.
    void Reset();

    const std::string& Path() const { return m_path; }

    /// Runs one statement with `params` bound to its "?" in order. Creates the file, the his
    /// directory and the tables when missing. False when the statement failed.
    bool ExecuteSql(std::string_view sql, const std::vector<std::string>& params = {});

    /// Every row of the query, each column as text (NULL as empty). A missing database,
    /// missing table or failed statement gives no rows.
    std::vector<SqlRow> Query(std::string_view sql, const std::vector<std::string>& params = {}) const;

    /// Exit-time write: replaces the categories ((code, name) in store order; "0000" is
    /// skipped, the others get their 1-based position as id) and the quote rows (26 texts
    /// each in qeltlist column order; shorter rows are padded with empty texts).
    void SaveStore(const std::vector<std::pair<std::string, std::string>>& categories,
                   const std::vector<SqlRow>& quoteRows);

    /// The records of one "his" body (count ":" records): every record with at least 13
    /// fields is stored with its first 13; a record id already stored is kept once.
    void StoreHistory(std::string_view body) override;

    /// Offline fill: categories, the board, the derived lists, every main record's series
    /// and, for every delivery-month entry, the latest bar of each delivery month of its goods.
    void LoadStore(HistoryLoadTarget& target) const;

    // ---- past days' minute bars (MinuteArchive) ----
    std::vector<std::int64_t> KeptDays(const GoodsKey& contract) const override;
    /// All periods of the day in one transaction: either the whole day is kept or none of it.
    bool KeepDay(const GoodsKey& contract, const MinuteDay& day) override;
    /// A day whose stored text is damaged gives no bars (it stays kept: it is not asked again).
    BarSeries KeptBars(const GoodsKey& contract, int minutes, std::int64_t fromDate) const override;

    /// Rows as wire text: each column followed by "|", each row ended by one more "|"; an
    /// empty column is written as one blank so that it cannot end the record early.
    static std::string RowsToMessage(const std::vector<SqlRow>& rows);

  private:
    HistoryDatabase() = default;

    std::string m_directory;  ///< the program directory; empty for a database in memory
    std::string m_path;       ///< the file (":memory:" for a database in memory)
    /// The one connection of a database in memory, which holds it between operations.
    std::shared_ptr<OpenDatabase> m_kept;
};

}  // namespace qelt
