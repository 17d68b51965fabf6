#pragma once
/// The host of a view that lives inside another view (the multi-goods view's cells): it
/// forwards every request to the parent view's host, moving points by the child's offset and
/// keeping the child's floating windows apart from its siblings' by an id base. The parent's
/// host is looked up at every call, so the child follows the parent through attach and detach.
#include "views/View.h"

namespace qelt {

class ChildViewHost : public ViewHost {
  public:
    /// `overlayIdBase` is added to the ids of the child's floating windows.
    ChildViewHost(const View& parent, int overlayIdBase) : m_parent(parent), m_overlayIdBase(overlayIdBase) {}

    /// The child's place in the parent's client.
    void SetPlace(const Rect& place) { m_place = place; }
    const Rect& Place() const { return m_place; }
    /// A parent point in the child's coordinates.
    Point ToChild(Point parent) const { return {parent.x - m_place.left, parent.y - m_place.top}; }

    Size ClientSize() const override { return {m_place.Width(), m_place.Height()}; }
    void Invalidate() override { m_parent.Host().Invalidate(); }
    void SetCursorShape(CursorShape shape) override { m_parent.Host().SetCursorShape(shape); }
    void MovePointer(Point client) override { m_parent.Host().MovePointer(ToParent(client)); }
    int ShowPopupMenu(const PopupMenu& menu, Point at) override {
        return m_parent.Host().ShowPopupMenu(menu, ToParent(at));
    }
    int RunKeyboardWizard(const std::string& typed) override {
        return m_parent.Host().RunKeyboardWizard(typed);
    }
    bool RunIndicatorDialog(int code) override { return m_parent.Host().RunIndicatorDialog(code); }
    bool RunFormulaDialog(int formulaId) override { return m_parent.Host().RunFormulaDialog(formulaId); }
    bool Confirm(const std::string& text, const std::string& caption) override {
        return m_parent.Host().Confirm(text, caption);
    }
    void ShowMessage(const std::string& text, const std::string& caption) override {
        m_parent.Host().ShowMessage(text, caption);
    }
    void ShowOverlay(int id, const Rect& where, OverlayPainter painter, bool draggable) override {
        const Rect moved{where.left + m_place.left, where.top + m_place.top, where.right + m_place.left,
                         where.bottom + m_place.top};
        m_parent.Host().ShowOverlay(id + m_overlayIdBase, moved, std::move(painter), draggable);
    }
    void HideOverlay(int id) override { m_parent.Host().HideOverlay(id + m_overlayIdBase); }

  private:
    Point ToParent(Point child) const { return {child.x + m_place.left, child.y + m_place.top}; }

    const View& m_parent;
    int m_overlayIdBase;
    Rect m_place;
};

}  // namespace qelt
