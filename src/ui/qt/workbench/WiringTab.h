// The "接线检查" tab: the wiring check's verdicts in a table, the phasor diagram beside it.
#pragma once

#include <QWidget>

#include "measure/MeasuredBlock.h"

class QTableWidget;

namespace kt::ui::qt {

class PhasorView;

class WiringTab : public QWidget {
 public:
  // Table columns.
  static constexpr int kNameColumn = 0;
  static constexpr int kVerdictColumn = 1;
  static constexpr int kMessageColumn = 2;

  explicit WiringTab(QWidget* parent = nullptr);

  // Runs the check over the block and shows its rows and phasors.
  void AddBlock(const measure::MeasuredBlock& block);

  const QTableWidget& table() const { return *table_; }
  const PhasorView& phasors() const { return *phasors_; }

 private:
  QTableWidget* table_;
  PhasorView* phasors_;
};

}  // namespace kt::ui::qt
