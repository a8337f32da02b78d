// Paints the legend the trend model lays out.
#include "qt/workbench/TrendLegend.h"

#include <QFontMetricsF>
#include <QPainter>

namespace kt::ui::qt {
namespace {

constexpr int kRowPadding = 4;

}  // namespace

TrendLegend::TrendLegend(QWidget* parent) : QWidget(parent) {
  QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  policy.setHeightForWidth(true);
  setSizePolicy(policy);
}

void TrendLegend::SetShown(workbench::SeriesSet shown) {
  if (shown == shown_) return;
  shown_ = shown;
  updateGeometry();
  update();
}

workbench::LegendLayout TrendLegend::LaidOut(int width) const {
  const QFontMetricsF metrics(font());
  return workbench::LayOutLegend(shown_, width, [&](const std::string& text) {
    return metrics.horizontalAdvance(QString::fromStdString(text));
  });
}

int TrendLegend::RowHeight() const {
  return fontMetrics().height() + kRowPadding;
}

int TrendLegend::heightForWidth(int width) const {
  return LaidOut(width).rows * RowHeight();
}

QSize TrendLegend::sizeHint() const {
  return {200, heightForWidth(width() > 0 ? width() : 200)};
}

QSize TrendLegend::minimumSizeHint() const {
  return {0, heightForWidth(width() > 0 ? width() : 200)};
}

void TrendLegend::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // A width that wraps the names onto more or fewer rows needs another height.
  if (height() != heightForWidth(width())) updateGeometry();
}

void TrendLegend::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const int row = RowHeight();
  const QFontMetricsF metrics(font());
  for (const workbench::LegendEntry& e : LaidOut(width()).entries) {
    const double top = e.row * row;
    const double middle = top + row / 2.0;
    painter.setPen(QPen(QColor(e.colour.red, e.colour.green, e.colour.blue), 2));
    painter.drawLine(QPointF(e.x + 1, middle), QPointF(e.x + workbench::kLegendLine - 1, middle));
    painter.setPen(palette().color(QPalette::WindowText));
    const double textX = e.x + workbench::kLegendLine + workbench::kLegendLineGap;
    painter.drawText(
        QRectF(textX, top, metrics.horizontalAdvance(QString::fromStdString(e.name)) + 2, row),
        Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(e.name));
  }
}

}  // namespace kt::ui::qt
