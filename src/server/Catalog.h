#pragma once
/// What the demo exchange trades: its goods categories and the contracts listed on a given
/// day. Category codes are four-digit texts equal to the goods numbers; "0000"-"0009" and
/// "2000" belong to the client's own lists and are never used here, except goods number
/// "0009" for the three index records.
#include <string>
#include <vector>

namespace qelt::server {

struct Category {
    std::string code;      ///< also the goods number of its contracts
    std::string name;      ///< short, so the client's contract names stay readable
    std::string kindFlag;  ///< "1": quoted by continuous trading only
    double basePrice = 0;  ///< price level around which the goods trade, in 万元
    double tick = 1;       ///< price step, in 万元
};

enum class ContractKind { Future, NoMonth, Index };

struct ContractSpec {
    std::string goodsNo;
    std::string dueDate;  ///< YYYYMMDD; " " for goods without delivery month; index name
    ContractKind kind = ContractKind::Future;
    int category = -1;    ///< index into Categories(), -1 for none
    int dueDay = 0;       ///< YYYYMMDD of the delivery (Future only)
    bool onBoard = true;  ///< false: delivered long ago, kept only in the history
    int state = 3;        ///< "-1" not trading, "1" spot month, "2" third month, other > 0
    double basePrice = 0;
    double tick = 1;
};

/// The goods number of the three index records.
inline constexpr const char* kIndexGoodsNo = "0009";

const std::vector<Category>& Categories();

/// Every contract known on trading day `today`: for each category the months from three
/// months back (history only, apart from the current month, shown as not trading) to eight
/// months ahead, extra mid-month deliveries ("05", "15") of the first category, the goods
/// without delivery month and the three indices.
std::vector<ContractSpec> ContractsFor(int today);

/// goods_no immediately followed by due_date: the key of "line" and "real" replies.
inline std::string ContractKey(const ContractSpec& c) { return c.goodsNo + c.dueDate; }

}  // namespace qelt::server
