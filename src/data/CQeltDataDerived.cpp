// The lists derived from the main goods list: contracts, spot month and third month.
#include "data/CQeltData.h"
#include "data/SeriesUpdate.h"

namespace qelt {

namespace {

bool SameKey(const CQeltGoods& a, const CQeltGoods& b) {
    return a.goods_no == b.goods_no && a.due_date == b.due_date;
}

/// Fields 2..9 and 11..20 of the board (last_sale_num .. last_date without goods_no), the
/// change figures and the position: what a derived entry takes from its source each time.
void RefreshFrom(const CQeltGoods& source, CQeltGoods& entry) {
    CopyListFields(source, entry, 2, 9);
    CopyListFields(source, entry, 11, 20);
    entry.change = source.change;
    entry.changePercent = source.changePercent;
    entry.position = source.position;
}

/// "-05合约" for a due date ending in "25" (20060525), else the due date without its first
/// four characters ("-0515" for 20060515).
std::string ContractSuffix(std::string_view dueDate) {
    std::string suffix = "-";
    if (dueDate.ends_with("25")) {
        suffix += dueDate.substr(4 < dueDate.size() ? 4 : dueDate.size(), 2);
        suffix += "合约";
    } else {
        suffix += dueDate.substr(4 < dueDate.size() ? 4 : dueDate.size());
    }
    return suffix;
}

}  // namespace

void CQeltData::RebuildDerivedLists() {
    Outcome out;
    bool online = IsOnline();
    {
        std::lock_guard lock(m_mutex);
        RebuildDerivedLocked(online, out.requests);
    }
    Deliver(out);
}

void CQeltData::RebuildDerivedLocked(bool online, std::vector<std::string>& requests) {
    m_contract.clear();
    m_spotMonth.clear();
    m_thirdMonth.clear();
    m_contract.reserve(m_main.size());
    for (const CQeltGoods& main : m_main) {
        if (main.goods_no == kIndexGoodsNo) continue;
        CQeltGoods& entry = m_contract.emplace_back();
        CopyListFields(main, entry, 1, 20);
        entry.change = main.change;
        entry.changePercent = main.changePercent;
        entry.position = main.position;
        entry.flagged = main.flagged;
        entry.listTag = kTagContract;
        std::string category = CategoryNameLocked(main.goods_no);
        entry.name = category + ContractSuffix(main.due_date);
        if (auto request = UpdateSeriesFromQuote(entry, online)) requests.push_back(std::move(*request));
        if (m_goodsEntering) m_goodsEntering(entry);

        if (entry.state == "1") {
            CQeltGoods& spot = m_spotMonth.emplace_back(entry);
            spot.listTag = kTagSpotMonth;
            spot.name = category + "现货月";
            spot.lines.clear();
            if (m_goodsEntering) m_goodsEntering(spot);
        } else if (entry.state == "2") {
            CQeltGoods& third = m_thirdMonth.emplace_back(entry);
            third.listTag = kTagThirdMonth;
            third.name = category + "第三月";
            third.lines.clear();
            if (m_goodsEntering) m_goodsEntering(third);
        }
    }
}

void CQeltData::RefreshDerivedLocked() {
    // Positions index the main list, which only grows, so they find the source directly;
    // the key check guards against an entry built before a Reset.
    std::vector<int> contractOfPosition(m_main.size(), -1);
    for (std::size_t i = 0; i < m_contract.size(); ++i) {
        CQeltGoods& entry = m_contract[i];
        const CQeltGoods* main = nullptr;
        if (entry.position >= 0 && static_cast<std::size_t>(entry.position) < m_main.size() &&
            SameKey(m_main[entry.position], entry)) {
            main = &m_main[entry.position];
        } else {
            auto found = m_mainIndex.find(KeyOf(entry.goods_no, entry.due_date));
            if (found != m_mainIndex.end()) main = &m_main[found->second];
        }
        if (main == nullptr) continue;
        RefreshFrom(*main, entry);
        contractOfPosition[entry.position] = static_cast<int>(i);
    }
    for (List* list : {&m_spotMonth, &m_thirdMonth}) {
        for (CQeltGoods& entry : *list) {
            if (entry.position < 0 || static_cast<std::size_t>(entry.position) >= contractOfPosition.size())
                continue;
            int c = contractOfPosition[entry.position];
            if (c < 0 || !SameKey(m_contract[c], entry)) continue;
            RefreshFrom(m_contract[c], entry);
        }
    }
}

}  // namespace qelt
