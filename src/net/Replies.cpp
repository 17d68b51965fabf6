#include "Replies.h"

#include <algorithm>

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
        {"login", ReplyKind::Login},     {"ver", ReplyKind::Ver},   {"category", ReplyKind::Category},
        {"list", ReplyKind::List},       {"line", ReplyKind::Line}, {"real", ReplyKind::Real},
        {"hisreal", ReplyKind::HisReal}, {"his", ReplyKind::His},   {"alarm", ReplyKind::Alarm},
        {"msg", ReplyKind::Msg},         {"dis", ReplyKind::Dis},   {"pwd", ReplyKind::Pwd},
    };
    for (const auto& [word, k] : kKinds)
        if (kind == word) return k;
    return ReplyKind::Unknown;
}

namespace {

/// The fields of one record by the splitting rule; false when the record is outside the
/// bounds (too many fields, or a field longer than `maxFieldBytes`).
bool SplitRecord(std::string_view record, size_t maxFieldBytes, Fields& fields) {
    fields.clear();
    while (!record.empty()) {
        if (fields.size() == kMaxFieldsPerRecord) return false;
        std::string_view field = CutElement(record, kFieldSeparator);
        if (field.size() > maxFieldBytes) return false;
        fields.push_back(field);
    }
    return true;
}

}  // namespace

std::vector<Fields> SplitRecordViews(std::string_view text, size_t maxFieldBytes) {
    std::vector<Fields> out;
    Fields fields;
    while (!text.empty() && out.size() < kMaxRecordsPerReply) {
        if (SplitRecord(CutElement(text, kRecordSeparator), maxFieldBytes, fields)) out.push_back(fields);
    }
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
    for (const Fields& f : SplitRecordViews(body, kMaxNameField)) {
        // Only the name may be longer than the short fields.
        if ((f.size() > 0 && f[0].size() > kMaxShortField) || (f.size() > 2 && f[2].size() > kMaxShortField))
            continue;
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
    // A board record takes well over 64 bytes: room for them all without over-reaching.
    out.reserve(std::min(body.size() / 64 + 1, kMaxRecordsPerReply));
    while (!body.empty() && out.size() < kMaxRecordsPerReply) {
        std::string_view record = CutElement(body, kRecordSeparator);
        ListRecord& r = out.emplace_back();
        // The splitting rule, unrolled into the fixed array: no vector per record.
        size_t i = 0;
        bool absurd = false;
        while (!record.empty() && i < kListFieldCount && !absurd) {
            size_t at = record.find('|');
            if (at == std::string_view::npos || at == 0) at = record.size();
            r[i] = record.substr(0, at);
            absurd = r[i++].size() > kMaxShortField;
            record.remove_prefix(at < record.size() ? at + 1 : at);
        }
        if (absurd) out.pop_back();
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
