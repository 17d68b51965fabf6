#pragma once
/// The rules of the new entry dialog ("设置预警"), without widgets: what its two combos
/// offer and how OK turns the four edits into an entry.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/GoodsKey.h"
#include "data/settings/AlarmFile.h"

namespace qelt {

/// What the new entry dialog offers.
struct AlarmEntryChoices {
    /// The contract of every goods record of the store, in store order.
    std::vector<GoodsKey> records;
    /// The category table's name of each goods number (missing: the number alone).
    std::map<std::string, std::string> names;
    /// The contract selected on the board; the dialog opens on it.
    GoodsKey current;
};

class AlarmEntryModel {
  public:
    /// The four bounded edits, in the order OK checks them.
    enum class Field { UpperPrice, LowerPrice, Volume, NetPosition };

    /// What OK found: an entry to append, or the first field out of range with the
    /// message to show (the dialog stays open with that field focused).
    struct Verdict {
        std::optional<AlarmEntry> entry;
        Field field = Field::UpperPrice;
        std::string message;
    };

    /// The messages of a field that is not a value from 0 to 999999.
    static constexpr const char* kPriceRange = "请输入一个介于 0 和 999999 之间的数字。";
    static constexpr const char* kCountRange = "请输入一个介于 0 和 999999 之间的整数。";
    static constexpr const char* kRangeCaption = "Qelt行情分析系统";

    /// Texts that could not stand in an alarm query (see IsSafeAlarmText) are not offered.
    explicit AlarmEntryModel(const AlarmEntryChoices& choices);

    /// Every distinct goods number, in first-seen order.
    const std::vector<std::string>& GoodsNumbers() const { return m_goods; }
    /// What the goods combo shows of each: "0112 生丝" (the number alone without a name).
    std::vector<std::string> GoodsLabels() const;
    /// The delivery months of one goods number, in first-seen order (none for another).
    std::vector<std::string> MonthsOf(const std::string& goodsNo) const;
    /// The goods and the month the dialog opens on: the contract selected on the board when
    /// it is offered, else the first record's (positions into GoodsNumbers and MonthsOf; -1
    /// when the store is empty).
    int InitialGoods() const { return m_initialGoods; }
    int InitialMonth() const { return m_initialMonth; }

    /// OK: the entry of the contract the two combos name and the four edits (prices as
    /// decimals, volume and net position as integers, each from 0 to 999999).
    static Verdict Accept(const GoodsKey& goods, const std::string& upperPrice, const std::string& lowerPrice,
                          const std::string& volume, const std::string& netPosition);

  private:
    std::vector<std::string> m_goods;
    std::map<std::string, std::string> m_names;
    std::map<std::string, std::vector<std::string>> m_months;
    int m_initialGoods = -1;
    int m_initialMonth = -1;
};

}  // namespace qelt
