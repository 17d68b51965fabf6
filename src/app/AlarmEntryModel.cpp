#include "app/AlarmEntryModel.h"

#include <algorithm>

#include "app/AlarmRules.h"

namespace qelt {

namespace {

int PositionOf(const std::vector<std::string>& texts, const std::string& text) {
    const auto found = std::find(texts.begin(), texts.end(), text);
    return found == texts.end() ? -1 : static_cast<int>(found - texts.begin());
}

}  // namespace

AlarmEntryModel::AlarmEntryModel(const AlarmEntryChoices& choices) : m_names(choices.names) {
    for (const auto& [goodsNo, dueDate] : choices.records) {
        if (!IsSafeAlarmText(goodsNo) || !IsSafeAlarmText(dueDate)) continue;
        auto [months, added] = m_months.try_emplace(goodsNo);
        if (added) m_goods.push_back(goodsNo);
        if (std::find(months->second.begin(), months->second.end(), dueDate) == months->second.end())
            months->second.push_back(dueDate);
    }
    if (m_goods.empty()) return;
    m_initialGoods = PositionOf(m_goods, choices.current.goodsNo);
    m_initialMonth =
        m_initialGoods < 0 ? -1 : PositionOf(MonthsOf(choices.current.goodsNo), choices.current.dueDate);
    if (m_initialMonth < 0) {
        // Not on offer (nothing selected, an index's pseudo-month refused): the first record.
        m_initialGoods = 0;
        m_initialMonth = 0;
    }
}

std::vector<std::string> AlarmEntryModel::GoodsLabels() const {
    std::vector<std::string> labels;
    for (const std::string& goodsNo : m_goods) {
        const auto name = m_names.find(goodsNo);
        labels.push_back(name == m_names.end() || name->second.empty() ? goodsNo
                                                                       : goodsNo + " " + name->second);
    }
    return labels;
}

std::vector<std::string> AlarmEntryModel::MonthsOf(const std::string& goodsNo) const {
    const auto found = m_months.find(goodsNo);
    return found == m_months.end() ? std::vector<std::string>() : found->second;
}

AlarmEntryModel::Verdict AlarmEntryModel::Accept(const GoodsKey& goods, const std::string& upperPrice,
                                                 const std::string& lowerPrice, const std::string& volume,
                                                 const std::string& netPosition) {
    Verdict verdict;
    auto refuse = [&verdict](Field field, const char* message) {
        verdict.field = field;
        verdict.message = message;
        return verdict;
    };
    std::optional<double> upper = ReadAlarmPrice(upperPrice);
    if (!upper) return refuse(Field::UpperPrice, kPriceRange);
    std::optional<double> lower = ReadAlarmPrice(lowerPrice);
    if (!lower) return refuse(Field::LowerPrice, kPriceRange);
    std::optional<int> vol = ReadAlarmCount(volume);
    if (!vol) return refuse(Field::Volume, kCountRange);
    std::optional<int> position = ReadAlarmCount(netPosition);
    if (!position) return refuse(Field::NetPosition, kCountRange);
    verdict.entry = MakeAlarmEntry(goods, *upper, *lower, *vol, *position);
    return verdict;
}

}  // namespace qelt
