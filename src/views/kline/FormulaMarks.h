#pragma once
/// Drawing the marks of a formula's drawing statements (FormulaDrawing.h) over the bars on
/// show, the same way in an indicator pane and over the main chart:
/// - STICKLINE: a column from P1 to P2 centred on the bar, W tenths of the slot wide (at
///   least a pixel), filled in its colour or hollow; W = 0 a one-pixel line;
/// - DRAWTEXT and DRAWNUMBER ("%.2f" of X): the text centred on the bar with its baseline at
///   P, moved sideways as far as it takes to read whole inside the chart;
/// - DRAWICON: an arrow whose tip is at P (up or down), a filled circle or a cross centred
///   at P, as wide as most of the slot but no smaller than a third of the font's height and
///   no larger than two thirds of it (the font follows the surface's pixel density);
/// - POLYLINE: one line per statement through its marks in bar order, from the last mark
///   before the bars on show to the first one after them, so that a line leaving the chart
///   is seen doing so.
/// Each in its statement's colour attribute, otherwise line colour 1 of the scheme in effect
/// (the paper's when printed); a colour equal to the background is line colour 1 as well, as
/// for the outputs. Everything is clipped to the chart.
#include <optional>
#include <span>
#include <vector>

#include "data/settings/DisplayScheme.h"
#include "formula/FormulaDrawing.h"
#include "gfx/Canvas.h"

namespace qelt {

/// Where a chart puts a bar and a value: the pane's scale or the main chart's prices.
class FormulaChartAxes {
  public:
    virtual ~FormulaChartAxes() = default;
    /// The centre of `bar`'s slot (any bar, on show or not).
    virtual int CentreX(int bar) const = 0;
    virtual int Y(double value) const = 0;
};

struct FormulaMarksRequest {
    std::span<const FormulaMark> marks;  ///< in bar order
    const std::vector<FormulaDrawing>* drawings = nullptr;
    int first = 0;  ///< the bars on show, first .. last
    int last = -1;
    float barWidth = 1.0f;  ///< pixels per slot
    Rect chart;             ///< the marks are clipped to it; texts are kept inside it
    const DisplayScheme* scheme = nullptr;
    Font font;
};

void DrawFormulaMarks(Canvas& canvas, const FormulaMarksRequest& request, const FormulaChartAxes& axes);

/// The values the marks at bars first .. last put on the chart (P, or P1 and P2), for the
/// range of a pane; nothing when there is none.
struct FormulaMarksExtent {
    double low = 0.0;
    double high = 0.0;
};
std::optional<FormulaMarksExtent> FormulaMarksRange(std::span<const FormulaMark> marks,
                                                    const std::vector<FormulaDrawing>& drawings, int first,
                                                    int last);

/// Keeps a canvas's pen, brush, font, text colour, background mode, alignment and clip from
/// its making to its end, so that what draws formulas over a chart leaves the chart's own
/// drawing after it as it found it.
class FormulaCanvasState {
  public:
    explicit FormulaCanvasState(Canvas& canvas)
        : m_canvas(canvas),
          m_pen(canvas.CurrentPen()),
          m_brush(canvas.CurrentBrush()),
          m_font(canvas.CurrentFont()),
          m_textColour(canvas.TextColour()),
          m_mode(canvas.CurrentBkMode()),
          m_align(canvas.CurrentTextAlign()),
          m_clip(canvas.Clip()) {}
    ~FormulaCanvasState() {
        m_canvas.SelectPen(m_pen);
        m_canvas.SelectBrush(m_brush);
        m_canvas.SelectFont(m_font);
        m_canvas.SetTextColour(m_textColour);
        m_canvas.SetBkMode(m_mode);
        m_canvas.SetTextAlign(m_align);
        if (m_clip)
            m_canvas.SetClip(*m_clip);
        else
            m_canvas.ClearClip();
    }
    FormulaCanvasState(const FormulaCanvasState&) = delete;
    FormulaCanvasState& operator=(const FormulaCanvasState&) = delete;

  private:
    Canvas& m_canvas;
    Pen m_pen;
    Brush m_brush;
    Font m_font;
    Colour m_textColour;
    BkMode m_mode;
    TextAlign m_align;
    std::optional<Rect> m_clip;
};

/// The colour of drawing `drawing` under `scheme`.
Colour FormulaDrawingColour(const FormulaDrawing& drawing, const DisplayScheme& scheme);

}  // namespace qelt
