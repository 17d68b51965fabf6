#include "views/kline/BackgroundBands.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace qelt {

BackgroundBands::BackgroundBands(Canvas& canvas, int width, int height, std::function<void()> draw,
                                 bool inBands)
    : m_canvas(canvas), m_width(width), m_height(height), m_draw(std::move(draw)) {
    if (inBands) return;
    m_draw();
    m_laid = m_height;
}

void BackgroundBands::Reach(int row) {
    row = std::min(row, m_height);
    if (row <= m_laid) return;
    const Pen pen = m_canvas.CurrentPen();
    const Point position = m_canvas.CurrentPosition();
    const std::optional<Rect> clip = m_canvas.Clip();
    m_canvas.SetClip({0, m_laid, m_width, row});
    m_draw();
    m_laid = row;
    if (clip)
        m_canvas.SetClip(*clip);
    else
        m_canvas.ClearClip();
    m_canvas.SelectPen(pen);
    m_canvas.MoveTo(position.x, position.y);
}

}  // namespace qelt
