#pragma once
/// Enter and Delete on a dialog's list do what its 修改 and 删除 buttons do.
#include <QEvent>
#include <QKeyEvent>

namespace qelt {

/// Whether `event` was Enter or Delete pressed, and so handled by `modify` or `remove`.
template <typename Modify, typename Remove>
bool HandleListKey(QEvent* event, Modify modify, Remove remove) {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        modify();
        return true;
    }
    if (key == Qt::Key_Delete) {
        remove();
        return true;
    }
    return false;
}

}  // namespace qelt
