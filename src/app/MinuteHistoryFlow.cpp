#include "app/MinuteHistoryFlow.h"

#include <algorithm>

#include "chart/MinuteBars.h"
#include "common/DiagnosticLog.h"
#include "common/Numbers.h"
#include "net/Requests.h"

namespace qelt {

BarSeries MinuteHistoryFlow::KeptBars(const GoodsKey& contract, int minutes, std::int64_t fromDate) const {
    return m_archive ? m_archive->KeptBars(contract, minutes, fromDate) : BarSeries{};
}

void MinuteHistoryFlow::Want(const GoodsKey& contract, const std::string& categoryCode,
                             const std::vector<std::int64_t>& dates) {
    std::vector<std::int64_t> wanted(
        dates.begin(), dates.begin() + static_cast<std::ptrdiff_t>(std::min(dates.size(), kMaxMinuteDays)));
    // A chart asks at every reload: the same wish again is nothing new.
    if (contract == m_contract && categoryCode == m_category && wanted == m_wanted) return;
    m_contract = contract;
    m_category = categoryCode;
    m_wanted = wanted;
    m_queue.clear();
    m_total = m_kept = m_missed = 0;
    if (!m_archive) return;
    const std::vector<std::int64_t> keptDays = m_archive->KeptDays(contract);
    const std::set<std::int64_t> kept(keptDays.begin(), keptDays.end());
    for (std::int64_t date : wanted) {
        if (date <= 0 || kept.count(date)) continue;
        if (m_awaited && m_awaited->contract == contract && m_awaited->date == date) continue;
        m_queue.push_back(date);
    }
    m_total = m_queue.size() + (m_awaited && m_awaited->contract == contract ? 1 : 0);
    if (m_queue.empty()) return;
    if (!m_links.online || !m_links.online()) {
        m_links.status("脱机：分钟线只有本机保存的日子，缺 " +
                       FormatInt(static_cast<std::int64_t>(m_queue.size())) + " 天");
        m_queue.clear();
        m_total = 0;
        return;
    }
    if (!m_awaited) SendNext();
}

void MinuteHistoryFlow::SendNext() {
    m_awaited.reset();
    m_quiet = 0;
    if (m_queue.empty()) {
        if (m_total == 0) return;
        std::string text = "分钟线历史下载完毕：" + FormatInt(static_cast<std::int64_t>(m_kept)) + " 天";
        if (m_missed > 0)
            text += "，" + FormatInt(static_cast<std::int64_t>(m_missed)) + " 天未收到（下次打开时再取）";
        m_links.status(text);
        m_total = 0;
        return;
    }
    if (!m_links.online()) {
        m_queue.clear();
        m_total = 0;
        return;
    }
    Request request{m_contract, m_queue.front(), m_category + "-" + FormatInt(m_queue.front())};
    m_queue.erase(m_queue.begin());
    m_links.send(RealHistoryRequest(m_category, FormatInt(request.date), request.contract));
    m_awaited = std::move(request);
    SayProgress();
}

void MinuteHistoryFlow::SayProgress() const {
    m_links.status("下载分钟线 " + FormatInt(static_cast<std::int64_t>(m_kept + m_missed + 1)) + "/" +
                   FormatInt(static_cast<std::int64_t>(m_total)) + " 天");
}

bool MinuteHistoryFlow::Answers(const Request& request, const DetailList& reply) const {
    if (reply.key != request.contract.goodsNo + request.contract.dueDate) return false;
    if (reply.selector == request.selector) return true;
    if (reply.rows.empty()) return false;
    const std::string date = FormatInt(request.date);
    return std::all_of(reply.rows.begin(), reply.rows.end(), [&date](const TradeRow& row) {
        return row.size() > kTradeDateField && LeadingInt64(row[kTradeDateField]) == LeadingInt64(date);
    });
}

void MinuteHistoryFlow::Keep(const Request& request, const std::vector<TradeRow>& rows) {
    MinuteDay day;
    day.date = request.date;
    const auto periods = MinuteBarsOfDay(rows, request.date, request.contract.dueDate);
    for (std::size_t k = 0; k < kMinutePeriods.size(); ++k)
        day.periods.emplace_back(kMinutePeriods[k], periods[k]);
    const bool kept = m_archive && m_archive->KeepDay(request.contract, day);
    if (kept) ++m_revision;
    // A day of a chart that was left meanwhile is kept, but is no step of the new one's.
    if (!(request.contract == m_contract)) return;
    ++(kept ? m_kept : m_missed);
}

bool MinuteHistoryFlow::TakeReply() {
    if (!m_awaited) return false;
    const DetailList reply = m_links.lastDetailList();
    if (!Answers(*m_awaited, reply)) return false;
    const Request request = *m_awaited;
    Keep(request, reply.rows);
    SendNext();
    return true;
}

void MinuteHistoryFlow::Passing() {
    if (!m_awaited || ++m_quiet <= kPatience) return;
    Log("minute history: no answer for " + FormatInt(m_awaited->date) + ", given up for now");
    if (m_awaited->contract == m_contract) ++m_missed;
    SendNext();
}

void MinuteHistoryFlow::Stop() {
    m_queue.clear();
    m_total = m_kept = m_missed = 0;
    m_wanted.clear();
    m_contract = {};
    m_category.clear();
}

std::optional<std::int64_t> MinuteHistoryFlow::Awaited() const {
    if (!m_awaited) return std::nullopt;
    return m_awaited->date;
}

}  // namespace qelt
