#include "chart/MinuteStrip.h"

#include <algorithm>

#include "chart/DateStrip.h"

namespace qelt {
namespace {

constexpr int kLabelRoom = 40;

std::string MonthDay(const CBarRow& bar) {
    const std::string_view date = bar[kBarDate];
    if (date.size() < 8) return std::string(date);
    return std::string(date.substr(4, 2)) + "/" + std::string(date.substr(6, 2));
}

bool StartsHalfHour(int hhmm) { return hhmm % 100 == 0 || hhmm % 100 == 30; }

}  // namespace

std::string MinuteClockText(int hhmm) {
    const int hours = hhmm / 100, minutes = hhmm % 100;
    std::string text;
    text += static_cast<char>('0' + hours / 10 % 10);
    text += static_cast<char>('0' + hours % 10);
    text += ':';
    text += static_cast<char>('0' + minutes / 10 % 10);
    text += static_cast<char>('0' + minutes % 10);
    return text;
}

std::string BarCaption(const CBarRow& bar) {
    std::string caption = BarDateCaption(bar[kBarDate]);
    if (bar.Time() > 0) caption += " " + MinuteClockText(bar.Time());
    return caption;
}

void DrawMinuteStrip(Canvas& canvas, const Rect& strip, const BarSeries& bars, const MainPaneGeometry& g,
                     const KLineStyle& style) {
    const int n = static_cast<int>(bars.size());
    if (n == 0 || !g.Valid()) return;
    const int first = std::max(0, g.lastVisible - g.visibleCount + 1), last = std::min(g.lastVisible, n - 1);
    if (first > last) return;
    canvas.SelectFont(style.text);
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SetTextAlign({HAlign::Left, VAlign::Top});
    canvas.SetTextColour(kRed);
    canvas.SelectPen(style.frame);
    canvas.TextOut(strip.left, strip.top + 2, MonthDay(bars[static_cast<std::size_t>(first)]));
    int lastLabel = strip.left;
    for (int bar = first; bar <= last; ++bar) {
        const int x = strip.left + static_cast<int>(g.SlotLeft(bar));
        if (x <= 49 || x > g.pane.right) continue;
        const CBarRow& row = bars[static_cast<std::size_t>(bar)];
        const bool newDay = bar > 0 && row.Date() != bars[static_cast<std::size_t>(bar - 1)].Date();
        const bool newTime = !newDay && (StartsHalfHour(row.Time()) || row.Time() == 1330) && bar > 0 &&
                             bars[static_cast<std::size_t>(bar - 1)].Time() != row.Time();
        if (!newDay && !newTime) continue;
        canvas.MoveTo(x, strip.top);
        canvas.LineTo(x, newDay ? strip.bottom - 2 : strip.top + 8);
        if (x - lastLabel < kLabelRoom) continue;
        lastLabel = x;
        canvas.TextOut(x + 2, strip.top + 2, newDay ? MonthDay(row) : MinuteClockText(row.Time()));
    }
}

}  // namespace qelt
