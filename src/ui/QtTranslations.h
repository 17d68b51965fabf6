#pragma once
/// Qt's own texts (OK/Cancel, the file dialogs, the print dialogs and preview) in Chinese, as
/// every other text of the program: the translations Qt ships for itself, installed on the
/// application before any dialog is made.
#include <QString>

class QCoreApplication;

namespace qelt {

/// Installs Qt's translations for `localeName` ("zh_CN") from Qt's translations directory
/// on `app` (the translators become the application's children). Returns the catalogues
/// loaded; none when the translations package is missing, and Qt then speaks English.
int InstallQtTranslations(QCoreApplication& app, const QString& localeName);

}  // namespace qelt
