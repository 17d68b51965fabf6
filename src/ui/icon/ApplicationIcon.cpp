#include "ui/icon/ApplicationIcon.h"

#include <QGuiApplication>

namespace qelt {

QIcon ApplicationIcon() {
    QIcon icon;
    for (const int size : {48, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1x%1/apps/qelt.png").arg(size));
    return icon;
}

void SetApplicationIdentity() {
    QGuiApplication::setWindowIcon(ApplicationIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("qelt"));
}

}  // namespace qelt
