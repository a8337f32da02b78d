// The trend chart's view: turns the wheel, a dragged box, a drag with the right or middle button
// and a double click into requests to zoom, pan and reset, which the trend tab carries out.
#pragma once

#include <QChartView>
#include <QPoint>
#include <QRectF>
#include <functional>
#include <optional>

class QRubberBand;

namespace kt::ui::qt {

class TrendTabView : public QChartView {
 public:
  // Zoom by `factor` (below 1 narrows) around the chart position `at`.
  std::function<void(double factor, QPointF at)> onWheelZoom;
  // Zoom to a box given in chart positions.
  std::function<void(const QRectF& box)> onBoxZoom;
  // Move the view by the pixels the mouse moved.
  std::function<void(QPointF pixels)> onPan;
  std::function<void()> onReset;
  // The pointer moved to `at` (chart positions), or left the view (nullopt).
  std::function<void(std::optional<QPointF> at)> onPointer;

  explicit TrendTabView(QChart* chart, QWidget* parent = nullptr);

 protected:
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  QPointF ChartPosition(QPoint viewportPos) const;

  QRubberBand* box_ = nullptr;
  QPoint boxStart_;
  bool boxing_ = false;
  bool panning_ = false;
  QPoint panLast_;
};

}  // namespace kt::ui::qt
