// The trend chart's legend below the plot: the model's entries (workbench::LayOutLegend) in rows
// as wide as the widget, as many rows as the names need.
#pragma once

#include <QWidget>

#include "workbench/TrendLayout.h"

namespace kt::ui::qt {

class TrendLegend : public QWidget {
 public:
  explicit TrendLegend(QWidget* parent = nullptr);

  void SetShown(workbench::SeriesSet shown);
  // The legend as laid out at `width`.
  workbench::LegendLayout LaidOut(int width) const;

  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  int RowHeight() const;

  workbench::SeriesSet shown_;
};

}  // namespace kt::ui::qt
