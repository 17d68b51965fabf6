#include "app/AlarmEntryModel.h"

#include "app/AlarmRules.h"

namespace qelt {

AlarmEntryModel::AlarmEntryModel(const std::vector<std::pair<std::string, std::string>>& records) {
    auto [goods, months] = DistinctGoodsAndMonths(records);
    for (std::string& g : goods)
        if (IsSafeAlarmText(g)) m_goods.push_back(std::move(g));
    for (std::string& m : months)
        if (IsSafeAlarmText(m)) m_months.push_back(std::move(m));
}

AlarmEntryModel::Verdict AlarmEntryModel::Accept(const std::string& goodsNo, const std::string& dueDate,
                                                 const std::string& upperPrice, const std::string& lowerPrice,
                                                 const std::string& volume, const std::string& netPosition) {
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
    verdict.entry = MakeAlarmEntry(goodsNo, dueDate, *upper, *lower, *vol, *position);
    return verdict;
}

}  // namespace qelt
