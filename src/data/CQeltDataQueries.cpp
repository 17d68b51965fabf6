// What the views, the application and the database read from the store: copies only.
#include "common/Numbers.h"
#include "common/Text.h"
#include "data/CQeltData.h"

namespace qelt {

namespace {

bool Active(const CQeltGoods& goods) { return LeadingInt(goods.state) > 0; }

/// What a view's row needs: position, name, change figures and quote fields; the rest as
/// newly constructed (the views request series and trades through the current goods).
CQeltGoods RowCopy(const CQeltGoods& source) {
    CQeltGoods row;
    row.position = source.position;
    row.name = source.name;
    row.changePercent = source.changePercent;
    row.change = source.change;
    CopyQuoteFields(source, row);
    return row;
}

/// "0000" to "0009" are the pseudo-categories; any other code is a real category.
bool IsPseudoCategory(std::string_view code) {
    return code.size() == 4 && code.starts_with("000") && code[3] >= '0' && code[3] <= '9';
}

}  // namespace

void CQeltData::Reset() {
    std::lock_guard lock(m_mutex);
    m_main.clear();
    m_delivery.clear();
    m_spotMonth.clear();
    m_thirdMonth.clear();
    m_contract.clear();
    m_mainIndex.clear();
    m_deliveryIndex.clear();
    m_categoryCodes.clear();
    m_categoryNames.clear();
    m_nameTable.clear();
}

void CQeltData::Clear() {
    std::lock_guard lock(m_mutex);
    m_loginCode = -1;
    m_loginNumber = -1;
    m_loginText.clear();
    m_loginSpare = {};
    m_categoryNames.clear();
    m_categoryCodes.clear();
    m_nameTable.clear();
    m_kindTable.clear();
    m_main.clear();
    m_delivery.clear();
    m_spotMonth.clear();
    m_thirdMonth.clear();
    m_contract.clear();
    m_mainIndex.clear();
    m_deliveryIndex.clear();
    m_mainTradeIds.clear();
    m_tradeList.clear();
    m_tradeListKey.clear();
    m_tradeListSelector.clear();
    m_alarmHits.clear();
    m_notice.clear();
    m_indexValues = {};
}

bool CQeltData::IsFlaggedLocked(std::string_view goodsNo) const {
    auto found = m_kindTable.find(goodsNo);
    return found != m_kindTable.end() && LeadingInt(found->second) == 1;
}

bool CQeltData::IsFlagged(std::string_view goodsNo) const {
    std::lock_guard lock(m_mutex);
    return IsFlaggedLocked(goodsNo);
}

std::string CQeltData::CategoryNameLocked(std::string_view code) const {
    auto found = m_nameTable.find(code);
    return found == m_nameTable.end() ? std::string() : found->second;
}

std::string CQeltData::CategoryName(std::string_view code) const {
    std::lock_guard lock(m_mutex);
    return CategoryNameLocked(code);
}

std::string CQeltData::CurrentCategoryCode(int categoryIndex) const {
    std::lock_guard lock(m_mutex);
    if (categoryIndex < 0 || static_cast<std::size_t>(categoryIndex) >= m_categoryCodes.size()) return {};
    return m_categoryCodes[categoryIndex];
}

template <typename Store>
auto* CQeltData::ResolveLocked(Store& self, int categoryIndex, int goodsIndex,
                               std::string_view selfSelectedCategory) {
    std::string_view code;
    if (categoryIndex >= 0 && static_cast<std::size_t>(categoryIndex) < self.m_categoryCodes.size())
        code = self.m_categoryCodes[categoryIndex];
    if (code == kSelfSelectedCode) code = selfSelectedCategory;

    auto* list = &self.m_main;
    if (code == kSpotMonthCode)
        list = &self.m_spotMonth;
    else if (code == kDeliveryCode)
        list = &self.m_delivery;
    else if (code == kThirdMonthCode)
        list = &self.m_thirdMonth;
    else if (code == kContractCode)
        list = &self.m_contract;
    using Record = std::remove_reference_t<decltype(self.m_main.front())>;
    if (list != &self.m_main)
        for (Record& entry : *list)
            if (entry.position == goodsIndex) return &entry;
    if (goodsIndex >= 0 && static_cast<std::size_t>(goodsIndex) < self.m_main.size())
        return &self.m_main[goodsIndex];
    return static_cast<Record*>(nullptr);
}

CQeltGoods CQeltData::CurrentGoods(int categoryIndex, int goodsIndex,
                                   std::string_view selfSelectedCategory) const {
    std::lock_guard lock(m_mutex);
    const CQeltGoods* found = ResolveLocked(*this, categoryIndex, goodsIndex, selfSelectedCategory);
    return found != nullptr ? *found : CQeltGoods();
}

bool CQeltData::EditGoods(int categoryIndex, int goodsIndex, std::string_view selfSelectedCategory,
                          const std::function<void(CQeltGoods&)>& edit) {
    std::lock_guard lock(m_mutex);
    CQeltGoods* found = ResolveLocked(*this, categoryIndex, goodsIndex, selfSelectedCategory);
    if (found == nullptr) return false;
    edit(*found);
    return true;
}

bool CQeltData::EditListedGoods(std::string_view tag, const GoodsKey& key,
                                const std::function<void(CQeltGoods&)>& edit) {
    if (tag != kTagMain && tag != kTagDelivery && tag != kTagSpotMonth && tag != kTagThirdMonth &&
        tag != kTagContract)
        return false;
    std::lock_guard lock(m_mutex);
    for (CQeltGoods& goods : ListByTag(tag)) {
        if (!goods.Matches(key)) continue;
        edit(goods);
        return true;
    }
    return false;
}

const CQeltData::List& CQeltData::ListOf(GoodsList list) const {
    switch (list) {
        case GoodsList::Delivery:
            return m_delivery;
        case GoodsList::SpotMonth:
            return m_spotMonth;
        case GoodsList::ThirdMonth:
            return m_thirdMonth;
        case GoodsList::Contract:
            return m_contract;
        case GoodsList::Main:
            break;
    }
    return m_main;
}

std::vector<GoodsSummary> CQeltData::Summaries(GoodsList list) const {
    std::lock_guard lock(m_mutex);
    const List& source = ListOf(list);
    std::vector<GoodsSummary> out;
    out.reserve(source.size());
    for (const CQeltGoods& g : source) out.push_back({g.position, g.goods_no, g.due_date, g.name, g.state});
    return out;
}

void CQeltData::VisitMain(const std::function<void(const CQeltGoods&)>& visit) const {
    std::lock_guard lock(m_mutex);
    for (const CQeltGoods& g : m_main) visit(g);
}

bool CQeltData::VisitMainRecord(const GoodsKey& goods,
                                const std::function<void(const CQeltGoods&)>& visit) const {
    const std::string key = KeyOf(goods.goodsNo, goods.dueDate);
    std::lock_guard lock(m_mutex);
    const auto found = m_mainIndex.find(key);
    if (found == m_mainIndex.end()) return false;
    visit(m_main[found->second]);
    return true;
}

std::vector<CQeltGoods> CQeltData::GoodsOfCategory(int index) const {
    // The self-selected list may come from a file: read it before taking the lock.
    std::vector<SelfSelectedEntry> selfSelected;
    std::string code = CurrentCategoryCode(index);
    if (code == kSelfSelectedCode && m_selfSelected != nullptr)
        selfSelected = m_selfSelected->ReadSelfSelected();

    std::vector<CQeltGoods> out;
    std::lock_guard lock(m_mutex);
    if (code.empty()) return out;
    auto copyAll = [&](const List& list, auto&& take) {
        for (const CQeltGoods& goods : list)
            if (take(goods)) out.push_back(RowCopy(goods));
    };
    auto all = [](const CQeltGoods&) { return true; };
    if (code == kSelfSelectedCode) {
        copyAll(m_main, [&](const CQeltGoods& g) {
            for (const SelfSelectedEntry& e : selfSelected)
                if (g.Matches(e.goods)) return true;
            return false;
        });
    } else if (code == kAllGoodsCode) {
        copyAll(m_main, Active);
    } else if (code == kSpotMonthCode) {
        copyAll(m_spotMonth, all);
    } else if (code == kDeliveryCode) {
        copyAll(m_delivery, all);
    } else if (code == kThirdMonthCode) {
        copyAll(m_thirdMonth, all);
    } else if (code == kContractCode) {
        copyAll(m_contract, [](const CQeltGoods& g) { return g.due_date.ends_with("25"); });
    } else if (code == kMidMonthCode) {
        copyAll(m_contract,
                [](const CQeltGoods& g) { return g.due_date.ends_with("05") || g.due_date.ends_with("15"); });
    } else if (!IsPseudoCategory(code)) {
        copyAll(m_main, [&](const CQeltGoods& g) {
            if (!Active(g)) return false;
            if (g.goods_no == code) return true;
            if (code == "0112") return g.name == kIndexNames[1];
            if (code == "0121") return g.name == kIndexNames[2];
            if (code == "2000") return Trim(g.due_date).empty();
            return false;
        });
    }
    return out;
}

std::vector<CQeltGoods> CQeltData::Copy(GoodsList list) const {
    std::lock_guard lock(m_mutex);
    return ListOf(list);
}

std::vector<GoodsKey> CQeltData::MainListKeys() const {
    std::lock_guard lock(m_mutex);
    std::vector<GoodsKey> keys;
    keys.reserve(m_main.size());
    for (const CQeltGoods& g : m_main) keys.push_back(g.Key());
    return keys;
}

std::vector<GoodsKey> CQeltData::DeliveryMonthKeys() const {
    std::lock_guard lock(m_mutex);
    std::vector<GoodsKey> keys;
    keys.reserve(m_delivery.size());
    for (const CQeltGoods& g : m_delivery) keys.push_back(g.Key());
    return keys;
}

std::size_t CQeltData::MainCount() const {
    std::lock_guard lock(m_mutex);
    return m_main.size();
}

std::vector<std::string> CQeltData::CategoryCodes() const {
    std::lock_guard lock(m_mutex);
    return m_categoryCodes;
}

std::vector<std::string> CQeltData::CategoryNames() const {
    std::lock_guard lock(m_mutex);
    return m_categoryNames;
}

std::array<std::string, 3> CQeltData::IndexValues() const {
    std::lock_guard lock(m_mutex);
    return m_indexValues;
}

std::string CQeltData::Notice() const {
    std::lock_guard lock(m_mutex);
    return m_notice;
}

std::vector<AlarmHitRow> CQeltData::AlarmHits() const {
    std::lock_guard lock(m_mutex);
    return m_alarmHits;
}

DetailList CQeltData::LastDetailList() const {
    std::lock_guard lock(m_mutex);
    return {m_tradeListKey, m_tradeListSelector, m_tradeList};
}

std::vector<TradeRow> CQeltData::TradeList() const {
    std::lock_guard lock(m_mutex);
    return m_tradeList;
}

int CQeltData::LoginCode() const {
    std::lock_guard lock(m_mutex);
    return m_loginCode;
}

std::string CQeltData::LoginText() const {
    std::lock_guard lock(m_mutex);
    return m_loginText;
}

int CQeltData::LoginNumber() const {
    std::lock_guard lock(m_mutex);
    return m_loginNumber;
}

}  // namespace qelt
