// The program's names for QSettings and the one-time copy of the settings kept without them.
#include "qt/ProgramSettings.h"

#include <QCoreApplication>
#include <QSettings>

namespace kt::ui::qt {
namespace {

const char* const kOrganisation = "KT7340";
const char* const kApplication = "KT7340";
// Qt's stand-in when a program names no organisation.
const char* const kOldOrganisation = "Unknown Organization";

}  // namespace

void SetUpProgramSettings() {
  QCoreApplication::setOrganizationName(QString::fromLatin1(kOrganisation));
  QCoreApplication::setApplicationName(QString::fromLatin1(kApplication));
  QSettings current;
  const QSettings old(QString::fromLatin1(kOldOrganisation), QString::fromLatin1(kApplication));
  TakeOverOldSettings(current, old);
}

bool TakeOverOldSettings(QSettings& current, const QSettings& old) {
  if (!current.allKeys().isEmpty()) return false;
  const QStringList keys = old.allKeys();
  for (const QString& key : keys) current.setValue(key, old.value(key));
  current.sync();
  return !keys.isEmpty();
}

}  // namespace kt::ui::qt
