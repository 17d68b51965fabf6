#include "views/kline/BackgroundBands.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>

namespace qelt {

BackgroundBands::BackgroundBands(Canvas& canvas, int width, int height, Colour colour,
                                 std::function<void()> drawLines, bool inBands)
    : m_canvas(canvas),
      m_width(width),
      m_height(height),
      m_colour(colour),
      m_drawLines(std::move(drawLines)) {
    // Bands clipped apart at a fractional scale need not meet on whole device rows.
    if (inBands && m_canvas.RowsAreWhole()) return;
    m_canvas.FillRect({0, 0, m_width, m_height}, m_colour);
    m_drawLines();
    m_laid = m_height;
}

BackgroundBands::~BackgroundBands() {
    Reach(m_height);
    if (m_ahead > 0) m_canvas.AwaitRows(std::numeric_limits<int>::max());
}

void BackgroundBands::Reach(int row) {
    row = std::min(row, m_height);
    if (row <= m_laid) return;
    const Pen pen = m_canvas.CurrentPen();
    const Point position = m_canvas.CurrentPosition();
    const std::optional<Rect> clip = m_canvas.Clip();
    // The first band is shared: this core fills its upper half as another fills the rows
    // from there down, where the canvas can.
    if (m_ahead < 0) {
        const int from = m_laid + (row - m_laid) / 2;
        m_ahead = from > m_laid && from < m_height && m_canvas.FillRowsAhead(from, m_colour) ? from : 0;
    }
    const int own = m_ahead > 0 ? std::min(row, m_ahead) : row;
    m_canvas.SetClip({0, m_laid, m_width, row});
    if (own > m_laid) m_canvas.FillRect({0, m_laid, m_width, own}, m_colour);
    if (row > own) m_canvas.AwaitRows(row);
    m_drawLines();
    m_laid = row;
    if (clip)
        m_canvas.SetClip(*clip);
    else
        m_canvas.ClearClip();
    m_canvas.SelectPen(pen);
    m_canvas.MoveTo(position.x, position.y);
}

}  // namespace qelt
