#include "server/ServerState.h"

#include "common/ChinaClock.h"
#include "common/Files.h"
#include "server/Calendar.h"

namespace qelt::server {
namespace {

const std::string& PreparedDir(const ServerOptions& o) {
    if (!o.dataDir.empty()) {
        EnsureDirectory(o.dataDir);
        EnsureDirectory(o.dataDir + "update");
    }
    return o.dataDir;
}

}  // namespace

ServerState::ServerState(const ServerOptions& options, std::int64_t unixNow)
    : m_options(options),
      m_history(options.seed),
      m_market(options.seed, m_history),
      m_accounts(PreparedDir(options)),
      m_notice(options.dataDir) {
    MarketTime t = MarketTimeAt(unixNow, options.demoClock);
    m_secondOfDay = t.secondOfDay;
    m_history.Prepare(options.dataDir, t.date, ContractsFor(t.date));
    m_market.AdvanceTo(t);
}

bool ServerState::Tick(std::int64_t unixNow) {
    MarketTime t = MarketTimeAt(unixNow, m_options.demoClock);
    m_secondOfDay = t.secondOfDay;
    if (PreviousTradingDay(t.date) != m_history.LastDay())
        m_history.Prepare(m_options.dataDir, t.date, ContractsFor(t.date));
    return m_market.AdvanceTo(t);
}

std::string ServerState::ClockText() const { return qelt::ClockText(m_secondOfDay); }

std::string ServerState::UpdateDir() const {
    return m_options.dataDir.empty() ? std::string() : m_options.dataDir + "update/";
}

}  // namespace qelt::server
