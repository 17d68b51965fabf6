#pragma once
// The labels in the value-axis columns of chart panes, read back from a recording: where they
// sit, whether a pane border cuts one, whether two touch, and whether they stand at round
// levels.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "common/Numbers.h"
#include "gfx/RecordingCanvas.h"

namespace qelt::test {

struct AxisLabel {
    std::string text;
    Rect box;
    Colour colour = 0;
};

/// The texts drawn in the 60-pixel axis column at the right of `pane` (with their boxes as
/// the recording measures them) whose middle row lies within the pane.
inline std::vector<AxisLabel> AxisLabelsOf(const RecordingCanvas& canvas, const Rect& pane) {
    std::vector<AxisLabel> labels;
    RecordingCanvas measure;
    for (const DrawRecord& r : canvas.Of(DrawOp::Text)) {
        measure.SelectFont(r.font);
        const Size size = measure.TextExtent(r.text);
        const Point at = r.points[0];
        int left = at.x;
        if (r.align.h == HAlign::Right) left = at.x - size.cx;
        if (r.align.h == HAlign::Centre) left = at.x - size.cx / 2;
        const Rect box{left, at.y, left + size.cx, at.y + size.cy};
        const int middle = (box.top + box.bottom) / 2;
        if (box.right <= pane.right - 60 || box.left >= pane.right) continue;
        if (middle < pane.top || middle >= pane.bottom) continue;
        labels.push_back({r.text, box, r.colour});
    }
    return labels;
}

/// What is wrong with the labels of `pane`: a label over a border row (its top or bottom
/// edge; the bottom edge is the next pane's top line), or two labels without a blank row
/// between them. Empty when nothing is.
inline std::vector<std::string> AxisLabelFaults(const RecordingCanvas& canvas, const Rect& pane) {
    std::vector<std::string> faults;
    const std::vector<AxisLabel> labels = AxisLabelsOf(canvas, pane);
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const Rect& a = labels[i].box;
        if (a.top <= pane.top || a.bottom > pane.bottom)
            faults.push_back("'" + labels[i].text + "' rows " + FormatInt(a.top) + ".." +
                             FormatInt(a.bottom) + " cut by a border of " + FormatInt(pane.top) + ".." +
                             FormatInt(pane.bottom));
        for (std::size_t j = i + 1; j < labels.size(); ++j) {
            const Rect& b = labels[j].box;
            const bool rowsApart = a.bottom < b.top || b.bottom < a.top;
            const bool columnsApart = a.right <= b.left || b.right <= a.left;
            if (!rowsApart && !columnsApart)
                faults.push_back("'" + labels[i].text + "' at row " + FormatInt(a.top) + " touches '" +
                                 labels[j].text + "' at row " + FormatInt(b.top));
        }
    }
    return faults;
}

/// Whether the values of `labels` stand at whole multiples of one round step (their smallest
/// distance): labels such as 2.27, 1.27, 0.27 are not; 6, 12, 18 are.
inline bool AtRoundLevels(const std::vector<AxisLabel>& labels) {
    std::vector<double> values;
    for (const AxisLabel& label : labels) values.push_back(LeadingDouble(label.text));
    std::sort(values.begin(), values.end());
    if (values.size() < 2) return true;
    double step = values[1] - values[0];
    for (std::size_t i = 2; i < values.size(); ++i) step = std::min(step, values[i] - values[i - 1]);
    if (!(step > 0.0)) return false;
    for (double v : values) {
        const double multiple = v / step;
        if (std::abs(multiple - std::round(multiple)) > 1e-4) return false;
    }
    return true;
}

}  // namespace qelt::test
