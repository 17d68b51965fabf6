// Folding the board ("list" reply): one record per contract, 27 fields each.
#include <cmath>

#include "common/Numbers.h"
#include "data/CQeltData.h"
#include "data/SeriesUpdate.h"
#include "net/Replies.h"

namespace qelt {

namespace {

const std::string kZero = "0.00";

/// Writes "%.2f" of the text's value into `target`. The board repeats prices already
/// written with at most two decimals ("101.5", "101.50"): their digits are the answer, and
/// the general conversion (a tenth of the fold's time) is left for the other texts.
void StorePrice(std::string_view text, std::string& target) {
    std::size_t dot = text.find('.');
    std::string_view whole = text.substr(0, dot);
    std::string_view fraction = dot == std::string_view::npos ? std::string_view{} : text.substr(dot + 1);
    auto digitsOnly = [](std::string_view part) {
        for (char c : part)
            if (c < '0' || c > '9') return false;
        return true;
    };
    bool plain = !whole.empty() && whole.size() <= 12 && (whole.size() == 1 || whole[0] != '0') &&
                 digitsOnly(whole) && fraction.size() <= 2 && digitsOnly(fraction) &&
                 (dot == std::string_view::npos || !fraction.empty());
    if (!plain) {
        target = FormatFixed2(LeadingDouble(text));
        return;
    }
    target.assign(whole);
    target += '.';
    target.append(fraction);
    target.append(2 - fraction.size(), '0');
}

/// A price at or beyond kMaxPriceMagnitude. At most 15 characters without an exponent stay
/// below it, which spares the conversion for every ordinary price.
bool IsAbsurdPrice(std::string_view text) {
    if (text.size() <= 15 && text.find_first_of("eE") == std::string_view::npos) return false;
    return std::fabs(LeadingDouble(text)) >= kMaxPriceMagnitude;
}

bool HasAbsurdPrice(const ListRecord& fields) {
    for (std::size_t n = 1; n <= kListFields; ++n)
        if (IsListPriceField(n) && IsAbsurdPrice(fields[n - 1])) return true;
    return false;
}

/// Change and change percent of a main record, in single precision: current against
/// reference, "0.00" when there is no current value or no difference to speak of.
void SetChange(CQeltGoods& goods) {
    const std::string& currentText = goods.flagged ? goods.newest_price : goods.price;
    const std::string& referenceText = goods.flagged ? goods.pre_newest : goods.pre_close;
    float current = LeadingFloat(currentText);
    float reference = LeadingFloat(referenceText);
    float diff = current - reference;
    if (current < 0.001f || std::fabs(diff) < 0.001f)
        goods.change = kZero;
    else
        goods.change = FormatFixed2(diff);
    if (current < 0.001f || reference == 0.0f) {
        goods.changePercent = kZero;
        return;
    }
    float percent = diff * 100.0f / reference;
    goods.changePercent = std::fabs(percent) < 0.001f ? kZero : FormatFixed2(percent);
}

/// The delivery-month entry's own rule: price against pre_close only, coarser thresholds.
void SetDeliveryChange(CQeltGoods& entry) {
    float price = LeadingFloat(entry.price);
    float preClose = LeadingFloat(entry.pre_close);
    float diff = price - preClose;
    entry.change = std::fabs(diff) < 0.01f ? kZero : FormatFixed2(diff);
    if (preClose == 0.0f) {
        entry.changePercent = kZero;
        return;
    }
    float percent = diff * 100.0f / preClose;
    entry.changePercent = (percent > -0.01f && percent < 0.01f) ? kZero : FormatFixed2(percent);
}

}  // namespace

CQeltGoods* CQeltData::FindOrAddMain(std::string_view goodsNo, std::string_view dueDate) {
    m_keyBuffer.assign(goodsNo).push_back('|');
    m_keyBuffer.append(dueDate);
    auto found = m_mainIndex.find(m_keyBuffer);
    if (found != m_mainIndex.end()) return &m_main[found->second];
    if (m_main.size() >= kMaxMainRecords) return nullptr;
    CQeltGoods& goods = m_main.emplace_back();
    goods.flagged = IsFlaggedLocked(goodsNo);
    m_mainIndex.emplace(m_keyBuffer, m_main.size() - 1);
    return &goods;
}

void CQeltData::StoreListRecord(CQeltGoods& goods, const std::array<std::string_view, kListFields>& fields) {
    for (std::size_t n = 1; n <= kListFields; ++n) {
        std::string& target = goods.*ListField(n);
        if (IsListPriceField(n))
            StorePrice(fields[n - 1], target);
        else
            target.assign(fields[n - 1]);
    }
}

void CQeltData::NameMainRecord(CQeltGoods& goods) {
    if (goods.due_date.starts_with('2')) {
        auto category = m_nameTable.find(goods.goods_no);
        goods.name.assign(category == m_nameTable.end() ? std::string_view{}
                                                        : std::string_view(category->second));
        goods.name += '-';
        // A delivery month as short as "2" has nothing after its first two characters.
        if (goods.due_date.size() > 2) goods.name += std::string_view(goods.due_date).substr(2, 6);
        return;
    }
    goods.name = goods.due_date;
    for (std::size_t i = 0; i < kIndexNames.size(); ++i)
        if (goods.due_date == kIndexNames[i]) m_indexValues[i] = goods.price;
}

void CQeltData::MirrorDelivery(const CQeltGoods& main, bool online, Outcome& out) {
    m_keyBuffer.assign(main.goods_no).push_back('|');
    m_keyBuffer.append(main.due_date);
    auto found = m_deliveryIndex.find(m_keyBuffer);
    CQeltGoods* entry = nullptr;
    if (found == m_deliveryIndex.end()) {
        entry = &m_delivery.emplace_back(main);
        m_deliveryIndex.emplace(m_keyBuffer, m_delivery.size() - 1);
        entry->listTag = kTagDelivery;
        entry->lines.clear();  // the main record's lines are not the delivery entry's
        if (m_goodsEntering) m_goodsEntering(*entry);
    } else {
        entry = &m_delivery[found->second];
        CopyListFields(main, *entry, 1, 20);
        entry->position = main.position;
        SetDeliveryChange(*entry);
    }
    entry->listTag = kTagDelivery;
    entry->name = CategoryNameLocked(main.goods_no) + "交货月";
    if (auto request = UpdateSeriesFromQuote(*entry, online)) out.requests.push_back(std::move(*request));
}

void CQeltData::FoldList(std::string_view body, bool online, Outcome& out) {
    for (const ListRecord& fields : ParseList(body)) {
        if (HasAbsurdPrice(fields)) continue;
        const std::size_t before = m_main.size();
        CQeltGoods* found = FindOrAddMain(fields[9], fields[0]);
        if (!found) continue;
        CQeltGoods& goods = *found;
        StoreListRecord(goods, fields);
        if (m_main.size() != before && m_goodsEntering) m_goodsEntering(goods);
        NameMainRecord(goods);
        goods.position = static_cast<int>(&goods - m_main.data());
        SetChange(goods);
        if (goods.state == "1") MirrorDelivery(goods, online, out);
        if (auto request = UpdateSeriesFromQuote(goods, online)) out.requests.push_back(std::move(*request));
    }
    if (m_contract.empty()) RebuildDerivedLocked(online, out.requests);
    RefreshDerivedLocked();
}

}  // namespace qelt
