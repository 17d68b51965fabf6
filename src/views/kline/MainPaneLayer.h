#pragma once
/// What draws in the K-line view's main pane besides the bars and takes the mouse there:
/// the seam the drawn analysis lines plug into. The view owns at most one layer
/// (CQeltKLineView::SetMainPaneLayer) and calls it with the pane's geometry of the last
/// paint (MainPaneGeometry: pane, bar slots, price <-> row).
///
/// Painting: PaintChart draws with the chart, which the view keeps in a bitmap and redraws
/// only when data, layout, window or colours change (or when a handler below answers
/// ChartChanged); PaintCursor draws over it at every paint (what follows the mouse). Both are
/// clipped to geometry.PlotClip().
///
/// Mouse: every press, move and double click of the left button inside pane 0 (above the
/// lower panes, left of the chart's right edge), and every release of it wherever it happens
/// (so nothing stays stuck to the pointer), is offered to the layer first, after the view has
/// stored the pointer and the cursor bar, unless a pane border is being dragged. Keys are
/// offered to the layer before the view's own. A layer that answers Ignored leaves the view's
/// own handling (the crosshair follows, the repaint comes, Escape goes back to the board) as
/// it is.
#include <optional>

#include "chart/MainPaneGeometry.h"
#include "data/CQeltGoods.h"
#include "gfx/Canvas.h"
#include "views/View.h"

namespace qelt {

enum class LayerAnswer {
    Ignored,       ///< not the layer's: the view goes on as without it
    Handled,       ///< used; what the layer shows over the chart changed (PaintCursor)
    ChartChanged,  ///< used; the layer's part of the chart changed: the chart is drawn again
};

class MainPaneLayer {
  public:
    virtual ~MainPaneLayer() = default;

    /// The view loaded the series of `goods` (first update, another goods, period, chart
    /// type, live data): the layer's own state of the goods (its drawn lines) is in `goods`.
    virtual void OnGoodsLoaded(const CQeltGoods& /*goods*/) {}
    /// Before OnGoodsLoaded: the series on show (which stays where it is while the view
    /// lives) and its period's minutes (0 for day, week and month bars).
    virtual void OnSeriesLoaded(const BarSeries& /*bars*/, int /*minutes*/) {}

    virtual void PaintChart(Canvas& /*canvas*/, const MainPaneGeometry& /*geometry*/) {}
    virtual void PaintCursor(Canvas& /*canvas*/, const MainPaneGeometry& /*geometry*/) {}

    virtual LayerAnswer OnMouseDown(const MouseInput& /*mouse*/, const MainPaneGeometry& /*geometry*/) {
        return LayerAnswer::Ignored;
    }
    virtual LayerAnswer OnMouseMove(const MouseInput& /*mouse*/, const MainPaneGeometry& /*geometry*/) {
        return LayerAnswer::Ignored;
    }
    virtual LayerAnswer OnMouseUp(const MouseInput& /*mouse*/, const MainPaneGeometry& /*geometry*/) {
        return LayerAnswer::Ignored;
    }
    virtual LayerAnswer OnDoubleClick(const MouseInput& /*mouse*/, const MainPaneGeometry& /*geometry*/) {
        return LayerAnswer::Ignored;
    }
    virtual LayerAnswer OnKey(const KeyInput& /*key*/) { return LayerAnswer::Ignored; }
    /// The pointer is the layer's tool: a drawing tool is armed or a line is being placed or
    /// moved. The view shows no bar tip meanwhile.
    virtual bool Editing() const { return false; }

    /// Commands of the layer (the drawing toolbar): asked after the view's own.
    virtual std::optional<CommandState> StateOf(int /*command*/) const { return std::nullopt; }
    /// Runs a command StateOf answered for.
    virtual LayerAnswer OnCommand(int /*command*/) { return LayerAnswer::Ignored; }
};

}  // namespace qelt
