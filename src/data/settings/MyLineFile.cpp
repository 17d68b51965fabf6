#include "data/settings/MyLineFile.h"

#include <cmath>
#include <map>
#include <set>

#include "common/Numbers.h"
#include "common/Split.h"

namespace qelt {
namespace {

constexpr std::string_view kLineSeparator = ";";

float PriceOf(std::string_view text) {
    const double value = LeadingDouble(text);
    // A price a float cannot hold would draw nowhere and write back as hundreds of digits.
    if (!std::isfinite(value) || std::fabs(value) > 1e15) return 0.0f;
    return static_cast<float>(value);
}

}  // namespace

std::string FormatMyLine(const CMyLine& line) {
    std::string out = line.kind + "," + FormatInt(line.unit);
    for (const CKLinePoint& p : line.anchors) out += "," + FormatInt(p.index) + "," + FormatFixed2(p.price);
    return out;
}

std::optional<CMyLine> ParseMyLine(std::string_view text) {
    const std::vector<std::string_view> f = SplitViews(text, ",");
    if (f.empty() || f[0].empty()) return std::nullopt;
    CMyLine line = CMyLine::Make(f[0], f.size() > 1 ? LeadingInt(f[1]) : 0);
    for (std::size_t i = 0; i < line.anchors.size(); ++i) {
        const std::size_t at = 2 + 2 * i;
        if (at < f.size()) line.anchors[i].index = LeadingInt(f[at]);
        if (at + 1 < f.size()) line.anchors[i].price = PriceOf(f[at + 1]);
    }
    return line;
}

MyLineBook MyLineBook::Parse(std::string_view content) {
    MyLineBook book;
    std::map<LineKey, std::size_t> given;  // lines each goods is given so far
    for (std::string_view text : SplitViews(content, kRecordSeparator)) {
        Record record{std::nullopt, std::string(text), {}};
        const std::vector<std::string_view> f = SplitViews(text, kFieldSeparator);
        if (f.size() >= 3) {
            record.key = LineKey{std::string(f[0]), {std::string(f[1]), std::string(f[2])}};
            CutUnread(record, given[*record.key]);
        }
        book.m_records.push_back(std::move(record));
    }
    return book;
}

void MyLineBook::CutUnread(Record& record, std::size_t& given) {
    const std::string_view text = record.text;
    const std::vector<std::string_view> f = SplitViews(text, kFieldSeparator);
    if (f.size() < 4) return;
    const std::size_t linesStart = static_cast<std::size_t>(f[3].data() - text.data());
    for (std::string_view piece : SplitViews(f[3], kLineSeparator)) {
        if (!ParseMyLine(piece)) continue;
        if (given < kMaxLinesPerGoods) {
            ++given;
            continue;
        }
        // The unread part takes the separator before it, so that text + unread is the record.
        std::size_t cut = static_cast<std::size_t>(piece.data() - text.data());
        if (cut > linesStart) --cut;
        record.unread = record.text.substr(cut);
        record.text.resize(cut);
        return;
    }
}

std::string MyLineBook::Format() const {
    std::string out;
    for (const Record& record : m_records) {
        if (!out.empty()) out += kRecordSeparator;
        out += record.text;
        out += record.unread;
    }
    return out;
}

void MyLineBook::AppendLines(const Record& record, std::vector<CMyLine>& lines) {
    const std::vector<std::string_view> f = SplitViews(record.text, kFieldSeparator);
    if (f.size() < 4) return;
    for (std::string_view text : SplitViews(f[3], kLineSeparator))
        if (std::optional<CMyLine> line = ParseMyLine(text)) lines.push_back(std::move(*line));
}

std::vector<CMyLine> MyLineBook::LinesOf(const LineKey& key) const {
    std::vector<CMyLine> lines;
    for (const Record& record : m_records)
        if (record.key == key) AppendLines(record, lines);
    return lines;
}

std::vector<std::pair<LineKey, std::vector<CMyLine>>> MyLineBook::AllLines() const {
    std::vector<std::pair<LineKey, std::vector<CMyLine>>> all;
    std::map<LineKey, std::size_t> at;
    for (const Record& record : m_records) {
        if (!record.key) continue;
        const auto [found, added] = at.emplace(*record.key, all.size());
        if (added) all.emplace_back(*record.key, std::vector<CMyLine>{});
        AppendLines(record, all[found->second].second);
    }
    return all;
}

std::vector<LineKey> MyLineBook::Keys() const {
    std::vector<LineKey> keys;
    std::set<LineKey> seen;
    for (const Record& record : m_records)
        if (record.key && seen.insert(*record.key).second) keys.push_back(*record.key);
    return keys;
}

void MyLineBook::Set(const LineKey& key, const std::vector<CMyLine>& lines) {
    // The goods' unread lines, in order, each record's without its leading separator.
    std::string unread;
    for (const Record& record : m_records) {
        if (record.key != key || record.unread.empty()) continue;
        const std::string_view part = std::string_view(record.unread).substr(record.unread[0] == ';' ? 1 : 0);
        if (!unread.empty() && !part.empty()) unread += kLineSeparator;
        unread += part;
    }
    const std::string tail = unread.empty() || lines.empty() ? unread : std::string(kLineSeparator) + unread;
    bool placed = lines.empty() && unread.empty();
    for (auto it = m_records.begin(); it != m_records.end();) {
        if (it->key != key) {
            ++it;
            continue;
        }
        if (placed) {
            it = m_records.erase(it);
            continue;
        }
        it->text = FormatRecord(key, lines);
        it->unread = tail;
        placed = true;
        ++it;
    }
    if (!placed) m_records.push_back({key, FormatRecord(key, lines), tail});
}

std::string MyLineBook::FormatRecord(const LineKey& key, const std::vector<CMyLine>& lines) {
    std::string out = key.tag + "|" + key.goods.goodsNo + "|" + key.goods.dueDate + "|";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) out += ";";
        out += FormatMyLine(lines[i]);
    }
    return out;
}

}  // namespace qelt
