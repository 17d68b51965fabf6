#pragma once
/// Runs a dialog modally on the heap. The main frame may be closed (and delete its
/// children) while a dialog it owns is still in its loop, by a signal or the window system:
/// a dialog on the caller's stack would then be freed twice.
#include <QDialog>
#include <QPointer>
#include <utility>

namespace qelt {

/// Constructs `Dialog` with `args`, runs it, deletes it if it still exists; returns the result
/// of exec().
template <typename Dialog, typename... Args>
int ExecModal(Args&&... args) {
    QPointer<Dialog> dialog = new Dialog(std::forward<Args>(args)...);
    const int result = dialog->exec();
    delete dialog.data();
    return result;
}

}  // namespace qelt
