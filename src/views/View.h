#pragma once
/// The contract every main view implements. A view is a plain object: it paints on a
/// `Canvas`, takes keys, mouse and wheel input in client coordinates, handles the commands it
/// knows, reacts to the network notifications of the store and names its standing requests.
/// One generic Qt host widget (src/ui) owns the double buffer, translates the toolkit's
/// events into these calls, prints and exports; the application context creates, switches
/// and routes commands to views. So a view's pixel rules and input rules are tested without
/// a window, on a RecordingCanvas.
///
/// A view made of several charts (the multi-goods view) is a view whose children are views:
/// it paints each child into its own bitmap and forwards input with the child's offset.
///
/// Call order: construction (with the application's ViewServices), `Attach` (by the host),
/// `OnInitialUpdate`, then any number of `Paint`, input, command and notification calls;
/// the host detaches (`Attach(NullViewHost())`) before the view is destroyed.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data/settings/DisplayScheme.h"
#include "gfx/Canvas.h"
#include "gfx/PaperCanvas.h"
#include "views/ExportFile.h"
#include "views/ViewHost.h"

namespace qelt {

/// Keys a view can be given, whatever the toolkit calls them.
enum class ViewKey {
    Other,
    Enter,
    Escape,
    Backspace,
    Delete,
    Up,
    Down,
    Left,
    Right,
    PageUp,
    PageDown,
    Home,
    End,
    Digit,  ///< 0-9 on the main keys or the numeric pad; `digit` holds which
    F8,     ///< the K-line view's period key (F1-F6 are the application's)
};

struct KeyInput {
    KeyInput() = default;
    /// A plain key (or a digit) without modifiers.
    KeyInput(ViewKey k, int d = -1) : key(k), digit(d) {}

    ViewKey key = ViewKey::Other;
    int digit = -1;   ///< 0..9 for ViewKey::Digit
    char letter = 0;  ///< 'A'..'Z' for a letter key whatever the modifiers (Ctrl+Z is 'Z' with control)
    bool control = false;
    bool shift = false;
    bool alt = false;
    std::string text;  ///< what the key types (UTF-8), may be empty
};

enum class MouseButton { None, Left, Right, Middle };

struct MouseInput {
    Point at;                                ///< client coordinates
    MouseButton button = MouseButton::None;  ///< the button that changed (press, release, double click)
    bool leftHeld = false;                   ///< the left button is down (moves while dragging)
    bool control = false;
    bool shift = false;
};

/// Enabled and checked state of a command, as menus and toolbars show it.
struct CommandState {
    bool enabled = true;
    bool checked = false;
    friend bool operator==(const CommandState&, const CommandState&) = default;
};

class View {
  public:
    virtual ~View() = default;

    /// The host the view lives in; NullViewHost() until a host attaches and after it leaves.
    void Attach(ViewHost& host) { m_host = &host; }
    ViewHost& Host() const { return *m_host; }

    /// First show: bind to the application's selection, load, read the view's settings.
    virtual void OnInitialUpdate() {}
    /// The client area changed size.
    virtual void OnSize(Size /*client*/) {}
    /// Paints the whole client (`client` in pixels) in `scheme`: the host gives the screen's
    /// set. Pens and colours that follow the scheme are made from this argument at each paint
    /// (a view that keeps a drawing between paints draws it again for another scheme).
    virtual void Paint(Canvas& canvas, Size client, const DisplayScheme& scheme) = 0;

    // ---- input (client coordinates); each handler asks the host to repaint as needed ----
    /// True when the view used the key; otherwise the frame may (function keys are global).
    virtual bool OnKey(const KeyInput& /*key*/) { return false; }
    virtual void OnMouseDown(const MouseInput& /*mouse*/) {}
    virtual void OnMouseMove(const MouseInput& /*mouse*/) {}
    virtual void OnMouseUp(const MouseInput& /*mouse*/) {}
    virtual void OnDoubleClick(const MouseInput& /*mouse*/) {}
    /// One notch of the wheel (several calls for several notches); `towardsUser` is the
    /// direction of a negative delta (scrolling down).
    virtual void OnWheel(bool /*towardsUser*/, Point /*at*/) {}
    /// The right button went down at `at` (the host calls it after OnMouseDown).
    virtual void OnContextMenu(Point /*at*/) {}

    // ---- commands ----
    /// The state of a command the view handles; nothing for a command that is not the
    /// view's (the application's own handlers are asked next).
    virtual std::optional<CommandState> StateOf(int /*command*/) const { return std::nullopt; }
    /// Runs a command; true when it was the view's.
    virtual bool OnCommand(int /*command*/) { return false; }

    // ---- the network ----
    /// A notification of the store or the application (WM_NET_LIST, WM_NET_REAL,
    /// WM_NET_LINE, WM_NET_HISREAL, WM_NET_INDEX, alarm hits, ...).
    virtual void OnNotify(unsigned /*message*/, std::intptr_t /*wParam*/) {}
    /// The standing requests the connection repeats every second while this view is on
    /// show; nothing leaves the connection's list as it is.
    virtual std::optional<std::vector<std::string>> StandingRequests() const { return std::nullopt; }

    // ---- printing and export ----
    /// Whether the frame's print commands apply to this view.
    virtual bool CanPrint() const { return false; }
    /// The drawing's size on paper for a client of `client` size (it is scaled to the page).
    virtual Size PrintSize(Size client) const { return client; }
    /// Paints for the printer (and the print preview) in `scheme`, the paper's set. A view
    /// leaves out what only marks the pointer on screen. Printing calls it through
    /// PrintOnPaper, which makes every colour show on white paper.
    virtual void PaintForPrint(Canvas& canvas, Size client, const DisplayScheme& scheme) {
        Paint(canvas, client, scheme);
    }
    /// The text exports the view offers ("导出到EXCEL", "导出到文本文件").
    virtual bool CanExport(ExportKind /*kind*/) const { return false; }
    virtual std::optional<ExportDocument> Export(ExportKind /*kind*/) const { return std::nullopt; }
    /// "导出到图片": the save dialog's request when the view offers it; the host writes the
    /// painted client as a bitmap file.
    virtual std::optional<SaveRequest> PictureExport() const { return std::nullopt; }

  private:
    ViewHost* m_host = &NullViewHost();
};

/// What the printer and the print preview get of `view`: its PaintForPrint in `scheme` drawn
/// through a PaperCanvas onto `paper`, so every line, text and mark has a contrast of at least
/// 3:1 against white, whatever colour the view chose for it.
inline void PrintOnPaper(View& view, Canvas& paper, Size client, const DisplayScheme& scheme) {
    PaperCanvas inks(paper);
    view.PaintForPrint(inks, client, scheme);
}

}  // namespace qelt
