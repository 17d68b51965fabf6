#pragma once
// Drawing one pane on a recording canvas with recognisable pens.
#include <algorithm>
#include <string>
#include <vector>

#include "TestBars.h"
#include "gfx/RecordingCanvas.h"
#include "indicators/IndicatorPane.h"

namespace qelt::test {

struct PaneDrawing {
    DisplayScheme scheme = DisplayScheme::Screen();
    PaneStyle style;
    IndicatorParameters table;
    RecordingCanvas canvas{800, 600};
    Rect pane{0, 100, 660, 300};  // plot height 180, axis column from 600
    float barWidth = 6.0f;
    int cursor = -1;
    Point mouse{-1, -1};
    int chartRight = 660;

    PaneDrawing() {
        style.grid = Pen::Solid(1, Rgb(1, 1, 1));
        style.tick = Pen::Solid(1, Rgb(2, 2, 2));
        style.border = Pen::Solid(1, Rgb(3, 3, 3));
        style.rising = Pen::Solid(1, Rgb(4, 4, 4));
        style.falling = Pen::Solid(1, Rgb(5, 5, 5));
    }

    PaneRequest Request(int code, const BarSeries& bars, int visible = 100, int last = -1) const {
        PaneRequest request;
        request.pane = pane;
        request.code = code;
        request.bars = &bars;
        request.window = MakeIndicatorWindow(last, visible, static_cast<int>(bars.size()));
        request.barWidth = barWidth;
        request.cursor = cursor;
        request.mouse = mouse;
        request.chartRight = chartRight;
        request.parameters = &table;
        request.scheme = &scheme;
        request.style = &style;
        return request;
    }

    void Draw(int code, const BarSeries& bars, int visible = 100, int last = -1) {
        canvas.Clear();
        DrawIndicatorPane(canvas, Request(code, bars, visible, last));
    }

    /// Texts drawn in the axis label colour, in drawing order.
    std::vector<std::string> AxisLabels() const {
        std::vector<std::string> labels;
        for (const DrawRecord& r : canvas.Of(DrawOp::Text)) {
            if (r.colour == Rgb(255, 0, 0)) labels.push_back(r.text);
        }
        return labels;
    }

    /// The first text record starting with `prefix`, or nullptr.
    const DrawRecord* TextStarting(const std::string& prefix) const {
        for (const DrawRecord& r : canvas.Records()) {
            if (r.op == DrawOp::Text && r.text.rfind(prefix, 0) == 0) return &r;
        }
        return nullptr;
    }

    std::vector<DrawRecord> Polylines() const { return canvas.Of(DrawOp::Polyline); }
};

}  // namespace qelt::test
