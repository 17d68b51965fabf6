#pragma once
// A ViewHost that records what a view asks of its window (repaints, cursor shapes, pointer
// moves, popups, the wizard, tips) and answers popups, the wizard and confirmations from a
// script.
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "views/ViewHost.h"

namespace qelt::test {

/// A host that records what the view asks and answers from a script.
class FakeViewHost : public ViewHost {
  public:
    Size client{1000, 600};
    int invalidations = 0;
    CursorShape cursor = CursorShape::Arrow;
    std::vector<Point> pointerMoves;
    std::vector<PopupMenu> menus;
    int menuAnswer = 0;
    std::vector<std::string> wizardTyped;
    int wizardAnswer = -1;
    std::vector<int> indicatorDialogs;
    /// What the user does in the indicator dialog (the parameters they change), and whether
    /// they close it with OK.
    std::function<void()> indicatorDialogEdit;
    bool indicatorDialogAnswer = true;
    std::vector<int> formulaDialogs;
    /// What the user does in a formula's parameter dialog, and whether they confirm it.
    std::function<void()> formulaDialogEdit;
    bool formulaDialogAnswer = true;
    bool confirmAnswer = true;
    std::vector<std::string> messages;
    std::map<int, Rect> overlays;
    std::map<int, OverlayPainter> overlayPainters;
    std::map<int, bool> overlayDraggable;

    Size ClientSize() const override { return client; }
    void Invalidate() override { ++invalidations; }
    void SetCursorShape(CursorShape shape) override { cursor = shape; }
    void MovePointer(Point p) override { pointerMoves.push_back(p); }
    int ShowPopupMenu(const PopupMenu& menu, Point) override {
        menus.push_back(menu);
        return menuAnswer;
    }
    int RunKeyboardWizard(const std::string& typed) override {
        wizardTyped.push_back(typed);
        return wizardAnswer;
    }
    bool RunIndicatorDialog(int code) override {
        indicatorDialogs.push_back(code);
        if (indicatorDialogEdit) indicatorDialogEdit();
        return indicatorDialogAnswer;
    }
    bool RunFormulaDialog(int formulaId) override {
        formulaDialogs.push_back(formulaId);
        if (formulaDialogEdit) formulaDialogEdit();
        return formulaDialogAnswer;
    }
    bool Confirm(const std::string& text, const std::string&) override {
        messages.push_back(text);
        return confirmAnswer;
    }
    void ShowMessage(const std::string& text, const std::string&) override { messages.push_back(text); }
    void ShowOverlay(int id, const Rect& where, OverlayPainter painter, bool draggable) override {
        overlays[id] = where;
        overlayPainters[id] = std::move(painter);
        overlayDraggable[id] = draggable;
    }
    void HideOverlay(int id) override { overlays.erase(id); }
};

}  // namespace qelt::test
