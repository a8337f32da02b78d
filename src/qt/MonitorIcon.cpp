// Draws the meter-dial icon with QPainter at each size, so small sizes stay crisp.
#include "qt/MonitorIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>

namespace kt::ui::qt {
namespace {

QPixmap DrawDial(int size) {
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal s = size;
  // Housing: a dark blue rounded square.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(30, 60, 110));
  p.drawRoundedRect(QRectF(0.5, 0.5, s - 1, s - 1), s * 0.18, s * 0.18);
  // Pale cyan dial face, as the program's dialogs.
  const QRectF face(s * 0.12, s * 0.14, s * 0.76, s * 0.76);
  p.setBrush(QColor(181, 240, 249));
  p.drawEllipse(face);
  // Scale ticks along the upper arc, the last ones red (the alarm range).
  const QPointF centre = face.center() + QPointF(0, s * 0.08);
  const qreal r = s * 0.30;
  for (int i = 0; i <= 6; ++i) {
    const qreal a = (150.0 - i * 20.0) * M_PI / 180.0;
    const QPointF dir(std::cos(a), -std::sin(a));
    p.setPen(QPen(i >= 5 ? QColor(220, 30, 30) : QColor(30, 60, 110), std::max(1.0, s / 24)));
    p.drawLine(centre + dir * r * 0.78, centre + dir * r);
  }
  // The needle and its hub.
  const qreal needle = 62.0 * M_PI / 180.0;
  p.setPen(QPen(QColor(200, 20, 20), std::max(1.0, s / 16), Qt::SolidLine, Qt::RoundCap));
  p.drawLine(centre, centre + QPointF(std::cos(needle), -std::sin(needle)) * r * 0.92);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(30, 60, 110));
  p.drawEllipse(centre, s * 0.06, s * 0.06);
  // A three-phase mark under the hub: three short bars.
  if (size >= 32) {
    const QColor phases[] = {QColor(230, 180, 0), QColor(0, 150, 60), QColor(200, 20, 20)};
    for (int i = 0; i < 3; ++i) {
      p.setBrush(phases[i]);
      p.drawRect(QRectF(s * (0.34 + i * 0.12), s * 0.70, s * 0.08, s * 0.05));
    }
  }
  return pm;
}

}  // namespace

QIcon MonitorIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128}) icon.addPixmap(DrawDial(size));
  return icon;
}

}  // namespace kt::ui::qt
