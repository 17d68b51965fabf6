#include <set>

#include "common/Messages.h"
#include "common/Numbers.h"
#include "common/Split.h"
#include "data/CQeltData.h"
#include "data/SeriesUpdate.h"
#include "net/Replies.h"

namespace qelt {

namespace {

bool MatchesKey(const CQeltGoods& goods, std::string_view key) {
    return key.size() == goods.goods_no.size() + goods.due_date.size() && key.starts_with(goods.goods_no) &&
           key.ends_with(goods.due_date);
}

std::vector<TradeRow> ToRows(const std::vector<Fields>& records) {
    std::vector<TradeRow> rows;
    rows.reserve(records.size());
    for (const Fields& f : records) rows.emplace_back(f.begin(), f.end());
    return rows;
}

}  // namespace

CQeltData::CQeltData(Poster& poster, const MessageTargets& targets) : m_poster(poster), m_targets(targets) {}

CQeltData::~CQeltData() = default;

void CQeltData::SetSender(MessageSender* sender, std::function<bool()> isOnline) {
    m_sender = sender;
    m_isOnline = std::move(isOnline);
}

void CQeltData::SetSelfSelectedSource(const SelfSelectedSource* source) { m_selfSelected = source; }

void CQeltData::SetHistorySink(HistorySink* sink) { m_history = sink; }

void CQeltData::SetAlarmRefresh(std::function<void()> refresh) { m_alarmRefresh = std::move(refresh); }

void CQeltData::SetLoginVerdict(std::function<void(int code)> verdict) {
    m_loginVerdict = std::move(verdict);
}

void CQeltData::SetGoodsEntering(std::function<void(CQeltGoods&)> entering) {
    m_goodsEntering = std::move(entering);
}

bool CQeltData::IsOnline() const { return m_isOnline && m_isOnline(); }

std::string CQeltData::KeyOf(std::string_view goodsNo, std::string_view dueDate) {
    std::string key;
    key.reserve(goodsNo.size() + dueDate.size() + 1);
    key.append(goodsNo).push_back('|');  // '|' never occurs inside a field
    key.append(dueDate);
    return key;
}

CQeltData::List& CQeltData::ListByTag(std::string_view tag) {
    if (tag == kTagDelivery) return m_delivery;
    if (tag == kTagSpotMonth) return m_spotMonth;
    if (tag == kTagThirdMonth) return m_thirdMonth;
    if (tag == kTagContract) return m_contract;
    return m_main;
}

void CQeltData::Dispatch(std::string_view message) {
    SplitMessage split = SplitKind(message);
    std::string_view body = split.body;
    Outcome out;
    switch (KindOf(split.kind)) {
        case ReplyKind::Login: {
            int code;
            {
                std::lock_guard lock(m_mutex);
                FoldLogin(body);
                code = m_loginCode;
            }
            if (m_loginVerdict) m_loginVerdict(code);
            out.post = true;
            out.message = WM_NET_LOGIN;
            break;
        }
        case ReplyKind::Ver:
            out.post = true;
            out.message = WM_NET_VER;
            out.wParam = ParseVersion(body);
            break;
        case ReplyKind::Category: {
            std::lock_guard lock(m_mutex);
            FoldCategory(body);
            out.post = true;
            out.message = WM_NET_CATEGORY;
            break;
        }
        case ReplyKind::List: {
            bool online = IsOnline();
            std::lock_guard lock(m_mutex);
            FoldList(body, online, out);
            out.post = true;
            out.message = WM_NET_LIST;
            break;
        }
        case ReplyKind::Line: {
            // Bars are built before taking the lock; the replaced series dies after it.
            LineReply reply = ParseLine(body);
            BarSeries bars;
            bars.reserve(reply.bars.size());
            for (const Fields& f : reply.bars) bars.emplace_back(f);
            {
                std::lock_guard lock(m_mutex);
                FoldLine(reply.key, reply.listTag, std::move(bars));
            }
            out.post = true;
            out.message = WM_NET_LINE;
            break;
        }
        case ReplyKind::Real:
        case ReplyKind::HisReal: {
            bool online = IsOnline();
            {
                std::lock_guard lock(m_mutex);
                FoldReal(body, online, out);
            }
            out.post = true;
            out.message = KindOf(split.kind) == ReplyKind::Real ? WM_NET_REAL : WM_NET_HISREAL;
            break;
        }
        case ReplyKind::His: {
            std::string_view rest = body;
            int count = LeadingInt(CutHeaderField(rest));
            if (m_history != nullptr) m_history->StoreHistory(body);
            out.post = true;
            out.message = WM_NET_HIS;
            out.wParam = count;
            break;
        }
        case ReplyKind::Alarm: {
            std::lock_guard lock(m_mutex);
            FoldAlarm(body, out);
            break;
        }
        case ReplyKind::Msg: {
            std::string_view notice = ParseNotice(body);
            if (notice.empty()) break;
            {
                std::lock_guard lock(m_mutex);
                m_notice.assign(notice);
            }
            m_poster.PostThreadMessage(WM_NET_NOTICE, 0, 0);
            break;
        }
        case ReplyKind::Dis:
            break;  // the end of the session: the connection itself reports it
        case ReplyKind::Pwd: {
            // An empty answer posts kNoVerdict: the dialog reports a failed change.
            WindowId dialog = m_targets.passwordDialog.load();
            if (dialog != kNoWindow) m_poster.PostWindowMessage(dialog, WM_NET_PWD, ParsePassword(body), 0);
            break;
        }
        case ReplyKind::Unknown:
            break;
    }
    Deliver(out);
}

void CQeltData::Deliver(Outcome& out) {
    // The lock is free here: the requests go out paced (the sender pauses after each), in
    // fold order, while readers keep reading. The notification follows them, so a window
    // that reacts to it sends its own requests after the store's.
    if (m_sender != nullptr) {
        for (const std::string& request : out.requests) {
            if (!IsOnline()) break;
            m_sender->Send(request);
        }
    }
    if (out.alarmGrew && m_alarmRefresh) m_alarmRefresh();
    if (out.post) m_poster.PostWindowMessage(m_targets.notification.load(), out.message, out.wParam, 0);
}

void CQeltData::FoldLogin(std::string_view body) {
    LoginReply reply = ParseLogin(body);
    m_loginCode = reply.code;
    m_loginText.assign(reply.text);
    m_loginNumber = reply.number;
}

void CQeltData::FoldCategory(std::string_view body) {
    // Room is kept for the "自选" entry that ends every reply.
    for (const CategoryRecord& r : ParseCategories(body)) {
        if (m_categoryCodes.size() + 1 >= kMaxCategories) break;
        m_categoryCodes.emplace_back(r.code);
        m_categoryNames.emplace_back(r.name);
        m_nameTable[std::string(r.code)] = std::string(r.name);
        m_kindTable[std::string(r.code)] = std::string(r.kindFlag);
    }
    // Reset leaves the kind table as it is; kinds of codes no longer listed give way here,
    // so resets and replies in turn cannot grow it without end either.
    if (m_kindTable.size() > kMaxCategories) {
        std::set<std::string_view> listed(m_categoryCodes.begin(), m_categoryCodes.end());
        std::erase_if(m_kindTable, [&](const auto& entry) { return !listed.contains(entry.first); });
    }
    if (m_categoryCodes.size() >= kMaxCategories) return;
    m_categoryCodes.emplace_back(kSelfSelectedCode);
    m_categoryNames.emplace_back(kSelfSelectedName);
    m_nameTable[std::string(kSelfSelectedCode)] = std::string(kSelfSelectedName);
}

void CQeltData::FoldLine(std::string_view key, std::string_view tag, BarSeries&& bars) {
    for (CQeltGoods& goods : ListByTag(tag)) {
        if (!MatchesKey(goods, key)) continue;
        goods.series.swap(bars);  // the old bars leave with `bars`, destroyed by the caller
        // The week and month series were built from the old day bars: start them over.
        goods.weekSeries.clear();
        goods.monthSeries.clear();
        return;
    }
}

void CQeltData::FoldReal(std::string_view body, bool online, Outcome& out) {
    RealReply reply = ParseReal(body);
    if (!reply.selector.empty()) {
        m_tradeList = ToRows(reply.records);
        m_tradeListKey.assign(reply.key);
        m_tradeListSelector.assign(reply.selector);
        return;
    }
    for (std::size_t index = 0; index < m_main.size(); ++index) {
        CQeltGoods& goods = m_main[index];
        if (!MatchesKey(goods, reply.key)) continue;
        if (m_mainTradeIds.size() != m_main.size()) m_mainTradeIds.resize(m_main.size());
        TradeIdentities& held = m_mainTradeIds[index];
        if (!held.IsFor(goods.trades)) held.Rebuild(goods.trades);
        for (const Fields& f : reply.records) {
            std::string_view id = f.size() > 7 ? f[7] : std::string_view{};
            if (held.Contains(id)) continue;
            if (goods.trades.size() >= kMaxTradesPerGoods)
                held.DropOldest(goods.trades, kMaxTradesPerGoods / 10);
            goods.trades.emplace_back(f.begin(), f.end());
            held.Insert(id);
            if (auto request = UpdateSeriesFromQuote(goods, online))
                out.requests.push_back(std::move(*request));
        }
        return;
    }
}

void CQeltData::FoldAlarm(std::string_view body, Outcome& out) {
    std::vector<Fields> records = ParseAlarm(body);
    std::int64_t lastId = 0;
    if (!m_alarmHits.empty() && !m_alarmHits.back().empty()) lastId = LeadingInt64(m_alarmHits.back()[0]);
    size_t before = m_alarmHits.size();
    for (auto it = records.rbegin(); it != records.rend(); ++it) {
        if (it->empty()) continue;
        std::int64_t id = LeadingInt64((*it)[0]);
        if (id <= lastId) continue;
        m_alarmHits.emplace_back(it->begin(), it->end());
        lastId = id;
    }
    out.alarmGrew = m_alarmHits.size() > before;
    // The oldest hits go first; the newest (and with it the last kept id) always stays.
    if (m_alarmHits.size() > kMaxAlarmHits)
        m_alarmHits.erase(m_alarmHits.begin(),
                          m_alarmHits.end() - static_cast<std::ptrdiff_t>(kMaxAlarmHits));
}

}  // namespace qelt
