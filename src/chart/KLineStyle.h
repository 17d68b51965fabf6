#pragma once
/// The K-line view's colours, pens and fonts. The scheme's colours (the screen's or the
/// paper's, whichever the paint is for) and the settings' pens are taken afresh at every
/// paint; the chart's own colours are fixed.
#include <array>

#include "data/settings/CQeltCFG.h"
#include "data/settings/DisplayScheme.h"
#include "gfx/GfxTypes.h"

namespace qelt {

/// Fixed colours of the chart (0x00BBGGRR).
inline constexpr Colour kRed = 0x0000FF;
inline constexpr Colour kBlue = 0xFF0000;
inline constexpr Colour kWhite = 0xFFFFFF;
inline constexpr Colour kRisingBar = 0x3232FF;
inline constexpr Colour kFallingBar = 0xFCFC54;
inline constexpr Colour kCloseLine = 0xF4E202;  ///< the delivery-month list's close line
inline constexpr Colour kAxisLabel = kRed;
inline constexpr Colour kPanelLabel = 0xC0C0C0;
inline constexpr Colour kPanelRise = 0x3232FF;
inline constexpr Colour kPanelFall = 0x00E600;

struct KLineStyle {
    DisplayScheme scheme = DisplayScheme::Screen();
    Pen grid;  ///< the settings' dotted red pen (1 on, 5 off)
    Pen axis;  ///< the value axis lines and ticks (solid red)
    Pen frame = Pen::Solid(1, kRed);
    Pen border;  ///< the indicator panes' own separators
    Pen rising = Pen::Solid(1, kRisingBar);
    Pen falling = Pen::Solid(1, kFallingBar);
    Pen closeLine = Pen::Solid(2, kCloseLine);
    Font title{"宋体", 16, 400};  ///< "商品:..."
    Font text{"宋体", 12, 400};   ///< labels, pane titles, the quote panel

    /// The paint's scheme and the settings' pens, as a paint begins.
    static KLineStyle FromSettings(const CQeltCFG& settings, const DisplayScheme& scheme);
};

inline KLineStyle KLineStyle::FromSettings(const CQeltCFG& settings, const DisplayScheme& scheme) {
    KLineStyle style;
    style.scheme = scheme;
    const auto& pens = settings.Pens();
    style.grid = pens[0];
    style.axis = pens[2];
    style.border = pens[4];
    return style;
}

}  // namespace qelt
