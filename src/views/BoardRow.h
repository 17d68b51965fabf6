#pragma once
/// One row of the quote board: the 25 texts built from a goods record, the three sort keys,
/// and the rule that turns a column title into the cell's text and colour.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "data/CQeltGoods.h"
#include "views/BoardColours.h"

namespace qelt {

/// Indexes of the row texts.
enum RowText : int {
    kRowName = 0,
    kRowDueDate,
    kRowChangePercent,
    kRowPrice,
    kRowChange,
    kRowLastInvestInput,
    kRowLastSaleInput,
    kRowPureNum,
    kRowNullNum,
    kRowLastPrice,
    kRowSectionCount,
    kRowAllNum,
    kRowLowest,
    kRowHighest,
    kRowOpen,
    kRowGoodsNo,
    kRowPreClose,
    kRowState,
    kRowNewest,
    kRowInvestPrice,
    kRowSalePrice,
    kRowInvestInput,
    kRowSaleInput,
    kRowAllNumD,
    kRowSpare,
    kRowTexts
};

using RowTexts = std::array<std::string, kRowTexts>;

/// Sort keys: 1 by contract (goods_no followed by due_date read as a number, "0101" and
/// "20070325" give 10120070325), 2 by price, 3 by change percent. Held in double precision:
/// single precision cannot tell neighbouring delivery months of one goods apart.
inline constexpr int kSortByContract = 1;
inline constexpr int kSortByPrice = 2;
inline constexpr int kSortByPercent = 3;

struct BoardRow {
    RowTexts texts;
    std::array<double, 3> keys{};  ///< index key - 1
    bool flagged = false;          ///< the goods' category has kind flag 1
};

/// Builds the row texts and keys of one goods record.
BoardRow BuildBoardRow(const CQeltGoods& goods, bool flagged);

struct Cell {
    std::string text;
    Colour colour = 0;
    friend bool operator==(const Cell&, const Cell&) = default;
};

/// What "交货月" shows for an index record (a goods without delivery months).
inline constexpr const char* kIndexMonthText = "指数";

/// The cell of `title` for `row` shown at display position `displayPos` (0 = top), in the
/// colour set `colours`; nothing for a title without cell content.
std::optional<Cell> CellFor(std::string_view title, const BoardRow& row, int displayPos,
                            const BoardColourSet& colours);

}  // namespace qelt
