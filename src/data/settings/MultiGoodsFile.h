#pragma once
/// mutiview.ini: the contracts the multi-goods view's four cells show, as the user chose them
/// with "更换商品" (top-left, top-right, bottom-left, bottom-right). One line per cell,
/// goods_no "|" due_date, CR LF, GBK; an empty line leaves the cell to the default (the
/// store's goods in order). The two texts are kept exactly (a blank delivery month " " stays
/// " "). Read whole, rewritten whole and atomically; the client keeps the choices for the run
/// in ViewSettings.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "common/GoodsKey.h"

namespace qelt {

inline constexpr std::size_t kMultiGoodsCells = 4;
/// Four short lines; anything much bigger is not ours.
inline constexpr std::size_t kMaxMultiGoodsFileBytes = 4096;
/// A cell's contract; a cell without a goods number is left to the default.
using MultiGoodsChoices = std::array<GoodsKey, kMultiGoodsCells>;

/// The cells' choices from the file's text (UTF-8): lines beyond the fourth, lines without a
/// goods number and fields too long to be a goods number or a delivery month are ignored.
MultiGoodsChoices ParseMultiGoodsChoices(std::string_view text);
std::string FormatMultiGoodsChoices(const MultiGoodsChoices& choices);

/// The choices in "<programDirectory>mutiview.ini"; all empty without the file.
MultiGoodsChoices ReadMultiGoodsChoices(const std::string& programDirectory);
/// False when the file could not be written (the old one stays as it was).
bool WriteMultiGoodsChoices(const std::string& programDirectory, const MultiGoodsChoices& choices);

}  // namespace qelt
