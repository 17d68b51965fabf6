#pragma once
/// The rules of the new entry dialog ("设置预警"), without widgets: what its two combos
/// offer and how OK turns the four edits into an entry.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "data/settings/AlarmFile.h"

namespace qelt {

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

    /// `records`: goods number and delivery month of every goods record of the store, in
    /// store order. Texts that could not stand in an alarm query (see IsSafeAlarmText) are
    /// not offered.
    explicit AlarmEntryModel(const std::vector<std::pair<std::string, std::string>>& records);

    /// Every distinct goods number / delivery month, in first-seen order; the first one is
    /// selected when the dialog opens (none when the store is empty).
    const std::vector<std::string>& GoodsNumbers() const { return m_goods; }
    const std::vector<std::string>& DeliveryMonths() const { return m_months; }

    /// OK: the entry of the two combo texts and the four edits (prices as decimals,
    /// volume and net position as integers, each from 0 to 999999).
    static Verdict Accept(const std::string& goodsNo, const std::string& dueDate,
                          const std::string& upperPrice, const std::string& lowerPrice,
                          const std::string& volume, const std::string& netPosition);

  private:
    std::vector<std::string> m_goods;
    std::vector<std::string> m_months;
};

}  // namespace qelt
