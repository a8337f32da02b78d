// Draws the phasor geometry: a reference circle, the three voltages and the three currents.
#include "qt/workbench/PhasorView.h"

#include <QPainter>
#include <QPainterPath>
#include <array>
#include <cmath>
#include <numbers>

#include "qt/workbench/PhaseColours.h"
#include "workbench/WorkbenchLook.h"

namespace kt::ui::qt {
namespace {

using workbench::kCurrentReach;

QPointF Tip(QPointF centre, double radius, const workbench::Phasor& p) {
  const double rad = p.angleDeg * std::numbers::pi / 180.0;
  // Screen y grows downwards; angles are counter-clockwise.
  return {centre.x() + radius * p.length * std::cos(rad),
          centre.y() - radius * p.length * std::sin(rad)};
}

void Arrow(QPainter& painter, QPointF from, QPointF to, const QPen& pen) {
  painter.setPen(pen);
  painter.drawLine(from, to);
  const QLineF line(to, from);
  if (line.length() < 4) return;
  const double head = 4.0 + 2.0 * pen.widthF();
  const double angle = std::atan2(-line.dy(), line.dx());
  const QPointF left = to + QPointF(std::cos(angle + std::numbers::pi / 7) * head,
                                    -std::sin(angle + std::numbers::pi / 7) * head);
  const QPointF right = to + QPointF(std::cos(angle - std::numbers::pi / 7) * head,
                                     -std::sin(angle - std::numbers::pi / 7) * head);
  QPainterPath path;
  path.moveTo(to);
  path.lineTo(left);
  path.lineTo(right);
  path.closeSubpath();
  painter.fillPath(path, pen.color());
}

void Label(QPainter& painter, QPointF centre, QPointF tip, const QString& text,
           const QColor& colour) {
  const QLineF ray(centre, tip);
  if (ray.length() < 1) return;
  const QPointF unit = (tip - centre) / ray.length();
  const QPointF at = tip + unit * workbench::kPhasorLabelGapPx;
  const QRectF box(at.x() - 20, at.y() - 9, 40, 18);
  painter.setPen(colour);
  painter.drawText(box, Qt::AlignCenter, text);
}

}  // namespace

PhasorView::PhasorView(QWidget* parent) : QWidget(parent) {
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, Qt::white);
  setPalette(p);
}

void PhasorView::SetDiagram(const workbench::PhasorDiagram& diagram) {
  diagram_ = diagram;
  hasDiagram_ = true;
  // A steady load paints nothing, nor do readings that move no arrow by a pixel.
  if (!painted_ || workbench::DrawnDifferently(*painted_, diagram_, Radius())) update();
}

double PhasorView::Radius() const {
  return std::min(width(), height()) / 2.0 - 30.0;
}

void PhasorView::paintEvent(QPaintEvent* /*event*/) {
  if (hasDiagram_) painted_ = diagram_;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QPointF centre(width() / 2.0, height() / 2.0);
  const double radius = Radius();
  if (radius <= 10) return;

  painter.setPen(QPen(QColor(0xC8, 0xC8, 0xC8), 1, Qt::DashLine));
  painter.drawEllipse(centre, radius, radius);
  painter.drawEllipse(centre, radius * kCurrentReach, radius * kCurrentReach);
  painter.drawLine(QPointF(centre.x() - radius, centre.y()),
                   QPointF(centre.x() + radius, centre.y()));
  painter.drawLine(QPointF(centre.x(), centre.y() - radius),
                   QPointF(centre.x(), centre.y() + radius));

  if (!hasDiagram_) {
    painter.setPen(Qt::gray);
    painter.drawText(rect(), Qt::AlignCenter, QString::fromUtf8(workbench::kPhasorWaiting));
    return;
  }
  for (int p = 0; p < 3; ++p) {
    if (!diagram_.measured[static_cast<std::size_t>(p)]) continue;
    const QColor colour = PhaseColour(p);
    const auto& u = diagram_.voltages[static_cast<std::size_t>(p)];
    const auto& i = diagram_.currents[static_cast<std::size_t>(p)];
    const QPointF uTip = Tip(centre, radius, u);
    Arrow(painter, centre, uTip, QPen(colour, 3));
    const auto& labels =
        diagram_.lineVoltages ? workbench::kElementVoltageLabels : workbench::kVoltageLabels;
    Label(painter, centre, uTip, labels[static_cast<std::size_t>(p)], colour);
    if (i.length > 0) {
      const QPointF iTip = Tip(centre, radius * kCurrentReach, i);
      Arrow(painter, centre, iTip, QPen(colour, 1.6, Qt::DashLine));
      Label(painter, centre, iTip, workbench::kCurrentLabels[static_cast<std::size_t>(p)], colour);
    }
  }
}

}  // namespace kt::ui::qt
