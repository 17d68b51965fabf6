#include "server/HistoryStore.h"

#include <algorithm>

#include "common/Files.h"
#include "common/Numbers.h"
#include "common/Split.h"
#include "server/Calendar.h"
#include "server/HistoryGenerator.h"
#include "server/Random.h"

namespace qelt::server {

int HistorySlot(const ContractSpec& c) {
    if (c.kind == ContractKind::NoMonth) return 900 + LeadingInt(c.goodsNo) % 50;
    if (c.kind == ContractKind::Index) return 950 + static_cast<int>(HashText(c.dueDate) % 50);
    int month = c.dueDay / 10000 * 12 + c.dueDay / 100 % 100;
    int day = c.dueDay % 100;
    return c.category * 200 + (month % 50) * 3 + (day == 25 ? 0 : day == 15 ? 1 : 2);
}

namespace {
/// Version 2 holds the contracts' prices in 万元; a version-1 file (prices in yuan) is not
/// read but generated anew, so old bars never meet the quotes of the new unit.
constexpr std::string_view kMagic = "qelt-history|2|";
}  // namespace

void HistoryStore::Prepare(const std::string& dataDir, int today,
                           const std::vector<ContractSpec>& contracts) {
    m_lastDay = PreviousTradingDay(today);
    m_loaded = false;
    std::string path = dataDir.empty() ? std::string() : dataDir + "history.txt";
    if (!path.empty() && Load(path, contracts)) {
        m_loaded = true;
    } else {
        Generate(today, contracts);
        if (!path.empty()) Save(path);
    }
    BuildIds();
}

void HistoryStore::Generate(int, const std::vector<ContractSpec>& contracts) {
    m_series.clear();
    m_byKey.clear();
    for (const auto& c : contracts) {
        Series s;
        s.goodsNo = c.goodsNo;
        s.dueDate = c.dueDate;
        s.dueDay = c.dueDay;
        s.slot = HistorySlot(c);
        s.bars = GenerateBars(m_seed, c, m_lastDay);
        m_byKey[ContractKey(c)] = m_series.size();
        m_series.push_back(std::move(s));
    }
}

void HistoryStore::Save(const std::string& path) const {
    std::string out;
    out.reserve(m_series.size() * 600 * 70);
    out += kMagic;
    out += FormatInt(static_cast<std::int64_t>(m_seed % 1000000000000ull));
    out += '|';
    out += FormatInt(m_lastDay);
    out += "|\n";
    for (const auto& s : m_series) {
        out +=
            "S|" + s.goodsNo + "|" + s.dueDate + "|" + FormatInt(s.dueDay) + "|" + FormatInt(s.slot) + "|\n";
        for (const auto& b : s.bars) {
            out += FormatBar(b, "-");
            out += '\n';
        }
    }
    WriteFileAtomic(path, out);
}

bool HistoryStore::Load(const std::string& path, const std::vector<ContractSpec>& contracts) {
    auto content = ReadWholeFile(path, 256u << 20);
    if (!content) return false;
    std::string_view text(*content);
    std::string header = std::string(kMagic) +
                         FormatInt(static_cast<std::int64_t>(m_seed % 1000000000000ull)) + "|" +
                         FormatInt(m_lastDay) + "|\n";
    if (text.substr(0, header.size()) != header) return false;
    text.remove_prefix(header.size());
    std::vector<Series> series;
    std::map<std::string, size_t> byKey;
    for (auto line : SplitViews(text, "\n")) {
        auto f = SplitViews(line, "|");
        if (f.size() >= 5 && f[0] == "S") {
            Series s;
            s.goodsNo = std::string(f[1]);
            s.dueDate = std::string(f[2]);
            s.dueDay = LeadingInt(f[3]);
            s.slot = LeadingInt(f[4]);
            byKey[s.goodsNo + s.dueDate] = series.size();
            series.push_back(std::move(s));
        } else if (f.size() >= 9 && !series.empty()) {
            Bar b;
            b.date = LeadingInt(f[0]);
            b.open = LeadingDouble(f[1]);
            b.close = LeadingDouble(f[2]);
            b.high = LeadingDouble(f[3]);
            b.low = LeadingDouble(f[4]);
            b.num = LeadingInt(f[5]);
            b.avg = LeadingDouble(f[6]);
            b.pure = LeadingInt(f[7]);
            b.null = LeadingInt(f[8]);
            series.back().bars.push_back(b);
        } else {
            return false;
        }
    }
    for (const auto& c : contracts)
        if (!byKey.count(ContractKey(c))) return false;
    m_series = std::move(series);
    m_byKey = std::move(byKey);
    return true;
}

void HistoryStore::BuildIds() {
    m_ids.clear();
    const long genesis = DaysFromDate(kHistoryGenesis);
    for (size_t s = 0; s < m_series.size(); ++s) {
        const auto& bars = m_series[s].bars;
        for (size_t b = 0; b < bars.size(); ++b) {
            std::int64_t id =
                static_cast<std::int64_t>(DaysFromDate(bars[b].date) - genesis) * 1000 + m_series[s].slot;
            m_ids.push_back({id, static_cast<std::uint32_t>(s), static_cast<std::uint32_t>(b)});
        }
    }
    std::sort(m_ids.begin(), m_ids.end(), [](const IdEntry& a, const IdEntry& b) { return a.id < b.id; });
}

const Series* HistoryStore::Find(const std::string& key) const {
    auto it = m_byKey.find(key);
    return it == m_byKey.end() ? nullptr : &m_series[it->second];
}

std::vector<std::pair<const Bar*, const std::string*>> HistoryStore::LineBars(const GoodsKey& contract,
                                                                              const std::string& tag,
                                                                              int cover) const {
    std::vector<std::pair<const Bar*, const std::string*>> out;
    const Series* own = Find(contract.goodsNo + contract.dueDate);
    if (!own) return out;
    const bool splice = (tag == "3" || tag == "0") && own->dueDay > 0;
    if (!splice) {
        for (const auto& b : own->bars) out.push_back({&b, &own->dueDate});
        return out;
    }
    std::vector<const Series*> earlier;
    for (const auto& s : m_series)
        if (s.goodsNo == contract.goodsNo && s.dueDay > 0 && s.dueDay < own->dueDay) earlier.push_back(&s);
    std::sort(earlier.begin(), earlier.end(),
              [](const Series* a, const Series* b) { return a->dueDay < b->dueDay; });
    if (cover == 1) {
        // Later covers earlier: the contract's own bars, and before its listing the bars of
        // the latest earlier delivery that traded then.
        int coveredFrom = own->bars.empty() ? 99999999 : own->bars.front().date;
        std::vector<std::pair<const Bar*, const std::string*>> before;
        for (auto it = earlier.rbegin(); it != earlier.rend(); ++it) {
            std::vector<std::pair<const Bar*, const std::string*>> part;
            for (const auto& b : (*it)->bars)
                if (b.date < coveredFrom) part.push_back({&b, &(*it)->dueDate});
            if (!part.empty()) coveredFrom = part.front().first->date;
            before.insert(before.begin(), part.begin(), part.end());
        }
        out = std::move(before);
        for (const auto& b : own->bars) out.push_back({&b, &own->dueDate});
        return out;
    }
    // Earlier covers later: each day belongs to the nearest delivery that had not delivered
    // yet, among the deliveries already past and then this contract.
    int covered = 0;
    auto take = [&](const Series* s) {
        for (const auto& b : s->bars)
            if (b.date > covered) out.push_back({&b, &s->dueDate});
        if (!s->bars.empty()) covered = std::max(covered, s->bars.back().date);
    };
    for (const Series* s : earlier)
        if (s->dueDay <= m_lastDay) take(s);
    take(own);
    return out;
}

size_t HistoryStore::PendingAfter(std::int64_t afterId) const {
    auto it = std::upper_bound(m_ids.begin(), m_ids.end(), afterId,
                               [](std::int64_t v, const IdEntry& e) { return v < e.id; });
    return static_cast<size_t>(m_ids.end() - it);
}

std::int64_t HistoryStore::AppendRecords(std::int64_t afterId, size_t max, std::string& out) const {
    auto it = std::upper_bound(m_ids.begin(), m_ids.end(), afterId,
                               [](std::int64_t v, const IdEntry& e) { return v < e.id; });
    std::int64_t last = afterId;
    for (size_t n = 0; it != m_ids.end() && n < max; ++it, ++n) {
        const Series& s = m_series[it->series];
        const Bar& b = s.bars[it->bar];
        double preClose = it->bar > 0 ? s.bars[it->bar - 1].close : b.open;
        out += FormatInt(it->id);
        out += '|';
        out += s.dueDate;
        out += '|';
        out += s.goodsNo;
        out += '|';
        out += FormatInt(b.date);
        for (double v : {b.open, b.close, b.high, b.low}) {
            out += '|';
            out += FormatFixed2(v);
        }
        out += '|';
        out += FormatInt(b.num);
        out += '|';
        out += FormatFixed2(preClose);
        out += '|';
        out += FormatFixed2(b.avg);
        out += '|';
        out += FormatInt(b.pure);
        out += '|';
        out += FormatInt(b.null);
        out += "||";
        last = it->id;
    }
    return last;
}

}  // namespace qelt::server
