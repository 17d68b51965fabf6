#include "views/kline/TradeMarks.h"

#include <algorithm>

#include "analysis/PeriodBars.h"
#include "common/Numbers.h"

namespace qelt {
namespace {

Colour EntryColour(const SystemTrade& trade) {
    return trade.side == TradeSide::Long ? kLongMarkColour : kShortMarkColour;
}

/// A long's arrow points up at the bar from below its low; a short's down from above its high.
void DrawEntryArrow(Canvas& canvas, const SystemTrade& trade, const CBarRow& bar, int x,
                    const MainPaneGeometry& geometry) {
    const bool up = trade.side == TradeSide::Long;
    const Colour colour = EntryColour(trade);
    const int sign = up ? 1 : -1;
    const double wick = LeadingDouble(bar[up ? kBarLow : kBarHigh]);
    const int tip = geometry.PriceToY(wick) + sign * kMarkGap;
    const int base = tip + sign * 7, end = tip + sign * kArrowHeight;
    canvas.SelectPen(Pen::Solid(1, colour));
    canvas.SelectBrush(Brush::Solid(colour));
    canvas.Polygon({{x, tip}, {x - 6, base}, {x + 6, base}});
    canvas.FillRect({x - 1, std::min(base, end), x + 2, std::max(base, end) + 1}, colour);
    canvas.SetTextColour(colour);
    const std::string price = FormatFixed2(trade.entryPrice);
    // Centred under (or over) the arrow, moved in from the plot's edges so it reads whole.
    const int half = canvas.TextExtent(price).cx / 2;
    const int textX =
        std::clamp(x, geometry.pane.left + half, std::max(geometry.pane.left + half, geometry.axisX - half));
    canvas.SetTextAlign({HAlign::Centre, up ? VAlign::Top : VAlign::Bottom});
    canvas.SetBkMode(BkMode::Opaque);
    canvas.TextOut(textX, end + sign, price);
}

void DrawExitMark(Canvas& canvas, const SystemTrade& trade, int x, const MainPaneGeometry& geometry) {
    const int y = geometry.PriceToY(trade.exitPrice);
    canvas.SelectPen(Pen::Solid(1, kExitMarkColour));
    canvas.SelectBrush(Brush::Solid(kExitMarkColour));
    canvas.Polygon({{x, y - 5}, {x + 5, y}, {x, y + 5}, {x - 5, y}});
    canvas.SetTextColour(kExitMarkColour);
    const std::string price = FormatFixed2(trade.exitPrice);
    // Right of the mark, or left of it where the price axis would cut it.
    const bool left = x + 6 + canvas.TextExtent(price).cx > geometry.axisX;
    canvas.SetTextAlign({left ? HAlign::Right : HAlign::Left, VAlign::Bottom});
    canvas.SetBkMode(BkMode::Opaque);
    canvas.TextOut(left ? x - 6 : x + 6, y - 2, price);
}

}  // namespace

int MarkBar(const BarSeries& bars, int bar, int date) {
    const int n = static_cast<int>(bars.size());
    if (bar >= 0 && bar < n && BarDateNumber(bars[static_cast<std::size_t>(bar)]) == date) return bar;
    for (int i = 0; i < n; ++i)
        if (BarDateNumber(bars[static_cast<std::size_t>(i)]) == date) return i;
    return -1;
}

void DrawTradeMarks(Canvas& canvas, const TradeMarks& marks, const BarSeries& bars,
                    const MainPaneGeometry& geometry, const Font& font, Colour background) {
    if (!geometry.Valid()) return;
    const int first = geometry.lastVisible - geometry.visibleCount + 1, last = geometry.lastVisible;
    const BkMode mode = canvas.CurrentBkMode();
    const Colour back = canvas.BkColour();
    canvas.SelectFont(font);
    // The prices on the chart's background: a moving average through one leaves it readable.
    canvas.SetBkColour(background);
    // The bars of each trade on show; the lines first, so that no line crosses a mark.
    struct Shown {
        const SystemTrade* trade;
        int entry, exit;
    };
    std::vector<Shown> shown;
    for (const SystemTrade& trade : marks.trades) {
        const int entry = MarkBar(bars, trade.entryBar, trade.entryDate);
        if (entry < 0) continue;
        const int exit = trade.IsOpen() ? -1 : MarkBar(bars, trade.exitBar, trade.exitDate);
        // A trade wholly left or right of the window has nothing on show.
        if (std::max(entry, exit) >= first && entry <= last) shown.push_back({&trade, entry, exit});
    }
    canvas.SetBkMode(BkMode::Transparent);
    for (const Shown& s : shown) {
        if (s.exit < 0) continue;
        canvas.SelectPen(Pen{PenStyle::Dot, 1, EntryColour(*s.trade), {}, false});
        canvas.MoveTo(geometry.BarCentreX(s.entry), geometry.PriceToY(s.trade->entryPrice));
        canvas.LineTo(geometry.BarCentreX(s.exit), geometry.PriceToY(s.trade->exitPrice));
    }
    for (const Shown& s : shown) {
        if (s.exit >= first && s.exit <= last)
            DrawExitMark(canvas, *s.trade, geometry.BarCentreX(s.exit), geometry);
        if (s.entry >= first && s.entry <= last)
            DrawEntryArrow(canvas, *s.trade, bars[static_cast<std::size_t>(s.entry)],
                           geometry.BarCentreX(s.entry), geometry);
    }
    canvas.SetBkMode(mode);
    canvas.SetBkColour(back);
}

}  // namespace qelt
