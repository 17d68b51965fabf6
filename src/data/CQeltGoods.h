#pragma once
/// `CQeltGoods`: one goods in one delivery month (one contract) with its quote fields, its
/// day, week and month series, its trades, its point-and-figure data and its drawn lines.
///
/// Quote fields are texts exactly as received (prices already reformatted to two decimals
/// by the store); numbers are read from them where needed. Copying copies everything: the
/// store hands copies to the views.
#include <cstddef>
#include <string>
#include <vector>

#include "common/GoodsKey.h"
#include "data/Bar.h"
#include "data/CMyLine.h"

namespace qelt {

/// One trade of a "real" reply, its fields as received; the 8th (index 7) is its identity.
using TradeRow = std::vector<std::string>;

/// Lists a goods record can belong to, as the "line" request and reply name them.
inline constexpr const char* kTagMain = "12";
inline constexpr const char* kTagDelivery = "0";
inline constexpr const char* kTagSpotMonth = "1";
inline constexpr const char* kTagThirdMonth = "2";
inline constexpr const char* kTagContract = "3";

class CQeltGoods {
  public:
    CQeltGoods() = default;
    CQeltGoods(const CQeltGoods&) = default;
    CQeltGoods& operator=(const CQeltGoods&) = default;
    CQeltGoods(CQeltGoods&&) noexcept = default;
    CQeltGoods& operator=(CQeltGoods&&) noexcept = default;
    virtual ~CQeltGoods() = default;

    /// Set until the series has been requested: the first update of an empty series sends
    /// the "line" request and clears it.
    bool seriesWanted = true;
    /// "12" main list, "0" delivery month, "1" spot month, "2" third month, "3" contract.
    std::string listTag = kTagMain;
    /// Index of the corresponding record in the main goods list.
    int position = 0;
    std::string name;
    std::string changePercent;  ///< "%.2f", "0.00" when unchanged
    std::string change;         ///< "%.2f", "0.00" when unchanged

    // Quote fields, in record order (goods_no .. pre_newest).
    std::string goods_no;
    std::string due_date;  ///< contract months begin with "2"; index records hold the index name
    std::string last_section;
    std::string last_sale_num;
    std::string last_invest_num;
    std::string all_num;
    std::string null_num;
    std::string pure_num;
    std::string lowest_price;
    std::string highest_price;
    std::string open_price;
    std::string last_price;
    std::string price;
    std::string pre_close;
    std::string last_sale_input;
    std::string last_invest_input;
    std::string state;  ///< "-1" not trading, > 0 active; "1"/"2" spot/third month in the contract list
    std::string avg_price;
    std::string pre_avg_price;
    std::string last_date;  ///< date of the latest quote, the bar date of live updates
    std::string invest_price;
    std::string invest_input;
    std::string sale_price;
    std::string sale_input;
    std::string newest_price;  ///< continuous-trading price
    std::string all_num_d;     ///< continuous-trading volume
    std::string spare;         ///< never filled by the store
    std::string pre_newest;    ///< change base of flagged goods

    /// The goods' category has kind flag 1: quoted by newest_price and all_num_d.
    bool flagged = false;
    /// 1 or 0, sent with the "line" request; the K-line view flips it.
    unsigned char coverMode = 1;

    BarSeries series;              ///< day bars, oldest first
    BarSeries weekSeries;          ///< built from the day bars on demand
    BarSeries monthSeries;         ///< built from the day bars on demand
    std::vector<TradeRow> trades;  ///< today's trades, from "real" replies with an empty selector
    BarSeries oxColumns;           ///< point-and-figure columns
    std::vector<int> oxBoxes;      ///< per column: +n rising X boxes, -n falling O boxes
    std::vector<CMyLine> lines;    ///< user drawings on this goods

    /// The contract this record holds: goods_no and due_date.
    GoodsKey Key() const { return {goods_no, due_date}; }
    /// True when this record holds the contract `key` names (both texts exactly as they are).
    bool Matches(const GoodsKey& key) const { return goods_no == key.goodsNo && due_date == key.dueDate; }
};

/// Number of fields of a "list" record (also the number of quote fields it carries).
inline constexpr std::size_t kListFields = 27;

/// The quote field that list field `number` (1..27) is stored in.
std::string CQeltGoods::*ListField(std::size_t number);
/// True for the eight list fields stored as "%.2f" of their value.
bool IsListPriceField(std::size_t number);

/// Copies list fields `first`..`last` (1-based, inclusive) from `from` to `to`.
void CopyListFields(const CQeltGoods& from, CQeltGoods& to, std::size_t first, std::size_t last);

/// Copies every quote field from goods_no to pre_newest (including the spare text).
void CopyQuoteFields(const CQeltGoods& from, CQeltGoods& to);

}  // namespace qelt
