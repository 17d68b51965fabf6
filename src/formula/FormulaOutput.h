#pragma once
/// What a formula draws: its output lines, each with the name its title shows and the style
/// its attributes give.
#include <string>

#include "gfx/GfxTypes.h"

namespace qelt {

enum class FormulaStick : unsigned char {
    None,         ///< a line through the values
    Stick,        ///< STICK: a vertical line from 0 to the value at each bar
    ColourStick,  ///< COLORSTICK: as Stick, in the rise colour where the value is >= 0, else the fall colour
    VolumeStick,  ///< VOLSTICK: a bar from 0 in the colour of the bar's candle (rise or fall)
};

struct FormulaOutputStyle {
    /// A colour attribute was given: draw in `colour` (0x00BBGGRR). Otherwise draw in the
    /// pane's line colour `defaultSlot` + 1 (slots 0..4: the outputs in order, then again).
    bool hasColour = false;
    Colour colour = 0;
    int defaultSlot = 0;
    int width = 1;        ///< LINETHICK1..4: the pen width in pixels
    bool dotted = false;  ///< DOTLINE
    FormulaStick stick = FormulaStick::None;
    bool noDraw = false;  ///< NODRAW: not drawn, still shown in the title

    friend bool operator==(const FormulaOutputStyle&, const FormulaOutputStyle&) = default;
};

struct FormulaOutput {
    /// As the title and qelt-ta show it: the name as spelled in its statement ("短线", "Dif"),
    /// or "OUT1", "OUT2", ... for the unnamed outputs by their place among them.
    std::string name;
    FormulaOutputStyle style;

    friend bool operator==(const FormulaOutput&, const FormulaOutput&) = default;
};

}  // namespace qelt
