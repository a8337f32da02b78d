// QSettings behind the workbench's settings seam.
#include "qt/workbench/QtWorkbenchSettings.h"

#include <QRect>
#include <QSettings>
#include <QString>

namespace kt::ui::qt {
namespace {

QString Key(const char* key) {
  return QString::fromLatin1(key);
}

QString Key(workbench::NumberSetting which) {
  return Key(which == workbench::NumberSetting::NominalHz ? QtWorkbenchSettings::kNominalHzKey
                                                          : QtWorkbenchSettings::kCtSecondaryKey);
}

}  // namespace

std::optional<workbench::ScreenRect> QtWorkbenchSettings::Frame() const {
  const QVariant stored = QSettings().value(Key(kGeometryKey));
  if (!stored.canConvert<QRect>()) return std::nullopt;
  const QRect r = stored.toRect();
  return workbench::ScreenRect{r.x(), r.y(), r.width(), r.height()};
}

void QtWorkbenchSettings::SetFrame(const workbench::ScreenRect& frame) {
  QSettings().setValue(Key(kGeometryKey), QRect(frame.x, frame.y, frame.width, frame.height));
}

std::optional<double> QtWorkbenchSettings::Number(workbench::NumberSetting which) const {
  bool ok = false;
  const double value = QSettings().value(Key(which)).toDouble(&ok);
  return ok ? std::optional<double>(value) : std::nullopt;
}

void QtWorkbenchSettings::SetNumber(workbench::NumberSetting which, double value) {
  QSettings().setValue(Key(which), value);
}

std::string QtWorkbenchSettings::ExportFolder() const {
  return QSettings().value(Key(kExportFolderKey)).toString().toStdString();
}

void QtWorkbenchSettings::SetExportFolder(const std::string& folder) {
  QSettings().setValue(Key(kExportFolderKey), QString::fromStdString(folder));
}

std::string QtWorkbenchSettings::Text(const std::string& key) const {
  return QSettings().value(QString::fromStdString(key)).toString().toStdString();
}

void QtWorkbenchSettings::SetText(const std::string& key, const std::string& value) {
  QSettings().setValue(QString::fromStdString(key), QString::fromStdString(value));
}

}  // namespace kt::ui::qt
