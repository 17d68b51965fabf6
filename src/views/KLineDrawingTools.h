#pragma once
/// The drawing tools of the K-line view's main pane: the seven line kinds (线段 ... 黄金分割),
/// 取消, 删除, 清空, 撤销 and 重做 as commands, the mouse in the main pane, Escape, Ctrl+Z and
/// Ctrl+Y (Ctrl+Shift+Z), and the painting of the goods' lines after the main chart.
///
/// The view hands in the goods it shows and, at every paint, the main pane's geometry; the
/// tools edit a working copy of the goods' lines (LineEditor) and hand every completed edit
/// to the application (ViewServices::CommitLines), which keeps it in the store, writes
/// myline.txt at once and puts it on the goods' undo history.
///
/// On minute bars the lines are the goods' lines of that period, anchored by date and time
/// (MinuteLineAnchors.h): the tools turn them into indexes of the series on show when they
/// load and back into stamps with every edit they hand over (ViewServices::CommitMinuteLines).
#include <array>
#include <optional>
#include <string>

#include "chart/LineAnchors.h"
#include "chart/LineEditor.h"
#include "chart/MyLineDrawing.h"
#include "data/CQeltGoods.h"
#include "data/settings/CQeltCFG.h"
#include "data/settings/MyLineFile.h"
#include "views/View.h"
#include "views/ViewServices.h"

namespace qelt {

/// The message box of 清空 (caption "提示", OK and Cancel).
inline constexpr const char* kClearLinesQuestion = "确定要清楚所有画线吗？";

class KLineDrawingTools {
  public:
    explicit KLineDrawingTools(ViewServices& services) : m_services(services) {}

    /// The series on show and its period's minutes (0: day, week or month bars, whose lines
    /// are the goods' own); `bars` outlives the tools' use of it. Takes effect at Load.
    void SetPeriod(int minutes, const BarSeries* bars) {
        m_minutes = bars != nullptr ? minutes : 0;
        m_bars = bars;
    }
    /// The goods on show (first update, another goods, a reload): its lines become the
    /// working copy. A reload of the same goods keeps the selection and an edit in progress.
    void Load(const CQeltGoods& goods);
    /// The main pane as just painted; the mouse is read against it until the next paint.
    void SetGeometry(const MainPaneGeometry& geometry) { m_geometry = geometry; }
    const MainPaneGeometry& Geometry() const { return m_geometry; }
    /// Which lines a paint draws: the line being placed or moved changes with every mouse
    /// move, the others only when an edit begins or ends.
    enum class LinesShown { All, Resting, Editing };
    /// Draws the lines after the main chart, clipped to the main pane short of its axis.
    void Paint(Canvas& canvas, const std::array<Pen, kSharedPenCount>& pens,
               LinesShown shown = LinesShown::All) const;

    /// Left button down; only inside the main pane. True when the tools used the click.
    bool MouseDown(Point at, ViewHost& host);
    /// A double click while a point is being placed places it (a quick second click).
    bool DoubleClick(Point at, ViewHost& host);
    /// Pointer moved; a point being placed or a line being moved follows it in the pane.
    bool MouseMove(Point at, ViewHost& host);
    /// Left button up anywhere: a moved line is put down.
    void MouseUp(ViewHost& host);
    /// Escape (true when it took something back), Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z.
    bool Key(const KeyInput& key, ViewHost& host);

    /// The drawing commands' states; nothing for other commands.
    std::optional<CommandState> StateOf(int command) const;
    /// Runs a drawing command; false for other commands.
    bool Command(int command, ViewHost& host);

    const LineEditor& Editor() const { return m_editor; }

  private:
    void Apply(LineEditor::Result result, ViewHost& host);
    void Step(bool redo, ViewHost& host);
    bool CanStep(bool redo) const;

    ViewServices& m_services;
    LineEditor m_editor;
    MainPaneGeometry m_geometry;
    LineKey m_goods;  ///< the goods whose lines are loaded, as myline.txt names it
    int m_minutes = 0;
    const BarSeries* m_bars = nullptr;
};

/// The pens of the drawn lines from the settings' shared pens: yellow normally, magenta when
/// selected and for the handles' outline.
LinePens DrawnLinePens(const std::array<Pen, kSharedPenCount>& pens);

}  // namespace qelt
