#pragma once
/// `CInfoTip`'s drawing: layout 1, the K-line view's bar tip (caption band and lines), and
/// layout 2, the dark bar-data panel with labels and values coloured against the open.
/// The window itself only hosts this and can be dragged anywhere by its client area.
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

struct InfoTipContent {
    int layout = 1;
    std::string caption;             ///< layout 1
    std::vector<std::string> lines;  ///< layout 1
    InfoTipBar bar;                  ///< layout 2
    friend bool operator==(const InfoTipContent&, const InfoTipContent&) = default;
};

inline constexpr Colour kTipRise = 0x3232FF;
inline constexpr Colour kTipFall = 0x00E600;
inline constexpr Colour kTipLabel = 0xC0C0C0;
inline constexpr Colour kTipCaptionBand = 0x96643C;

/// Paints the tip into a client of `width` × `height`.
void PaintInfoTip(Canvas& canvas, const InfoTipContent& content, int width, int height);

/// "YYYY-MM-DD" for an eight-digit date; other texts unchanged.
std::string DashedDate(const std::string& date);

}  // namespace qelt
