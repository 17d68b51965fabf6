#pragma once
// Drawings on the Qt canvas compared pixel by pixel: through its direct writes and kept text
// shapes, or through the painter alone.
#include <QImage>
#include <functional>
#include <sstream>
#include <string>

#include "ui/QtCanvas.h"

namespace qelt::test {

/// `draw` run `times` times on one bitmap of `size` at `ratio`, each time on a fresh fill of
/// `background`, with the direct writes on or off.
inline QImage DrawOnBitmap(Size size, qreal ratio, bool direct, int times, Colour background,
                           const std::function<void(Canvas&)>& draw) {
    QtBitmap bitmap(size.cx, size.cy, ratio);
    QtCanvas& canvas = bitmap.GetCanvas();
    canvas.SetDirectPixels(direct);
    for (int i = 0; i < times; ++i) {
        canvas.ClearClip();
        canvas.FillRect({0, 0, size.cx, size.cy}, background);
        draw(canvas);
    }
    return bitmap.Image();
}

/// The first device pixel where the two drawings differ, or nothing.
inline std::string FirstDifference(const QImage& direct, const QImage& painter) {
    if (direct.size() != painter.size()) return "sizes differ";
    for (int y = 0; y < direct.height(); ++y)
        for (int x = 0; x < direct.width(); ++x)
            if (direct.pixel(x, y) != painter.pixel(x, y)) {
                std::ostringstream out;
                out << "device pixel " << x << "," << y << ": direct " << std::hex << direct.pixel(x, y)
                    << ", painter " << painter.pixel(x, y);
                return out.str();
            }
    return {};
}

}  // namespace qelt::test
