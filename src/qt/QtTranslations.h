// Qt's own texts (file dialogs, context menus, standard buttons) in the user's language.
#pragma once

#include <QLocale>

class QCoreApplication;
class QTranslator;

namespace kt::ui::qt {

// The program's language: its own texts are Chinese, so Qt's are too.
QLocale ProgramLocale();

// Installs Qt's translation of its own texts for `locale` (qtbase_zh_CN for Chinese in China)
// from Qt's translations folder, owned by `app`. Returns the translator, or nullptr when the
// folder has none for that language (the texts then stay English).
QTranslator* InstallQtTranslations(QCoreApplication& app, const QLocale& locale);

}  // namespace kt::ui::qt
