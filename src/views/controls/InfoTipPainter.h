#pragma once
/// `CInfoTip`'s drawing: layout 1, the K-line view's bar tip (caption band and lines);
/// layout 2, the dark bar-data panel with labels and values coloured against the open; and
/// layouts 3 and 4, the intraday chart's and the trade list's record tip (date, section or
/// time, price, change against the comparison price, volume, position change, dynamic-board
/// price). The window itself only hosts this and can be dragged anywhere by its client area.
#include <string>
#include <vector>

#include "gfx/Canvas.h"

namespace qelt {

/// The tip's own texts for layout 2 (one bar).
struct InfoTipBar {
    std::string date;  ///< "YYYYMMDD" or already "YYYY-MM-DD"
    std::string open;
    std::string close;
    std::string highest;
    std::string lowest;
    std::string average;
    std::string volume;
    std::string pureNum;
    std::string positionChange;
    std::string nullNum;
    friend bool operator==(const InfoTipBar&, const InfoTipBar&) = default;
};

/// The tip's own texts for layouts 3 and 4 (one trade record), as the owner puts them.
struct InfoTipRecord {
    std::string date;     ///< "YYYYMMDD"; empty outside the records
    std::string section;  ///< section number, or a time (then labelled "时 间")
    std::string price;
    std::string reference;  ///< the comparison price the price is coloured against
    std::string volume;
    std::string positionChange;
    std::string dynamicPrice;
    friend bool operator==(const InfoTipRecord&, const InfoTipRecord&) = default;
};

struct InfoTipContent {
    int layout = 1;
    std::string caption;             ///< layout 1
    std::vector<std::string> lines;  ///< layout 1
    InfoTipBar bar;                  ///< layout 2
    InfoTipRecord record;            ///< layouts 3 and 4
    friend bool operator==(const InfoTipContent&, const InfoTipContent&) = default;
};

inline constexpr Colour kTipRise = 0x3232FF;
inline constexpr Colour kTipFall = 0x00E600;

/// The tips' colour of a value against its reference: higher red, lower green, equal white.
inline Colour TipColourAgainst(double value, double reference) {
    if (value > reference) return kTipRise;
    if (value < reference) return kTipFall;
    return 0xFFFFFF;
}
inline constexpr Colour kTipLabel = 0xC0C0C0;
inline constexpr Colour kTipCaptionBand = 0x96643C;

/// The size layout 1 takes: `least`, or more where its caption or a line (a six-digit
/// price) needs it, measured in the tip's font on `measure`, whose font is left as it was.
Size BarTipSize(Canvas& measure, const InfoTipContent& content, Size least);

/// Paints the tip into a client of `width` × `height`.
void PaintInfoTip(Canvas& canvas, const InfoTipContent& content, int width, int height);

/// The record tip's size (layouts 3 and 4).
inline constexpr Size kRecordTipSize{58, 270};

/// "YYYY-MM-DD" for an eight-digit date; other texts unchanged.
std::string DashedDate(const std::string& date);

}  // namespace qelt
