#pragma once
/// The drawn analysis lines as the K-line view's main-pane layer: the drawing tools
/// (KLineDrawingTools) fed with the pane's geometry of the last paint, painting the lines at
/// rest with the chart the view keeps and the line being placed or moved over it, so that a
/// mouse move while editing redraws one line, not the chart.
#include <vector>

#include "views/KLineDrawingTools.h"
#include "views/kline/MainPaneLayer.h"

namespace qelt {

class DrawnLinesLayer : public MainPaneLayer {
  public:
    /// `view` is the view the layer draws in (for its host: repaints and the 清空 question).
    DrawnLinesLayer(ViewServices& services, const View& view)
        : m_services(services), m_view(view), m_tools(services) {}

    void OnGoodsLoaded(const CQeltGoods& goods) override { m_tools.Load(goods); }
    void OnSeriesLoaded(const BarSeries& bars, int minutes) override { m_tools.SetPeriod(minutes, &bars); }
    void PaintChart(Canvas& canvas, const MainPaneGeometry& geometry) override;
    void PaintCursor(Canvas& canvas, const MainPaneGeometry& geometry) override;
    LayerAnswer OnMouseDown(const MouseInput& mouse, const MainPaneGeometry& geometry) override;
    LayerAnswer OnMouseMove(const MouseInput& mouse, const MainPaneGeometry& geometry) override;
    LayerAnswer OnMouseUp(const MouseInput& mouse, const MainPaneGeometry& geometry) override;
    LayerAnswer OnDoubleClick(const MouseInput& mouse, const MainPaneGeometry& geometry) override;
    LayerAnswer OnKey(const KeyInput& key) override;
    bool Editing() const override { return m_tools.Editor().IsArmed() || m_tools.Editor().Busy(); }
    std::optional<CommandState> StateOf(int command) const override { return m_tools.StateOf(command); }
    LayerAnswer OnCommand(int command) override;

    const KLineDrawingTools& Tools() const { return m_tools; }

  private:
    /// What the chart layer shows of the lines: those at rest, the selection, an edit under way.
    struct Resting {
        std::vector<CMyLine> lines;
        int selected = -1;
        bool busy = false;
        friend bool operator==(const Resting&, const Resting&) = default;
    };
    Resting RestingNow() const;
    /// Runs `action` (true when it used the input) and tells the view what to draw again.
    template <typename Action>
    LayerAnswer Answer(Action&& action);

    ViewServices& m_services;
    const View& m_view;
    KLineDrawingTools m_tools;
};

}  // namespace qelt
