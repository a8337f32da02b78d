// Dialog font selection and dialog-unit metrics.
#include "qt/DialogFont.h"

#include <QFontMetrics>
#include <QStringList>
#include <cmath>

namespace kt::ui::qt {

QFont DialogFont(const char* name, int pointSize) {
  QFont font;
  font.setFamilies(
      {QString::fromUtf8(name), QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Micro Hei")});
  font.setPixelSize(static_cast<int>(std::lround(pointSize * 96.0 / 72.0)));
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

DialogUnits DialogUnits::Of(const QFont& font) {
  const QFontMetrics fm(font);
  const int width =
      fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return DialogUnits{(width / 26 + 1) / 2, fm.height()};
}

}  // namespace kt::ui::qt
