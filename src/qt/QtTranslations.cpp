// Loads Qt's shipped translation (Debian: qt6-translations-l10n) for the locale.
#include "qt/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace kt::ui::qt {

QLocale ProgramLocale() {
  return QLocale(QLocale::Chinese, QLocale::China);
}

QTranslator* InstallQtTranslations(QCoreApplication& app, const QLocale& locale) {
  auto* translator = new QTranslator(&app);
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), folder) ||
      !QCoreApplication::installTranslator(translator)) {
    delete translator;
    return nullptr;
  }
  return translator;
}

}  // namespace kt::ui::qt
