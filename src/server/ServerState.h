#pragma once
/// Everything the server knows, owned in one place: history, market, accounts, notice,
/// fired alarms, and the data directory they live in. Single-threaded: the event loop (or a
/// test, or the fuzzer) drives it.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "server/Accounts.h"
#include "server/HistoryStore.h"
#include "server/Market.h"
#include "server/NoticeFile.h"
#include "server/ServerOptions.h"

namespace qelt::server {

/// The alarms fired for one user, oldest first, and which conditions were already true (an
/// alarm fires when its condition becomes true, not on every poll while it stays true).
struct AlarmBook {
    std::int64_t lastId = 0;
    /// records "id|goods_no|due_date|price|all_num|pure_num|HH:MM:SS" (the China time of the hit)
    std::vector<std::string> fired;
    std::map<std::string, bool> wasTrue;
};

class ServerState {
  public:
    /// Creates the data directory (and its update folder) when missing, prepares the history
    /// and plays the market up to `unixNow`.
    ServerState(const ServerOptions& options, std::int64_t unixNow);

    /// Plays the market up to `unixNow`; a new trading day also extends the history.
    /// True when quotes changed.
    bool Tick(std::int64_t unixNow);

    const ServerOptions& Options() const { return m_options; }
    HistoryStore& History() { return m_history; }
    Market& Quotes() { return m_market; }
    Accounts& Users() { return m_accounts; }
    NoticeFile& Notice() { return m_notice; }
    AlarmBook& Alarms(const std::string& user) { return m_alarms[user]; }
    std::string UpdateDir() const;
    /// The market's trading date.
    int Today() const { return m_market.Date(); }
    /// China wall-clock time of the last tick, "HH:MM:SS".
    std::string ClockText() const;

  private:
    ServerOptions m_options;
    HistoryStore m_history;
    Market m_market;
    Accounts m_accounts;
    NoticeFile m_notice;
    std::map<std::string, AlarmBook> m_alarms;
    int m_secondOfDay = 0;
};

}  // namespace qelt::server
