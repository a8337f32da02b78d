// Mouse gestures on the trend chart.
#include "qt/workbench/TrendTabView.h"

#include <QChart>
#include <QMouseEvent>
#include <QRubberBand>
#include <QWheelEvent>

#include "workbench/TrendModel.h"

namespace kt::ui::qt {
namespace {

// One notch of the wheel is 120 eighths of a degree.
constexpr double kEighthsPerNotch = 120.0;

}  // namespace

TrendTabView::TrendTabView(QChart* chart, QWidget* parent)
    : QChartView(chart, parent), box_(new QRubberBand(QRubberBand::Rectangle, viewport())) {
  setDragMode(QGraphicsView::NoDrag);
  setMouseTracking(true);
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
  onWheelZoom(workbench::TrendModel::WheelZoomFactor(notches),
              ChartPosition(event->position().toPoint()));
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
  if (onPointer) onPointer(ChartPosition(at));
  QChartView::mouseMoveEvent(event);
}

void TrendTabView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && boxing_) {
    boxing_ = false;
    box_->hide();
    const QRect pixels = QRect(boxStart_, event->position().toPoint()).normalized();
    // A box too narrow is a click: the model leaves the zoom as it was.
    if (onBoxZoom) {
      onBoxZoom(QRectF(ChartPosition(pixels.topLeft()), ChartPosition(pixels.bottomRight())));
    }
  } else if (event->button() == Qt::RightButton || event->button() == Qt::MiddleButton) {
    panning_ = false;
  }
  QChartView::mouseReleaseEvent(event);
}

void TrendTabView::leaveEvent(QEvent* event) {
  if (onPointer) onPointer(std::nullopt);
  QChartView::leaveEvent(event);
}

void TrendTabView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && onReset) onReset();
  event->accept();
}

}  // namespace kt::ui::qt
