#pragma once
// The main pane the drawn-line tests place their lines on (header only: it needs the chart
// library, which the test support library does not link).
#include "chart/MainPaneGeometry.h"

namespace qelt::test {

/// Pane 0 of an 800 x 430 chart: bars 6 pixels wide from bar 100 on (L - N), 0.5 per pixel
/// from 200 at the bottom (y 430). Lines are clipped to {0, 30, 740, 430}.
inline MainPaneGeometry SamplePane() {
    MainPaneGeometry g;
    g.pane = {0, 30, 800, 430};
    g.axisX = 740;
    g.barWidth = 6.0f;
    g.lastVisible = 200;  // L - N = 100
    g.visibleCount = 100;
    g.seriesLength = 300;
    g.scale.axisMin = 200.0f;
    g.scale.axisMax = 400.0f;
    g.scale.pricePerPixel = 0.5f;
    g.scale.top = 30;
    g.scale.bottom = 430;
    return g;
}

}  // namespace qelt::test
