// Mouse gestures on the trend chart.
#include "qt/workbench/TrendTabView.h"

#include <QChart>
#include <QMouseEvent>
#include <QRubberBand>
#include <QWheelEvent>
#include <cmath>

namespace kt::ui::qt {
namespace {

// One notch of the wheel (120 eighths of a degree) narrows the time axis to this share.
constexpr double kZoomPerNotch = 0.8;
constexpr double kEighthsPerNotch = 120.0;
// A box narrower than this is taken for a click.
constexpr int kLeastBoxPixels = 4;

}  // namespace

TrendTabView::TrendTabView(QChart* chart, QWidget* parent)
    : QChartView(chart, parent), box_(new QRubberBand(QRubberBand::Rectangle, viewport())) {
  setDragMode(QGraphicsView::NoDrag);
}

QPointF TrendTabView::ChartPosition(QPoint viewportPos) const {
  return chart()->mapFromScene(mapToScene(viewportPos));
}

void TrendTabView::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / kEighthsPerNotch;
  if (notches == 0 || !onWheelZoom) {
    QChartView::wheelEvent(event);
    return;
  }
  onWheelZoom(std::pow(kZoomPerNotch, notches), ChartPosition(event->position().toPoint()));
  event->accept();
}

void TrendTabView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    boxing_ = true;
    boxStart_ = event->position().toPoint();
    box_->setGeometry(QRect(boxStart_, QSize()));
    box_->show();
  } else if (event->button() == Qt::RightButton || event->button() == Qt::MiddleButton) {
    panning_ = true;
    panLast_ = event->position().toPoint();
  }
  QChartView::mousePressEvent(event);
}

void TrendTabView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (boxing_) box_->setGeometry(QRect(boxStart_, at).normalized());
  if (panning_) {
    const QPoint moved = at - panLast_;
    panLast_ = at;
    if (onPan && !moved.isNull()) onPan(QPointF(moved));
  }
  QChartView::mouseMoveEvent(event);  // the lines' hover comes through here
}

void TrendTabView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && boxing_) {
    boxing_ = false;
    box_->hide();
    const QRect pixels = QRect(boxStart_, event->position().toPoint()).normalized();
    if (pixels.width() >= kLeastBoxPixels && onBoxZoom) {
      onBoxZoom(QRectF(ChartPosition(pixels.topLeft()), ChartPosition(pixels.bottomRight())));
    }
  } else if (event->button() == Qt::RightButton || event->button() == Qt::MiddleButton) {
    panning_ = false;
  }
  QChartView::mouseReleaseEvent(event);
}

void TrendTabView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && onReset) onReset();
  event->accept();
}

}  // namespace kt::ui::qt
