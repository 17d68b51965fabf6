#include "views/KLineDrawingTools.h"

#include "chart/MinuteLineAnchors.h"
#include "chart/MyLineDrawing.h"
#include "common/Commands.h"

namespace qelt {
namespace {

/// The kind each tool command arms.
std::string_view KindOfCommand(int command) {
    switch (command) {
        case cmd::kDrawSegment:
            return kLineSegment;
        case cmd::kDrawLine:
            return kLineStraight;
        case cmd::kDrawParallel:
            return kLineParallel;
        case cmd::kDrawRect:
            return kLineRect;
        case cmd::kDrawWave:
            return kLineWave;
        case cmd::kDrawPeriod:
            return kLinePeriod;
        case cmd::kDrawGold:
            return kLineGold;
        default:
            return {};
    }
}

}  // namespace

LinePens DrawnLinePens(const std::array<Pen, kSharedPenCount>& pens) { return {pens[8], pens[9], pens[9]}; }

void KLineDrawingTools::Load(const CQeltGoods& goods) {
    LineKey key{goods.listTag, goods.Key()};
    if (m_minutes > 0) key.tag += MinuteLineTag(m_minutes);
    const bool sameGoods = key == m_goods;
    m_goods = std::move(key);
    std::vector<CMyLine> lines =
        m_minutes > 0 ? LinesAtIndexes(m_services.MinuteLines(m_minutes), *m_bars, m_minutes) : goods.lines;
    if (sameGoods && (m_editor.Busy() || m_editor.Lines() == lines)) return;
    m_editor.Load(std::move(lines));
}

void KLineDrawingTools::Paint(Canvas& canvas, const std::array<Pen, kSharedPenCount>& pens,
                              LinesShown shown) const {
    if (!m_geometry.Valid()) return;
    const LinePens linePens = DrawnLinePens(pens);
    const Rect clip = m_geometry.PlotClip();
    const std::vector<CMyLine>& lines = m_editor.Lines();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool selected = static_cast<int>(i) == m_editor.Selected();
        const bool editing = selected && m_editor.Busy();
        if ((shown == LinesShown::Resting && editing) || (shown == LinesShown::Editing && !editing)) continue;
        DrawMyLine(canvas, lines[i], PixelPointsOf(lines[i], m_geometry), selected, clip, linePens);
    }
}

void KLineDrawingTools::Apply(LineEditor::Result result, ViewHost& host) {
    if (result.done && m_minutes > 0)
        m_services.CommitMinuteLines(m_minutes, LinesAtStamps(result.done->before, *m_bars, m_minutes),
                                     LinesAtStamps(result.done->after, *m_bars, m_minutes));
    else if (result.done)
        m_services.CommitLines(result.done->before, result.done->after);
    if (result.repaint) host.Invalidate();
}

bool KLineDrawingTools::MouseDown(Point at, ViewHost& host) {
    if (!m_geometry.pane.Contains(at)) return false;
    LineEditor::Result result = m_editor.MouseDown(at, m_geometry);
    const bool used = result.repaint || m_editor.Selected() >= 0;
    Apply(std::move(result), host);
    return used;
}

bool KLineDrawingTools::DoubleClick(Point at, ViewHost& host) {
    if (!m_editor.Placing()) return false;
    return MouseDown(at, host);
}

bool KLineDrawingTools::MouseMove(Point at, ViewHost& host) {
    if (!m_geometry.pane.Contains(at)) return false;
    LineEditor::Result result = m_editor.MouseMove(at, m_geometry);
    const bool used = result.repaint;
    Apply(std::move(result), host);
    return used;
}

void KLineDrawingTools::MouseUp(ViewHost& host) { Apply(m_editor.MouseUp(), host); }

bool KLineDrawingTools::Key(const KeyInput& key, ViewHost& host) {
    if (key.key == ViewKey::Escape) {
        LineEditor::Result result = m_editor.Cancel();
        const bool used = result.repaint;
        Apply(std::move(result), host);
        return used;
    }
    if (!key.control || key.alt) return false;
    if (key.letter == 'Z' && !key.shift) {
        Step(false, host);
        return true;
    }
    if (key.letter == 'Y' || (key.letter == 'Z' && key.shift)) {
        Step(true, host);
        return true;
    }
    return false;
}

bool KLineDrawingTools::CanStep(bool redo) const {
    return m_minutes > 0 ? m_services.CanStepMinuteLines(m_minutes, redo) : m_services.CanStepLines(redo);
}

void KLineDrawingTools::Step(bool redo, ViewHost& host) {
    // An edit in progress is the latest one: undo takes it back before anything else.
    if (m_editor.Busy()) {
        Apply(m_editor.Cancel(), host);
        if (!redo) return;
    }
    std::optional<std::vector<CMyLine>> lines =
        m_minutes > 0 ? m_services.StepMinuteLines(m_minutes, redo) : m_services.StepLines(redo);
    if (!lines) return;
    m_editor.Load(m_minutes > 0 ? LinesAtIndexes(std::move(*lines), *m_bars, m_minutes) : std::move(*lines));
    host.Invalidate();
}

std::optional<CommandState> KLineDrawingTools::StateOf(int command) const {
    if (!KindOfCommand(command).empty())
        return CommandState{true, m_editor.IsArmed() && m_editor.ArmedKind() == KindOfCommand(command)};
    switch (command) {
        case cmd::kDrawCancel:
            return CommandState{true, false};
        case cmd::kDrawDelete:
            return CommandState{m_editor.Selected() >= 0, false};
        case cmd::kDrawClear:
            return CommandState{!m_editor.Lines().empty(), false};
        case cmd::kDrawUndo:
            return CommandState{m_editor.Busy() || CanStep(false), false};
        case cmd::kDrawRedo:
            return CommandState{CanStep(true), false};
        default:
            return std::nullopt;
    }
}

bool KLineDrawingTools::Command(int command, ViewHost& host) {
    if (const std::string_view kind = KindOfCommand(command); !kind.empty()) {
        Apply(m_editor.Arm(kind), host);
        return true;
    }
    switch (command) {
        case cmd::kDrawCancel:
            m_editor.Disarm();
            return true;
        case cmd::kDrawDelete:
            Apply(m_editor.DeleteSelected(), host);
            return true;
        case cmd::kDrawClear:
            if (m_editor.Lines().empty() || !host.Confirm(kClearLinesQuestion, "提示")) return true;
            Apply(m_editor.ClearAll(), host);
            return true;
        case cmd::kDrawUndo:
            Step(false, host);
            return true;
        case cmd::kDrawRedo:
            Step(true, host);
            return true;
        default:
            return false;
    }
}

}  // namespace qelt
