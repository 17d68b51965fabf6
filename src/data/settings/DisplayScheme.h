#pragma once
/// The colours a view paints with. The host hands the set to every paint: the screen set to
/// the window, the print set to the printer and the print preview; a view derives its pens
/// from the set it is given, never from one it kept.
#include <array>

#include "gfx/GfxTypes.h"

namespace qelt {

struct DisplayScheme {
    Colour background = 0;
    Colour title = 0;
    /// Line colours 1 to 5 (index 0 to 4): 1 is the quote views' text colour, 5 their name colour.
    std::array<Colour, 5> line{};
    Colour header = 0;
    Colour level = 0;  ///< unchanged prices
    /// The band behind the board's selected row: dark enough on the screen that every text
    /// colour of a row (rise red included) stays readable on it.
    Colour selection = 0;
    Pen linePen;  ///< the shared 1-pixel solid pen

    static DisplayScheme Screen();
    static DisplayScheme Print();
    friend bool operator==(const DisplayScheme&, const DisplayScheme&) = default;
};

inline DisplayScheme DisplayScheme::Screen() {
    DisplayScheme s;
    s.background = Rgb(0, 0, 0);
    s.title = Rgb(84, 220, 220);
    s.line = {Rgb(255, 255, 255), Rgb(255, 255, 0), Rgb(255, 0, 255), Rgb(0, 255, 255), Rgb(240, 248, 136)};
    s.header = Rgb(192, 192, 192);
    s.level = Rgb(255, 255, 255);
    s.selection = Rgb(36, 36, 110);
    s.linePen = Pen::Solid(1, Rgb(255, 255, 255));
    return s;
}

inline DisplayScheme DisplayScheme::Print() {
    DisplayScheme s;
    s.background = Rgb(255, 255, 255);
    s.title = Rgb(150, 150, 150);
    s.line = {Rgb(0, 0, 0), Rgb(155, 155, 0), Rgb(255, 0, 255), Rgb(100, 255, 255), Rgb(0, 0, 0)};
    s.header = Rgb(0, 0, 0);
    s.level = Rgb(150, 150, 150);
    s.selection = Rgb(210, 210, 240);
    s.linePen = Pen::Solid(1, Rgb(0, 0, 0));
    return s;
}

}  // namespace qelt
