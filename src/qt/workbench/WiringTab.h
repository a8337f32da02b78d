// The "接线检查" tab: the wiring check's verdicts in a table, the phasor diagram beside it.
#pragma once

#include <QWidget>

#include "qt/workbench/CopyableTable.h"
#include "values/MeasuredBlock.h"
#include "workbench/WorkbenchLook.h"

class QComboBox;
class QTableWidgetItem;

namespace kt::ui::qt {

class PhasorView;

class WiringTab : public QWidget {
 public:
  // Table columns.
  static constexpr int kNameColumn = 0;
  static constexpr int kVerdictColumn = 1;
  static constexpr int kMessageColumn = 2;

  explicit WiringTab(QWidget* parent = nullptr);

  // Runs the check over the block and shows its rows and phasors; out of sight, only the block
  // is kept until the tab is shown.
  void AddBlock(const values::MeasuredBlock& block);

  // The grid's nominal frequency the check judges against: 50 Hz unless 60 Hz was chosen; the
  // choice is remembered in the user's settings (kNominalHzKey).
  static constexpr const char* kNominalHzKey = "wiringCheck/nominalHz";
  double NominalHz() const;
  void SetNominalHz(double hz);
  // The CTs' rated secondary current, 5 A unless 1 A was chosen; remembered likewise.
  static constexpr const char* kCtSecondaryKey = "wiringCheck/ctSecondaryA";
  double CtSecondaryA() const;
  void SetCtSecondaryA(double amps);

  const QTableWidget& table() const { return *table_; }
  CopyableTable& table() { return *table_; }
  const PhasorView& phasors() const { return *phasors_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ShowLastBlock();
  static void SetIfChanged(QTableWidgetItem& item, const QString& text);
  // A combo box with the choice's options, set to the value remembered under `key`.
  QComboBox* ChoiceBox(const workbench::WiringChoice& choice, const char* key);

  QComboBox* frequency_;
  QComboBox* ctSecondary_;
  CopyableTable* table_;
  PhasorView* phasors_;
  values::MeasuredBlock last_;
  bool hasBlock_ = false;
};

}  // namespace kt::ui::qt
