#include "views/ViewHost.h"

namespace qelt {
namespace {

class NoHost : public ViewHost {
  public:
    Size ClientSize() const override { return {}; }
    void Invalidate() override {}
    void SetCursorShape(CursorShape) override {}
    void MovePointer(Point) override {}
    int ShowPopupMenu(const PopupMenu&, Point) override { return 0; }
    int RunKeyboardWizard(const std::string&) override { return -1; }
    bool RunIndicatorDialog(int) override { return false; }
    bool Confirm(const std::string&, const std::string&) override { return false; }
    void ShowMessage(const std::string&, const std::string&) override {}
    void ShowOverlay(int, const Rect&, OverlayPainter, bool) override {}
    void HideOverlay(int) override {}
};

}  // namespace

ViewHost& NullViewHost() {
    static NoHost host;
    return host;
}

}  // namespace qelt
