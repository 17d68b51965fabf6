#pragma once
/// A chart's background (its colour and frame lines) laid band by band from the top, each
/// band just before what is drawn over it. A dense chart's surface (3840 x 2160 pixels, 33 MB)
/// is as large as the processor's last cache: filled whole first, its top has left the cache
/// again by the time the chart is drawn there, and every line and bar drawn waits for memory.
/// Band by band, the drawing finds its pixels still cached. Where the canvas can, another
/// core fills the rows from the top down while this one draws, both filling the rows of a
/// band this one waits for.
///
/// The picture is the one of the background drawn whole first, as long as nothing is drawn
/// below the rows reached: the colour fills whole rows, the lines are drawn clipped to each
/// band (a line's pixels clipped to rows are its pixels in those rows), and the drawing
/// state (pen, position, clip) is left as it was.
#include <functional>
#include <optional>

#include "gfx/Canvas.h"

namespace qelt {

class BackgroundBands {
  public:
    /// The background of `canvas` (`height` rows of `width` pixels, the whole surface):
    /// `colour` everywhere, then what `drawLines` draws. With `inBands` false, or on a canvas
    /// whose view rows are not whole device rows, it is laid here at once, unclipped, leaving
    /// the state `drawLines` leaves (the printed page: its scaled clip edges could seam an
    /// antialiased line).
    BackgroundBands(Canvas& canvas, int width, int height, Colour colour, std::function<void()> drawLines,
                    bool inBands);
    /// Lays whatever the rows still lack.
    ~BackgroundBands();
    BackgroundBands(const BackgroundBands&) = delete;
    BackgroundBands& operator=(const BackgroundBands&) = delete;

    /// The background in every row above `row` (clamped to the surface): draw below it only
    /// after reaching further.
    void Reach(int row);

  private:
    Canvas& m_canvas;
    int m_width;
    int m_height;
    Colour m_colour;
    std::function<void()> m_drawLines;
    int m_laid = 0;               ///< rows above this have their background
    std::optional<bool> m_ahead;  ///< whether the canvas fills the colour ahead; unset: not asked
};

}  // namespace qelt
