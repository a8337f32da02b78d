// The phasor diagram of one block, drawn with QPainter: voltages solid, currents thinner.
#pragma once

#include <QWidget>
#include <optional>

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
  // How far the voltages reach, in pixels (10 or less: no arrows).
  double Radius() const;

  workbench::PhasorDiagram diagram_;
  bool hasDiagram_ = false;
  // The diagram last painted; a new one is painted only when it looks other.
  std::optional<workbench::PhasorDiagram> painted_;
};

}  // namespace kt::ui::qt
