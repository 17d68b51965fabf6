#include "Replies.h"

#include "common/Numbers.h"
#include "common/Split.h"
#include "common/Text.h"

namespace qelt {

SplitMessage SplitKind(std::string_view message) {
    size_t colon = message.find(':');
    if (colon == std::string_view::npos) return {message, {}};
    return {message.substr(0, colon), message.substr(colon + 1)};
}

ReplyKind KindOf(std::string_view kind) {
    static constexpr std::pair<std::string_view, ReplyKind> kKinds[] = {
        {"login", ReplyKind::Login}, {"ver", ReplyKind::Ver},         {"category", ReplyKind::Category},
        {"list", ReplyKind::List},   {"line", ReplyKind::Line},       {"real", ReplyKind::Real},
        {"hisreal", ReplyKind::HisReal}, {"his", ReplyKind::His},     {"alarm", ReplyKind::Alarm},
        {"msg", ReplyKind::Msg},     {"dis", ReplyKind::Dis},         {"pwd", ReplyKind::Pwd},
    };
    for (const auto& [word, k] : kKinds)
        if (kind == word) return k;
    return ReplyKind::Unknown;
}

std::vector<Fields> SplitRecordViews(std::string_view text) {
    std::vector<Fields> out;
    for (std::string_view record : SplitViews(text, kRecordSeparator))
        out.push_back(SplitViews(record, kFieldSeparator));
    return out;
}

LoginReply ParseLogin(std::string_view body) {
    Fields f = SplitViews(body, kFieldSeparator);
    LoginReply r;
    r.code = f.size() > 0 ? LeadingIntIfAny(f[0]).value_or(kNoVerdict) : kNoVerdict;
    r.text = f.size() > 1 ? f[1] : std::string_view{};
    r.number = f.size() > 2 ? LeadingInt(f[2]) : 0;
    return r;
}

int ParseVersion(std::string_view body) { return LeadingInt(CutHeaderField(body)); }

std::vector<CategoryRecord> ParseCategories(std::string_view body) {
    std::vector<CategoryRecord> out;
    for (const Fields& f : SplitRecordViews(body)) {
        CategoryRecord r;
        if (f.size() > 0) r.code = f[0];
        if (f.size() > 1) r.name = f[1];
        if (f.size() > 2) r.kindFlag = f[2];
        out.push_back(r);
    }
    return out;
}

std::vector<ListRecord> ParseList(std::string_view body) {
    std::vector<ListRecord> out;
    std::vector<std::string_view> records = SplitViews(body, kRecordSeparator);
    out.reserve(records.size());
    for (std::string_view record : records) {
        ListRecord& r = out.emplace_back();
        // The splitting rule, unrolled into the fixed array: no vector per record.
        size_t i = 0;
        while (!record.empty() && i < kListFieldCount) {
            size_t at = record.find('|');
            if (at == std::string_view::npos || at == 0) {
                r[i++] = record;
                break;
            }
            r[i++] = record.substr(0, at);
            record.remove_prefix(at + 1);
        }
    }
    return out;
}

LineReply ParseLine(std::string_view body) {
    LineReply r;
    r.key = CutHeaderField(body);
    r.listTag = CutHeaderField(body);
    r.bars = SplitRecordViews(body);
    return r;
}

RealReply ParseReal(std::string_view body) {
    RealReply r;
    r.key = CutHeaderField(body);
    r.selector = CutHeaderField(body);
    r.records = SplitRecordViews(body);
    return r;
}

HisReply ParseHis(std::string_view body) {
    HisReply r;
    r.count = LeadingInt(CutHeaderField(body));
    r.records = SplitRecordViews(body);
    return r;
}

std::vector<Fields> ParseAlarm(std::string_view body) { return SplitRecordViews(body); }

int ParsePassword(std::string_view body) { return LeadingIntIfAny(body).value_or(kNoVerdict); }

std::string_view ParseNotice(std::string_view body) { return TrimRight(body); }

}  // namespace qelt
