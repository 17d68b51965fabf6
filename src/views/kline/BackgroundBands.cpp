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
    if (m_ahead && *m_ahead) m_canvas.AwaitRows(std::numeric_limits<int>::max());
}

void BackgroundBands::Reach(int row) {
    row = std::min(row, m_height);
    if (row <= m_laid) return;
    const Pen pen = m_canvas.CurrentPen();
    const Point position = m_canvas.CurrentPosition();
    const std::optional<Rect> clip = m_canvas.Clip();
    // Where the canvas can, another core fills the rows from the first band down, this one
    // taking its share of each band's rows as it waits for them.
    if (!m_ahead) m_ahead = m_laid < m_height && m_canvas.FillRowsAhead(m_laid, m_colour);
    m_canvas.SetClip({0, m_laid, m_width, row});
    if (*m_ahead)
        m_canvas.AwaitRows(row);
    else
        m_canvas.FillRect({0, m_laid, m_width, row}, m_colour);
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
