#include "views/kline/DrawnLinesLayer.h"

namespace qelt {

DrawnLinesLayer::Resting DrawnLinesLayer::RestingNow() const {
    const LineEditor& editor = m_tools.Editor();
    Resting resting{editor.Lines(), editor.Selected(), editor.Busy()};
    if (resting.busy && resting.selected >= 0 &&
        static_cast<std::size_t>(resting.selected) < resting.lines.size())
        resting.lines.erase(resting.lines.begin() + resting.selected);
    return resting;
}

template <typename Action>
LayerAnswer DrawnLinesLayer::Answer(Action&& action) {
    const Resting before = RestingNow();
    const bool used = action();
    if (!(RestingNow() == before)) return LayerAnswer::ChartChanged;
    return used ? LayerAnswer::Handled : LayerAnswer::Ignored;
}

void DrawnLinesLayer::PaintChart(Canvas& canvas, const MainPaneGeometry& geometry) {
    m_tools.SetGeometry(geometry);
    m_tools.Paint(canvas, m_services.Settings().Pens(), KLineDrawingTools::LinesShown::Resting);
}

void DrawnLinesLayer::PaintCursor(Canvas& canvas, const MainPaneGeometry& geometry) {
    m_tools.SetGeometry(geometry);
    m_tools.Paint(canvas, m_services.Settings().Pens(), KLineDrawingTools::LinesShown::Editing);
}

LayerAnswer DrawnLinesLayer::OnMouseDown(const MouseInput& mouse, const MainPaneGeometry& geometry) {
    m_tools.SetGeometry(geometry);
    return Answer([&] { return m_tools.MouseDown(mouse.at, m_view.Host()); });
}

LayerAnswer DrawnLinesLayer::OnMouseMove(const MouseInput& mouse, const MainPaneGeometry& geometry) {
    m_tools.SetGeometry(geometry);
    return Answer([&] { return m_tools.MouseMove(mouse.at, m_view.Host()); });
}

LayerAnswer DrawnLinesLayer::OnMouseUp(const MouseInput&, const MainPaneGeometry& geometry) {
    m_tools.SetGeometry(geometry);
    return Answer([&] {
        m_tools.MouseUp(m_view.Host());
        return false;
    });
}

LayerAnswer DrawnLinesLayer::OnDoubleClick(const MouseInput& mouse, const MainPaneGeometry& geometry) {
    m_tools.SetGeometry(geometry);
    return Answer([&] { return m_tools.DoubleClick(mouse.at, m_view.Host()); });
}

LayerAnswer DrawnLinesLayer::OnKey(const KeyInput& key) {
    return Answer([&] { return m_tools.Key(key, m_view.Host()); });
}

LayerAnswer DrawnLinesLayer::OnCommand(int command) {
    return Answer([&] { return m_tools.Command(command, m_view.Host()); });
}

}  // namespace qelt
