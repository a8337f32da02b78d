// The phasor diagram of one block, drawn with QPainter: voltages solid, currents thinner.
#pragma once

#include <QWidget>

#include "workbench/PhasorDiagram.h"

namespace kt::ui::qt {

class PhasorView : public QWidget {
 public:
  explicit PhasorView(QWidget* parent = nullptr);

  void SetDiagram(const workbench::PhasorDiagram& diagram);
  const workbench::PhasorDiagram& diagram() const { return diagram_; }
  bool hasDiagram() const { return hasDiagram_; }

  QSize sizeHint() const override { return {320, 320}; }
  QSize minimumSizeHint() const override { return {200, 200}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  workbench::PhasorDiagram diagram_;
  bool hasDiagram_ = false;
};

}  // namespace kt::ui::qt
