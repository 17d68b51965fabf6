#include "server/RequestHandler.h"

#include "common/Gbk.h"
#include "common/Numbers.h"
#include "common/Split.h"
#include "common/Text.h"
#include "net/Requests.h"
#include "server/AlarmCondition.h"
#include "server/Calendar.h"
#include "server/PastTrades.h"
#include "server/UpdateService.h"

namespace qelt::server {
namespace {

/// Header fields longer than this make a request unusable (no goods number, delivery month,
/// user name or tag is that long).
constexpr size_t kMaxField = 64;
/// Recent trades sent for the standing once-a-second request.
constexpr size_t kRecentTrades = 30;
/// Fired alarms listed per reply.
constexpr size_t kAlarmsListed = 50;
/// Remembered alarm conditions per user before the memory is reset.
constexpr size_t kMaxAlarmStates = 2000;

/// A notice is free text from a file or an administrator: a terminator inside it would end
/// the message early and turn the rest into a message of its own.
std::string NoticeForWire(const std::string& text) { return ReplaceAll(text, kTerminator, "| END"); }

bool IsAscii(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

/// Cuts `count` header fields; false when one is too long.
bool CutFields(std::string_view& rest, std::string_view* fields, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        fields[i] = CutHeaderField(rest);
        if (fields[i].size() > kMaxField) return false;
    }
    return true;
}

}  // namespace

void AppendReply(std::string& out, std::string_view utf8) {
    if (IsAscii(utf8))
        out.append(utf8);
    else
        out += Utf8ToGbk(utf8);
    out.append(kTerminator);
}

std::string WireToUtf8(std::string_view gbk) { return IsAscii(gbk) ? std::string(gbk) : GbkToUtf8(gbk); }

void RequestHandler::Handle(Session& s, std::string_view gbkMessage, std::string& out) {
    if (s.closeAfterFlush) return;
    const std::string message = WireToUtf8(gbkMessage);
    std::string_view body = message;
    const std::string_view kind = CutHeaderField(body);
    if (kind == "login") return Login(s, body, out);
    if (kind == "ver") {
        std::string_view version = CutHeaderField(body);
        AppendReply(out, version == m_state.Options().clientVersion ? "ver:0:" : "ver:1:");
        return;
    }
    if (kind == "update") {
        out += UpdateStream(m_state.UpdateDir());
        s.closeAfterFlush = true;
        return;
    }
    if (!s.loggedIn) return;  // the market is for subscribers only
    if (kind == "category") {
        out += CategoryWire();
    } else if (kind == "list") {
        out += ListWire();
    } else if (kind == "line") {
        Line(body, out);
    } else if (kind == "real") {
        Real(s, body, out);
    } else if (kind == "alarm") {
        Alarm(s, body, out);
    } else if (kind == "msg") {
        AppendReply(out, "msg:" + NoticeForWire(m_state.Notice().Current()));
    } else if (kind == "pwd") {
        Password(s, body, out);
    }
}

void RequestHandler::Login(Session& s, std::string_view body, std::string& out) {
    std::string_view f[3];
    if (!CutFields(body, f, 3)) {
        AppendReply(out, "login:1|" + std::string(VerdictText(Verdict::UnknownUser)) + "|0");
        return;
    }
    const std::string user(f[0]);
    const std::string password(f[1]);
    const bool relogin = f[2] == "1";
    const bool inUse = !relogin && m_control.UserHasSession(user, s.id);
    Verdict v = m_state.Users().Check(user, password, m_state.Today(), inUse);
    if (v == Verdict::Ok) {
        if (relogin && user != kDemoUser) m_control.DisconnectUser(user, s.id);  // takes over
        s.user = user;
        s.loggedIn = true;
        s.historySent = false;
    }
    int days = v == Verdict::Ok ? m_state.Users().DaysLeft(user, m_state.Today()) : 0;
    AppendReply(out, "login:" + FormatInt(static_cast<int>(v)) + "|" + std::string(VerdictText(v)) + "|" +
                         FormatInt(days));
}

const std::string& RequestHandler::CategoryWire() {
    if (m_categoryWire.empty()) {
        std::string body = "category:";
        for (const auto& c : Categories()) body += c.code + "|" + c.name + "|" + c.kindFlag + "||";
        AppendReply(m_categoryWire, body);
    }
    return m_categoryWire;
}

const std::string& RequestHandler::ListWire() {
    Market& market = m_state.Quotes();
    if (m_listWire.empty() || m_listVersion != market.Version()) {
        m_listWire.clear();
        AppendReply(m_listWire, "list:" + market.ListBody());
        m_listVersion = market.Version();
    }
    return m_listWire;
}

void RequestHandler::Line(std::string_view body, std::string& out) {
    std::string_view f[4];
    if (!CutFields(body, f, 4)) return;
    const std::string tag(f[0]);
    const GoodsKey contract{std::string(f[1]), std::string(f[2])};
    std::string reply = "line:" + contract.goodsNo + contract.dueDate + ":" + tag + ":";
    auto bars = m_state.History().LineBars(contract, tag, LeadingInt(f[3]));
    reply.reserve(reply.size() + bars.size() * 80);
    for (const auto& [bar, due] : bars) {
        reply += FormatBar(*bar, *due);
        reply += "||";
    }
    AppendReply(out, reply);
}

void RequestHandler::Real(Session& s, std::string_view body, std::string& out) {
    std::string_view f[4];
    if (!CutFields(body, f, 4)) return;
    const std::string qualifier(f[0]);
    const GoodsKey contract{std::string(f[1]), std::string(f[2])};
    const int mode = LeadingInt(f[3]);
    const std::string key = contract.goodsNo + contract.dueDate;
    const Quote* q = m_state.Quotes().Find(contract);
    if (!qualifier.empty()) return PastTrades(key, qualifier, q, out);
    if (mode == 8 && !s.historySent) PushHistory(s, out);
    if (!q) {
        AppendReply(out, "real:" + key + "::");
        return;
    }
    if (mode == 8) {
        std::string reply = "real:" + key + "::";
        reply.reserve(reply.size() + q->trades.size() * 150);
        for (const auto& t : q->trades) reply += FormatTrade(t) + "||";
        AppendReply(out, reply);
        return;
    }
    auto& cached = m_recentTrades[key];
    if (cached.second.empty() || cached.first != m_state.Quotes().Version()) {
        std::string reply = "real:" + key + "::";
        size_t from = q->trades.size() > kRecentTrades ? q->trades.size() - kRecentTrades : 0;
        for (size_t i = from; i < q->trades.size(); ++i) reply += FormatTrade(q->trades[i]) + "||";
        cached.second.clear();
        AppendReply(cached.second, reply);
        cached.first = m_state.Quotes().Version();
    }
    out += cached.second;
}

bool RequestHandler::TradesContinuously(const std::string& key, const Quote* q) {
    if (q) return q->flagged;
    // A contract no longer on the board: its goods' category says it.
    const std::string goodsNo = key.substr(0, 4);
    for (const Category& category : Categories())
        if (category.code == goodsNo) return category.kindFlag == "1";
    return false;
}

void RequestHandler::PastTrades(const std::string& key, const std::string& qualifier, const Quote* q,
                                std::string& out) {
    // "category-date": the date is what follows the last "-".
    size_t dash = qualifier.rfind('-');
    std::string_view dateText = std::string_view(qualifier).substr(dash == std::string::npos ? 0 : dash + 1);
    const int date = dateText.size() == 8 ? LeadingInt(dateText) : 0;
    std::string reply = "hisreal:" + key + ":" + qualifier + ":";
    if (q && date == m_state.Today()) {
        for (const auto& t : q->trades) reply += FormatTrade(t) + "||";
    } else if (const Series* series = m_state.History().Find(key)) {
        for (size_t i = 0; i < series->bars.size(); ++i) {
            if (series->bars[i].date != date) continue;
            const Bar& bar = series->bars[i];
            const double pre = i > 0 ? series->bars[i - 1].close : bar.open;
            const long prePure = i > 0 ? series->bars[i - 1].pure : bar.pure;
            const std::vector<Trade> trades =
                TradesContinuously(key, q) ? ContinuousTradesOfPastDay(m_state.Options().seed, key, bar, pre,
                                                                       prePure, q ? q->contract.tick : 0.01)
                                           : TradesOfPastDay(key, bar, pre);
            reply.reserve(reply.size() + trades.size() * 150);
            for (const auto& t : trades) reply += FormatTrade(t) + "||";
            break;
        }
    }
    AppendReply(out, reply);
}

void RequestHandler::PushHistory(Session& s, std::string& out) {
    s.historySent = true;
    HistoryStore& history = m_state.History();
    std::int64_t after = m_state.Users().HistoryId(s.user);
    size_t pending = history.PendingAfter(after);
    while (pending > 0) {
        std::string records;
        std::int64_t last = history.AppendRecords(after, kHistoryChunk, records);
        if (last == after) break;
        after = last;
        pending = history.PendingAfter(after);
        AppendReply(out, "his:" + FormatInt(static_cast<std::int64_t>(pending)) + ":" + records);
    }
    m_state.Users().SetHistoryId(s.user, after);
}

void RequestHandler::Alarm(Session& s, std::string_view body, std::string& out) {
    AlarmBook& book = m_state.Alarms(s.user);
    if (auto condition = AlarmCondition::Parse(body)) {
        if (book.wasTrue.size() > kMaxAlarmStates) book.wasTrue.clear();
        for (const auto& q : m_state.Quotes().Quotes()) {
            if (q.contract.state <= 0) continue;
            AlarmSubject subject{q.contract.goodsNo, q.contract.dueDate, q.price,
                                 static_cast<double>(q.allNum), static_cast<double>(q.pure)};
            bool now = condition->Matches(subject);
            bool& before = book.wasTrue[std::string(body) + "\n" + q.key];
            if (now && !before) {
                book.fired.push_back(FormatInt(++book.lastId) + "|" + q.contract.goodsNo + "|" +
                                     q.contract.dueDate + "|" + FormatFixed2(q.price) + "|" +
                                     FormatInt(q.allNum) + "|" + FormatInt(q.pure) + "|" +
                                     m_state.ClockText());
                if (book.fired.size() > kAlarmsListed) book.fired.erase(book.fired.begin());
            }
            before = now;
        }
    }
    std::string reply = "alarm:";
    for (auto it = book.fired.rbegin(); it != book.fired.rend(); ++it) reply += *it + "||";
    AppendReply(out, reply);
}

void RequestHandler::Password(Session& s, std::string_view body, std::string& out) {
    std::string_view f[3];
    int answer = 2;
    if (CutFields(body, f, 3) && f[0] == s.user)
        answer = m_state.Users().ChangePassword(std::string(f[0]), std::string(f[1]), std::string(f[2]));
    AppendReply(out, "pwd:" + FormatInt(answer));
}

void RequestHandler::HandleAdmin(std::string_view gbkMessage, std::string& out) {
    const std::string message = WireToUtf8(gbkMessage);
    std::string_view body = message;
    const std::string_view kind = CutHeaderField(body);
    if (kind == "dis") {
        std::string user(TrimRight(CutHeaderField(body)));
        AppendReply(out, "ok:" + FormatInt(static_cast<std::int64_t>(m_control.DisconnectUser(user, 0))));
    } else if (kind == "notice") {
        std::string text(body);
        m_state.Notice().Set(text);
        std::string wire;
        AppendReply(wire, "msg:" + NoticeForWire(text));
        AppendReply(out, "ok:" + FormatInt(static_cast<std::int64_t>(m_control.Broadcast(wire))));
    } else {
        AppendReply(out, "error:unknown command (dis:USER, notice:TEXT)");
    }
}

}  // namespace qelt::server
