#pragma once
/// A chart's background (its colour and frame lines) laid band by band from the top, each
/// band just before what is drawn over it. A dense chart's surface (3840 x 2160 pixels, 33 MB)
/// is as large as the processor's last cache: filled whole first, its top has left the cache
/// again by the time the chart is drawn there, and every line and bar drawn waits for memory.
/// Band by band, the drawing finds its pixels still cached.
///
/// The picture is the one of the background drawn whole first, as long as nothing is drawn
/// below the rows reached: the background is drawn clipped to each band (a line's pixels
/// clipped to rows are its pixels in those rows), and the drawing state (pen, position, clip)
/// is left as it was.
#include <functional>

#include "gfx/Canvas.h"

namespace qelt {

class BackgroundBands {
  public:
    /// `draw` draws the whole background on `canvas` (`height` rows of `width` pixels). With
    /// `inBands` false it is drawn here at once, unclipped, leaving the state it leaves (the
    /// printed page: its scaled clip edges could seam an antialiased line).
    BackgroundBands(Canvas& canvas, int width, int height, std::function<void()> draw, bool inBands);
    /// Lays whatever the rows above `row` still lack.
    ~BackgroundBands() { Reach(m_height); }
    BackgroundBands(const BackgroundBands&) = delete;
    BackgroundBands& operator=(const BackgroundBands&) = delete;

    /// The background in every row above `row` (clamped to the surface): draw below it only
    /// after reaching further.
    void Reach(int row);

  private:
    Canvas& m_canvas;
    int m_width;
    int m_height;
    std::function<void()> m_draw;
    int m_laid = 0;  // rows above this have their background
};

}  // namespace qelt
