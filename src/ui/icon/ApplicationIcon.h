#pragma once
/// The client's icon on every window and its link to the desktop entry qelt.desktop.
#include <QIcon>

namespace qelt {

/// The icon at every size built into the program (48, 128 and 256 pixels), drawn from
/// data/icons/qelt.svg at build time.
QIcon ApplicationIcon();

/// Gives every window of `QGuiApplication` the icon, and tells the desktop that the windows
/// belong to qelt.desktop (the task bar then shows that entry's name and icon).
void SetApplicationIdentity();

}  // namespace qelt
