#include "chart/WindowNavigation.h"

#include <algorithm>

namespace qelt {

void ClampWindowToSeries(SeriesWindow& window, int n) {
    int& last = window.lastVisible;
    window.cursor = std::clamp(window.cursor, last - window.visibleCount, n - 1);
    if (last <= 0 || last >= n) last = n - 1;
}

VisibleExtremes ScanVisibleExtremes(const BarSeries& bars, const SeriesWindow& window) {
    VisibleExtremes extremes;
    const int last = window.lastVisible;
    if (last < 0 || last >= static_cast<int>(bars.size())) return extremes;
    const CBarRow& newest = bars[static_cast<std::size_t>(last)];
    extremes.any = true;
    extremes.highIndex = extremes.lowIndex = last;
    extremes.high = newest.High();
    extremes.low = newest.Low();
    extremes.volumeMax = ClampedInt(newest.Num());
    for (int i = std::max(0, last - window.visibleCount + 1); i <= last; ++i) {
        const CBarRow& bar = bars[static_cast<std::size_t>(i)];
        const double high = bar.High();
        const double low = bar.Low();
        if (high >= extremes.high) {
            extremes.high = high;
            extremes.highIndex = i;
        }
        if (low <= extremes.low) {
            extremes.low = low;
            extremes.lowIndex = i;
        }
        extremes.volumeMax = std::max(extremes.volumeMax, ClampedInt(bar.Num()));
    }
    return extremes;
}

VisibleExtremes FindVisibleExtremes(const BarSeries& bars, SeriesWindow& window) {
    if (bars.empty()) return {};
    ClampWindowToSeries(window, static_cast<int>(bars.size()));
    return ScanVisibleExtremes(bars, window);
}

namespace {

void FitWindow(SeriesWindow& window, int n) {
    if (window.visibleCount > n) {
        window.visibleCount = n;
        window.lastVisible = n - 1;
    }
    if (window.lastVisible - window.visibleCount < 0) window.lastVisible = window.visibleCount - 1;
}

}  // namespace

void ZoomIn(SeriesWindow& window, int n) {
    window.visibleCount = std::max(window.visibleCount / 2, 5);
    FitWindow(window, n);
}

void ZoomOut(SeriesWindow& window, int n) {
    // Doubling stops well before an int overflows: N never exceeds n after the fit.
    window.visibleCount = window.visibleCount > (1 << 29) ? (1 << 30) : 2 * window.visibleCount;
    FitWindow(window, n);
}

void CursorBack(SeriesWindow& window, int n) {
    window.cursor = std::max(window.cursor - 1, 0);
    if (window.cursor <= window.lastVisible - window.visibleCount && window.visibleCount < n)
        window.lastVisible = std::max(window.lastVisible - 1, window.visibleCount - 1);
}

void CursorForward(SeriesWindow& window, int n) {
    window.cursor = std::min(window.cursor + 1, n - 1);
    if (window.lastVisible < window.cursor) window.lastVisible = window.cursor;
}

}  // namespace qelt
