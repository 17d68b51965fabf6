#pragma once
/// What a view asks of the window it lives in: repaints, the pointer's shape and place,
/// popup menus, the small floating windows (tips), and the modal helpers a view opens (the
/// keyboard wizard, the indicator and formula parameters, confirmations). The generic Qt host implements
/// it; tests use a fake that records and answers from a script.
#include <functional>
#include <string>
#include <vector>

#include "gfx/Canvas.h"

namespace qelt {

enum class CursorShape { Arrow, SizeVertical, Cross, Hand, SizeAll };

/// One entry of a popup menu: a command, a separator or a sub-menu.
struct MenuEntry {
    enum class Kind { Command, Separator, SubMenu };
    Kind kind = Kind::Command;
    int command = 0;
    std::string text;
    bool enabled = true;
    bool checkable = false;
    bool checked = false;
    std::vector<MenuEntry> children;

    static MenuEntry Command(int command, std::string text, bool enabled = true) {
        MenuEntry e;
        e.command = command;
        e.text = std::move(text);
        e.enabled = enabled;
        return e;
    }
    static MenuEntry Check(int command, std::string text, bool checked, bool enabled = true) {
        MenuEntry e = Command(command, std::move(text), enabled);
        e.checkable = true;
        e.checked = checked;
        return e;
    }
    static MenuEntry Separator() {
        MenuEntry e;
        e.kind = Kind::Separator;
        return e;
    }
    static MenuEntry Sub(std::string text, std::vector<MenuEntry> children, bool enabled = true) {
        MenuEntry e;
        e.kind = Kind::SubMenu;
        e.text = std::move(text);
        e.children = std::move(children);
        e.enabled = enabled;
        return e;
    }
};

struct PopupMenu {
    std::string title;
    std::vector<MenuEntry> entries;
};

/// Draws a floating window's client of the given size.
using OverlayPainter = std::function<void(Canvas&, Size)>;

class ViewHost {
  public:
    virtual ~ViewHost() = default;

    /// The view's client size in pixels.
    virtual Size ClientSize() const = 0;
    /// Asks for a repaint soon (several requests make one paint).
    virtual void Invalidate() = 0;
    virtual void SetCursorShape(CursorShape shape) = 0;
    /// Moves the mouse pointer to a client point (the K-line cursor keys do).
    virtual void MovePointer(Point client) = 0;

    /// Shows `menu` at a client point and returns the chosen command, 0 when dismissed.
    virtual int ShowPopupMenu(const PopupMenu& menu, Point at) = 0;
    /// The keyboard wizard (键盘精灵) primed with `typed`, placed at the view's bottom-right
    /// corner; the chosen goods index or -1.
    virtual int RunKeyboardWizard(const std::string& typed) = 0;
    /// The indicator parameter dialog preselected on indicator `code`; true when the user
    /// confirmed it (the parameters may have changed).
    virtual bool RunIndicatorDialog(int code) = 0;
    /// The parameter values of the user's formula `formulaId` (range-checked as typed); true
    /// when the user confirmed them (they may have changed: ViewServices::FormulaValues).
    virtual bool RunFormulaDialog(int formulaId) = 0;
    /// A question with OK and Cancel; true for OK.
    virtual bool Confirm(const std::string& text, const std::string& caption) = 0;
    virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;

    /// Shows (or moves and repaints) floating window `id` at `where` (client coordinates);
    /// `draggable` windows can be moved anywhere with the mouse, and one the user dragged
    /// keeps its place (taking the new size) until it is hidden.
    virtual void ShowOverlay(int id, const Rect& where, OverlayPainter painter, bool draggable) = 0;
    virtual void HideOverlay(int id) = 0;
};

/// A host that shows nothing and answers every question with "no": of a given client size, for
/// painting a view where nobody looks (benchmarks) and, of size zero, as NullViewHost().
class InertViewHost : public ViewHost {
  public:
    explicit InertViewHost(Size client = {}) : m_client(client) {}
    Size ClientSize() const override { return m_client; }
    void Invalidate() override {}
    void SetCursorShape(CursorShape) override {}
    void MovePointer(Point) override {}
    int ShowPopupMenu(const PopupMenu&, Point) override { return 0; }
    int RunKeyboardWizard(const std::string&) override { return -1; }
    bool RunIndicatorDialog(int) override { return false; }
    bool RunFormulaDialog(int) override { return false; }
    bool Confirm(const std::string&, const std::string&) override { return false; }
    void ShowMessage(const std::string&, const std::string&) override {}
    void ShowOverlay(int, const Rect&, OverlayPainter, bool) override {}
    void HideOverlay(int) override {}

  private:
    Size m_client;
};

/// A host that does nothing: a view's host before it is attached and after it is detached.
ViewHost& NullViewHost();

}  // namespace qelt
