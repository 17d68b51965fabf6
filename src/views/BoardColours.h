#pragma once
/// The four entries of the display colour scheme the quote board paints with, in their
/// screen and print sets, and the board's fixed colours. The settings object owns the
/// scheme; the application copies it into this struct when it creates the board.
#include "gfx/GfxTypes.h"

namespace qelt {

struct BoardColourSet {
    Colour background = 0;
    Colour name = 0;    ///< "商品名称", "交货月"
    Colour header = 0;  ///< header titles, "编号"
    Colour level = 0;   ///< unchanged prices, "昨收", order-book columns
    friend bool operator==(const BoardColourSet&, const BoardColourSet&) = default;
};

struct BoardColours {
    BoardColourSet screen{Rgb(0, 0, 0), Rgb(240, 248, 136), Rgb(192, 192, 192), Rgb(255, 255, 255)};
    BoardColourSet print{Rgb(255, 255, 255), Rgb(0, 0, 0), Rgb(0, 0, 0), Rgb(150, 150, 150)};
};

inline constexpr Colour kRiseColour = Rgb(255, 50, 50);
inline constexpr Colour kFallColour = Rgb(0, 230, 0);
inline constexpr Colour kPlaceholderColour = Rgb(255, 255, 255);
inline constexpr Colour kSelectionColour = Rgb(128, 128, 225);
/// The text of a cell whose value is hidden (goods not trading, value zero).
inline constexpr const char* kPlaceholder = "--  ";

}  // namespace qelt
