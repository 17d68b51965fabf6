#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace qelt {

int InstallQtTranslations(QCoreApplication& app, const QString& localeName) {
    const QString directory = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    int loaded = 0;
    // qtbase holds the widgets' and print support's texts; the browser engine's menus are
    // in a catalogue of their own.
    for (const char* catalogue : {"qtbase", "qtwebengine"}) {
        auto* translator = new QTranslator(&app);
        if (translator->load(QString::fromLatin1(catalogue) + '_' + localeName, directory) &&
            QCoreApplication::installTranslator(translator)) {
            ++loaded;
        } else {
            delete translator;
        }
    }
    return loaded;
}

}  // namespace qelt
