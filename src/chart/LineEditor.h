#pragma once
/// Creating and editing the drawn lines of the goods on show with the mouse.
///
/// Left button inside the main pane, with the anchor under the click:
/// 1. a tool armed: a new line of its kind (unit = the bar width in whole pixels) with
///    every anchor at the click is appended and selected; its second point follows the
///    pointer until the next click (placing); the tool is put down;
/// 2. placing: the point takes the click; the next point follows when it has not been
///    placed yet (still equal to the first), otherwise placing ends: a two-point line takes
///    two clicks, a parallel three;
/// 3. a line selected: a click on one of its handles drags that point until the next click;
///    a click elsewhere deselects;
/// 4. nothing selected: the first line (in drawing order) under the click is selected and
///    moves with the pointer, in whole bars and continuous prices, until the button goes up.
///
/// Every edit that completes (a line placed, a point dragged, a line moved, deleted or all
/// cleared) comes back as a `LineEdit` with the lines before and after it, for the undo
/// history and the file. Escape takes back an edit in progress (a new line goes, a dragged
/// point or a moved line returns) or puts down an armed tool.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chart/LineAnchors.h"
#include "data/CMyLine.h"

namespace qelt {

struct LineEdit {
    std::vector<CMyLine> before;
    std::vector<CMyLine> after;
};

class LineEditor {
  public:
    struct Result {
        bool repaint = false;
        std::optional<LineEdit> done;  ///< a completed edit
    };

    /// The lines of the goods on show (another goods, an undone edit): nothing selected and
    /// nothing in progress; an armed tool stays armed.
    void Load(std::vector<CMyLine> lines);
    const std::vector<CMyLine>& Lines() const { return m_lines; }

    /// Arms the tool of `kind` (线段 ... 黄金分割); an edit in progress is completed first.
    Result Arm(std::string_view kind);
    /// 取消: puts the tool down.
    void Disarm();
    bool IsArmed() const { return m_armed; }
    const std::string& ArmedKind() const { return m_armedKind; }
    int Selected() const { return m_selected; }
    int ActivePoint() const { return m_active; }
    bool Placing() const { return m_placing; }
    bool Moving() const { return m_moving; }
    /// A point is being placed or a line moved.
    bool Busy() const { return m_placing || m_moving; }

    /// Left button down inside the main pane.
    Result MouseDown(Point at, const MainPaneGeometry& geometry);
    /// Pointer moved inside the main pane.
    Result MouseMove(Point at, const MainPaneGeometry& geometry);
    /// Left button up (anywhere: a line never stays stuck to the pointer).
    Result MouseUp();

    /// 删除: removes the selected line.
    Result DeleteSelected();
    /// 清空 (once confirmed): removes every line and resets the tool state.
    Result ClearAll();
    /// Escape; `repaint` false when there was nothing to take back.
    Result Cancel();

  private:
    void Begin();
    Result Complete();
    void Deselect();

    std::vector<CMyLine> m_lines;
    std::vector<CMyLine> m_before;  ///< the lines when the edit in progress began
    std::string m_armedKind;
    bool m_armed = false;
    int m_selected = -1;
    int m_active = -1;
    bool m_placing = false;
    bool m_moving = false;
    double m_dragX = 0;
    int m_dragY = 0;
};

}  // namespace qelt
