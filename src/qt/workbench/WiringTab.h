// The "接线检查" tab: the wiring check's verdicts in a table, the phasor diagram beside it.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "qt/workbench/CopyableTable.h"
#include "qt/workbench/QtWorkbenchSettings.h"
#include "values/MeasuredBlock.h"
#include "workbench/WiringModel.h"
#include "workbench/WorkbenchLook.h"

class QComboBox;
class QPushButton;
class QTableWidgetItem;

namespace kt::ui::qt {

class PhasorView;

class WiringTab : public QWidget {
 public:
  // Table columns.
  static constexpr int kNameColumn = 0;
  static constexpr int kVerdictColumn = 1;
  static constexpr int kMessageColumn = 2;

  // Draws `wiring`, which the workbench model owns and feeds.
  explicit WiringTab(workbench::WiringModel& wiring, QWidget* parent = nullptr);
  // A tab used alone (tests, tools): with a model of its own over the user's settings.
  explicit WiringTab(QWidget* parent = nullptr);
  ~WiringTab() override;
  WiringTab(const WiringTab&) = delete;
  WiringTab& operator=(const WiringTab&) = delete;

  // Gives the block to a tab's own model, then shows it as the workbench does after each block.
  void AddBlock(const values::MeasuredBlock& block);
  // Shows the model's latest block: its rows and phasors; out of sight, only when shown again.
  void BlockAdded();

  // The model's choices the check judges against, remembered in the user's settings
  // (kNominalHzKey, kCtSecondaryKey): 50 Hz and 5 A unless others were chosen.
  static constexpr const char* kNominalHzKey = QtWorkbenchSettings::kNominalHzKey;
  double NominalHz() const { return wiring_.NominalHz(); }
  void SetNominalHz(double hz);
  static constexpr const char* kCtSecondaryKey = QtWorkbenchSettings::kCtSecondaryKey;
  double CtSecondaryA() const { return wiring_.CtSecondaryA(); }
  void SetCtSecondaryA(double amps);

  // "生成报告…" calls `make`; without it (a tab used alone) the button is hidden.
  void SetMakeReport(std::function<void()> make);

  const QTableWidget& table() const { return *table_; }
  CopyableTable& table() { return *table_; }
  const PhasorView& phasors() const { return *phasors_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // With `wiring` nullptr, the tab makes a model of its own.
  WiringTab(workbench::WiringModel* wiring, QWidget* parent);
  void ShowLastBlock();
  static void SetIfChanged(QTableWidgetItem& item, const QString& text);
  // A combo box with the choice's options, set to the option `chosen`; a pick goes to `choose`.
  QComboBox* ChoiceBox(const workbench::WiringChoice& choice, std::size_t chosen,
                       const std::function<void(std::size_t)>& choose);

  struct OwnModel {
    QtWorkbenchSettings settings;
    workbench::WiringModel wiring{settings};
  };
  std::unique_ptr<OwnModel> own_;  // only for a tab used alone
  workbench::WiringModel& wiring_;
  QComboBox* frequency_;
  QComboBox* ctSecondary_;
  CopyableTable* table_;
  PhasorView* phasors_;
  QPushButton* makeReport_;
  std::function<void()> make_;
};

}  // namespace kt::ui::qt
