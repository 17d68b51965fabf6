#include "chart/DateStrip.h"

#include <algorithm>
#include <array>

#include "common/CivilDate.h"

namespace qelt {
namespace {

bool AllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int Number(std::string_view digits) {
    int value = 0;
    for (char c : digits) value = value * 10 + (c - '0');
    return value;
}

/// Days from 1970-01-01 to the first of the month (the proleptic Gregorian calendar).
std::string_view MonthDigits(const CBarRow& bar) {
    std::string_view date = bar[kBarDate];
    return date.size() >= 6 ? date.substr(4, 2) : std::string_view{};
}

}  // namespace

int WeekdayOf(std::string_view date) {
    if (date.size() != 8 || !AllDigits(date)) return -1;
    const int year = Number(date.substr(0, 4)), month = Number(date.substr(4, 2)),
              day = Number(date.substr(6, 2));
    if (year < 1900 || month < 1 || month > 12) return -1;
    return WeekdayOfDays(DaysFromCivil(year, month, day));
}

std::string BarDateCaption(std::string_view date) {
    static constexpr std::array<const char*, 7> kWeekdays = {"日", "一", "二", "三", "四", "五", "六"};
    const int weekday = WeekdayOf(date);
    if (weekday < 0) return std::string(date);
    std::string caption;
    caption.append(date.substr(0, 4)).append("/").append(date.substr(4, 2)).append("/");
    caption.append(date.substr(6, 2)).append("/").append(kWeekdays[static_cast<std::size_t>(weekday)]);
    return caption;
}

void DrawDateStrip(Canvas& canvas, const Rect& strip, const BarSeries& bars, const MainPaneGeometry& g,
                   const std::string& categoryCode, const KLineStyle& style) {
    const int n = static_cast<int>(bars.size());
    if (n == 0 || !g.Valid()) return;
    const int first = std::max(0, g.lastVisible - g.visibleCount + 1), last = std::min(g.lastVisible, n - 1);
    if (first > last) return;
    canvas.SelectFont(style.text);
    canvas.SetBkMode(BkMode::Transparent);
    canvas.SetTextAlign({HAlign::Left, VAlign::Top});
    canvas.SetTextColour(kRed);
    canvas.SelectPen(style.frame);
    const std::string_view firstDate = bars[static_cast<std::size_t>(first)][kBarDate];
    canvas.TextOut(strip.left, strip.top + 2, std::string(firstDate.substr(0, 4)) + "年");

    const bool mondays = categoryCode == "0001" || categoryCode == "0002";
    std::string_view month = MonthDigits(bars[static_cast<std::size_t>(first)]);
    int lastLabel = 0;
    for (int bar = first; bar <= last; ++bar) {
        const int x = strip.left + static_cast<int>(g.SlotLeft(bar));
        if (x <= 49 || x > g.pane.right) continue;
        const CBarRow& row = bars[static_cast<std::size_t>(bar)];
        if (mondays && WeekdayOf(row[kBarDate]) == 1) {
            canvas.MoveTo(x, strip.top);
            canvas.LineTo(x, strip.top + 8);
        }
        const std::string_view barMonth = MonthDigits(row);
        if (barMonth == month) continue;
        month = barMonth;
        if (x - lastLabel <= 29) continue;
        lastLabel = x;
        canvas.MoveTo(x, strip.top);
        canvas.LineTo(x, strip.bottom - 2);
        canvas.TextOut(x + 2, strip.top + 2, std::string(barMonth));
    }
}

void DrawCursorDate(Canvas& canvas, const Rect& strip, const std::string& caption, int pointerX) {
    if (pointerX < strip.left || pointerX >= strip.right) return;
    canvas.SelectFont(Font{"Arial", 14, 400});
    canvas.SetTextAlign({HAlign::Left, VAlign::Top});
    canvas.SetBkMode(BkMode::Opaque);
    canvas.SetBkColour(kBlue);
    canvas.SetTextColour(kWhite);
    // Near the chart's right edge the date ends there instead of running under the quote panel.
    const int x = std::max(strip.left, std::min(pointerX, strip.right - canvas.TextExtent(caption).cx));
    canvas.TextOut(x, strip.top + 4, caption);
    canvas.SetBkMode(BkMode::Transparent);
}

}  // namespace qelt
