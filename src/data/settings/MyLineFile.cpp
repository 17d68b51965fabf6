#include "data/settings/MyLineFile.h"

#include <cmath>
#include <map>
#include <set>

#include "common/Files.h"
#include "common/Gbk.h"
#include "common/Numbers.h"
#include "common/Split.h"
#include "data/settings/SettingsReports.h"

namespace qelt {
namespace {

/// Far above any real drawing (a few hundred bytes a goods); a larger file is not ours.
constexpr std::size_t kMaxMyLineFileBytes = 4u << 20;

std::string MyLineFilePath(const std::string& programDirectory) { return programDirectory + kMyLineFileName; }

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
    for (std::string_view text : SplitViews(content, kRecordSeparator)) {
        Record record{std::nullopt, std::string(text)};
        const std::vector<std::string_view> f = SplitViews(text, kFieldSeparator);
        if (f.size() >= 3) record.key = LineKey{std::string(f[0]), {std::string(f[1]), std::string(f[2])}};
        book.m_records.push_back(std::move(record));
    }
    return book;
}

std::string MyLineBook::Format() const {
    std::string out;
    for (const Record& record : m_records) {
        if (!out.empty()) out += kRecordSeparator;
        out += record.text;
    }
    return out;
}

MyLineBook::LoadResult MyLineBook::Load(const std::string& programDirectory) {
    const std::string path = MyLineFilePath(programDirectory);
    std::optional<std::string> content = ReadWholeFile(path, kMaxMyLineFileBytes);
    if (!content) {
        *this = MyLineBook();
        if (!FileExists(path)) return LoadResult::Missing;
        m_readOnly = true;
        return LoadResult::Unreadable;
    }
    *this = Parse(GbkToUtf8(*content));
    return LoadResult::Read;
}

bool MyLineBook::Save(const std::string& programDirectory) const {
    if (m_readOnly) return false;
    return WriteFileAtomic(MyLineFilePath(programDirectory), Utf8ToGbk(Format()));
}

void MyLineBook::AppendLines(const Record& record, std::vector<CMyLine>& lines) {
    const std::vector<std::string_view> f = SplitViews(record.text, kFieldSeparator);
    if (f.size() < 4) return;
    for (std::string_view text : SplitViews(f[3], ";")) {
        if (lines.size() >= kMaxLinesPerGoods) return;
        if (std::optional<CMyLine> line = ParseMyLine(text)) lines.push_back(std::move(*line));
    }
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
    bool placed = lines.empty();
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
        placed = true;
        ++it;
    }
    if (!placed) m_records.push_back({key, FormatRecord(key, lines)});
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
