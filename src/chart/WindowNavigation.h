#pragma once
/// Moving the K-line view's visible window and cursor over the displayed series: zoom, the
/// cursor keys, and the extremes of the visible bars that the price scale starts from.
/// Every rule keeps L, N and the cursor such that nothing reads outside the series.
#include "chart/SeriesWindow.h"
#include "data/Bar.h"

namespace qelt {

/// The extremes of the visible bars.
struct VisibleExtremes {
    bool any = false;  ///< false for an empty series: no scale, no labels
    int highIndex = 0;
    int lowIndex = 0;
    double high = 0.0;
    double low = 0.0;
    int volumeMax = 0;
};

/// Before each paint: the cursor is clamped into [L - N, n - 1]; an L of 0 or less becomes
/// n - 1 (an L beyond the series too); then, starting from the bar at L, the bars L - N + 1 ..
/// L (from bar 0 at the least) give the largest highest_price and the smallest lowest_price
/// (ties take the later bar) and the largest num. Nothing for an empty series.
VisibleExtremes FindVisibleExtremes(const BarSeries& bars, SeriesWindow& window);
/// The two steps of FindVisibleExtremes, for a caller that keeps the extremes while the
/// bars and the window stay as they were: the clamps (n > 0), then the scan of the bars.
void ClampWindowToSeries(SeriesWindow& window, int n);
VisibleExtremes ScanVisibleExtremes(const BarSeries& bars, const SeriesWindow& window);

/// 放大 (Up): N / 2, at least 5; N beyond n: N = n and L = n - 1; then L - N < 0: L = N - 1.
void ZoomIn(SeriesWindow& window, int n);
/// 缩小 (Down): 2 N; N beyond n: N = n and L = n - 1; then L - N < 0: L = N - 1.
void ZoomOut(SeriesWindow& window, int n);
/// 前移 (Left): the cursor one bar back, not below 0; when it reaches L - N and not every bar
/// is on show, the window follows one bar, L not below N - 1.
void CursorBack(SeriesWindow& window, int n);
/// 后移 (Right): the cursor one bar on, not beyond n - 1; the window follows it (L = cursor).
void CursorForward(SeriesWindow& window, int n);

}  // namespace qelt
