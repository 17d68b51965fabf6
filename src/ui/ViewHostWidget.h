#pragma once
/// The one generic Qt window every main view lives in. It owns the double buffer (in device
/// pixels, so the drawing stays sharp at any device pixel ratio), translates Qt's events into
/// the view contract's calls, gives the view the keyboard focus when it is shown, shows its
/// popup menus, tips and modal helpers, and prints and exports it for the frame's commands.
/// Window messages posted to it (WM_NET_LIST, WM_NET_REAL, ...) become OnNotify calls.
///
/// A view with Qt children of its own (the board's tab strip and scroll bars) derives from
/// this window and lays them out in `LayOutChildren`.
#include <QPointer>
#include <QWidget>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "app/FormulaParamModel.h"
#include "views/View.h"
#include "views/ViewServices.h"

class QMenu;
class QAction;
class QPrinter;

namespace qelt {

class QtBitmap;
class OverlayWidget;
class SaveFileDialog;
class MessageBoxes;

class ViewHostWidget : public QWidget, public ViewHost {
    Q_OBJECT
  public:
    /// Attaches itself to `view`; `view` and `services` outlive the window.
    ViewHostWidget(View& view, ViewServices& services, QWidget* parent = nullptr);
    /// Detaches from the view.
    ~ViewHostWidget() override;

    View& HostedView() const { return m_view; }
    /// The first update is done: lay out the children, take the focus, paint.
    virtual void ViewReady();

    // ---- the frame's commands for the view on show ----
    void Print();
    void PrintPreview();
    void PrintDirect();
    /// Prints to `printer` as it is set up: the view paints for paper in the print colours
    /// (the screen's drawing is not touched). A window whose view is not painted by the host
    /// (a web page) prints its own content.
    virtual void PrintTo(QPrinter& printer);
    /// "导出到EXCEL" / "导出到文本文件" through the save dialog; a failed write is reported,
    /// a written file announced (StatusMessage).
    void Export(ExportKind kind);
    /// "导出到图片": the client as the window shows it (screen colours, crosshair and labels
    /// included), as a bitmap file.
    void ExportPicture();
    /// Replaces the save dialog of the exports (tests); nullptr restores the file dialog.
    void SetSaveDialog(SaveFileDialog* dialog) { m_saveDialog = dialog; }
    /// Replaces the message boxes (tests); nullptr restores the Qt ones.
    void SetMessageBoxes(MessageBoxes* boxes) { m_boxes = boxes; }

    // ---- ViewHost ----
    Size ClientSize() const override { return {width(), height()}; }
    void Invalidate() override { update(); }
    void SetCursorShape(CursorShape shape) override;
    void MovePointer(Point client) override;
    int ShowPopupMenu(const PopupMenu& menu, Point at) override;
    int RunKeyboardWizard(const std::string& typed) override;
    bool RunIndicatorDialog(int code) override;
    /// "公式参数设置" over the formula and the values in use; what it confirms goes to
    /// ViewServices::SetFormulaValues.
    bool RunFormulaDialog(int formulaId) override;
    bool Confirm(const std::string& text, const std::string& caption) override;
    void ShowMessage(const std::string& text, const std::string& caption) override;
    void ShowOverlay(int id, const Rect& where, OverlayPainter painter, bool draggable) override;
    void HideOverlay(int id) override;

  signals:
    /// What a command of the window did, for the frame's status bar ("已导出到文件：...").
    void StatusMessage(const QString& text);

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

    /// Places Qt children of a derived window after a resize or a change of the view.
    virtual void LayOutChildren() {}
    /// Shows a popup menu at a global position and returns the chosen action (tests override
    /// it: a menu is modal).
    virtual QAction* ExecMenu(QMenu& menu, const QPoint& globalPos);
    /// Runs the keyboard wizard primed with `typed`; the chosen goods index or -1 (tests
    /// override it).
    virtual int RunHotKey(const QString& typed);
    /// Runs a formula's parameter dialog; the values confirmed, nothing when cancelled (tests
    /// override it).
    virtual std::optional<std::vector<double>> RunFormulaParam(FormulaParamModel model);

    ViewServices& Services() const { return m_services; }

  private:
    View& m_view;
    ViewServices& m_services;
    std::unique_ptr<QtBitmap> m_buffer;
    std::map<int, QPointer<OverlayWidget>> m_overlays;
    SaveFileDialog* m_saveDialog = nullptr;
    MessageBoxes* m_boxes = nullptr;
    MessageBoxes& Boxes() const;
    int m_wheelDelta = 0;  ///< wheel units not yet turned into a notch
};

}  // namespace qelt
