#pragma once
/// `CDlgTip`'s drawing: the K-line view's data tip beside the crosshair, one bar's date,
/// prices, volume and positions on a dark panel, coloured against the bar's open.
/// Layout 2 (ordinary goods, 400 pixels high) has the 涨跌 and 涨幅 rows; layout 1 (goods of
/// kind-1 categories, 330 pixels high) has not. The tip itself is not draggable and passes
/// clicks on.
#include <string>

#include "gfx/Canvas.h"
#include "views/controls/InfoTipPainter.h"

namespace qelt {

inline constexpr int kDataTipWidth = 85;
inline constexpr int kDataTipHeightLayout1 = 330;
inline constexpr int kDataTipHeightLayout2 = 400;

struct DataTipContent {
    int layout = 2;
    std::string goodsName;
    InfoTipBar bar;
    /// Today's bar of goods without delivery months: 涨跌 and 涨幅 show the live quote's
    /// change texts instead of close - open.
    bool today = false;
    std::string liveChange;
    std::string liveChangePercent;
    /// A minute bar's time "HH:MM", shown after the date's label; empty on day bars.
    std::string time;
    friend bool operator==(const DataTipContent&, const DataTipContent&) = default;
};

/// The width the tip takes: 85 pixels, or more when a text (a six-digit price in a wide
/// font) needs it, measured in the tip's font on `measure`, whose font is left as it was.
int DataTipWidth(Canvas& measure, const DataTipContent& content);

/// Fill 0x1E1E1E; a red frame along the edges (right and bottom 2 pixels in); labels in
/// 0xC0C0C0, 宋体 12, at x 8 (the date's at 20) with their values 16 pixels below at x 20
/// (the date at x 6, as YYYY-MM-DD). Prices higher than the open in 0x3232FF, equal white,
/// lower 0x00E600; 涨跌, 涨幅 and 均价 by their sign; volumes and positions in the label grey.
void PaintDataTip(Canvas& canvas, const DataTipContent& content, int width, int height);

}  // namespace qelt
