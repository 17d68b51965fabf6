#include "WebPane.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>

namespace qelt {

WebPane::KeyAction WebPane::ActionOfKey(const QKeyEvent& key, bool inTextField) {
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::AltModifier && key.key() == Qt::Key_Left) return KeyAction::Back;
    if (modifiers == Qt::AltModifier && key.key() == Qt::Key_Right) return KeyAction::Forward;
    if (modifiers == Qt::ControlModifier && key.key() == Qt::Key_R) return KeyAction::Reload;
    if (modifiers == Qt::NoModifier && key.key() == Qt::Key_Backspace && !inTextField) return KeyAction::Back;
    return KeyAction::None;
}

bool WebPane::RunKeyAction(KeyAction action) {
    switch (action) {
        case KeyAction::Back:
            Back();
            return true;
        case KeyAction::Forward:
            Forward();
            return true;
        case KeyAction::Reload:
            Reload();
            return true;
        case KeyAction::None:
            break;
    }
    return false;
}

bool OpensInView(const QUrl& link, const QUrl& site) {
    const QUrl target = site.resolved(link);
    if (target.scheme() != "http" && target.scheme() != "https") return false;
    return target.host() == site.host() && target.port(80) == site.port(80) &&
           target.path().startsWith("/web/");
}

bool OpensBesideLocalPage(const QUrl& link, const QUrl& current) {
    if (!current.isLocalFile()) return false;
    const QUrl target = current.resolved(link);
    if (!target.isLocalFile()) return false;
    // Cleaned first, so "../" cannot climb out of the document's folder.
    const QString folder = QFileInfo(current.toLocalFile()).absolutePath() + '/';
    return QDir::cleanPath(target.toLocalFile()).startsWith(folder);
}

}  // namespace qelt
