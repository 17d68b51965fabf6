#pragma once
/// The entries of the display colour scheme the quote board paints with, and the board's
/// fixed colours. The board takes them from the scheme each paint is given (the screen's, or
/// the paper's when it prints).
#include "data/settings/DisplayScheme.h"
#include "gfx/GfxTypes.h"

namespace qelt {

struct BoardColourSet {
    Colour background = 0;
    Colour name = 0;    ///< "商品名称", "交货月"
    Colour header = 0;  ///< header titles, "编号"
    Colour level = 0;   ///< unchanged prices, "昨收", order-book columns
    /// The placeholder "--  ": line colour 1, the quote views' text colour (white on the
    /// screen, black on paper, where white would not show).
    Colour text = 0;
    Colour selection = 0;  ///< the band behind the selected row
    friend bool operator==(const BoardColourSet&, const BoardColourSet&) = default;
};

/// The board's entries of a scheme: background, line colour 5 for names, header, level,
/// line colour 1 for the placeholder, and the selection band.
inline BoardColourSet BoardColoursOf(const DisplayScheme& scheme) {
    return BoardColourSet{scheme.background, scheme.line[4], scheme.header,
                          scheme.level,      scheme.line[0], scheme.selection};
}

inline constexpr Colour kRiseColour = Rgb(255, 50, 50);
inline constexpr Colour kFallColour = Rgb(0, 230, 0);
/// Every quote while the connection is lost and being tried again: frozen prices must not
/// look live. (A mid grey: readable on the black screen and on white paper alike.)
inline constexpr Colour kStaleColour = Rgb(128, 128, 128);
/// The text of a cell whose value is hidden (goods not trading, value zero).
inline constexpr const char* kPlaceholder = "--  ";

}  // namespace qelt
